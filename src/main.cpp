// Program start: the application title, the fourteen windows, the message loop.
#include "net/TPingThread.h"
#include "platform/gui/Application.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/Dialogs.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    korvane::setUpApplication();

    korvane::QtDialogs dialogs;
    korvane::QtDesktop desktop;
    auto forms = korvane::createForms(dialogs, desktop);
    forms->Form1->show();
    const int exitCode = app.exec();
    // Workers still waiting for a reply end with the process; none reports any more.
    korvane::pingWorkers().quitAll();
    return exitCode;
}

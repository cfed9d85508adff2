// Renders every window created at start-up into PNG files, offscreen, so the
// program can be looked at without a display.
//   korvane-screenshots OUTPUT_FOLDER [DATA_FOLDER]
// Without a data folder it runs on a fresh copy of the demo data.
#include "platform/gui/Application.h"
#include "platform/gui/Desktop.h"
#include "support/PrintedDialogs.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    korvane::setUpApplication();
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvane-screenshots OUTPUT_FOLDER [DATA_FOLDER]\n");
        return 2;
    }
    const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(output);

    QTemporaryDir scratch;
    QString data;
    if (argc > 2) {
        data = QString::fromLocal8Bit(argv[2]);
    } else {
        data = scratch.path();
        std::filesystem::copy(KORVANE_SOURCE_DIR "/data/demo", data.toStdString(),
                              std::filesystem::copy_options::recursive);
    }
    QDir::setCurrent(data);

    korvane::test::PrintedDialogs dialogs;
    korvane::QtDesktop desktop;
    auto forms = korvane::createForms(dialogs, desktop);
    const QList<QWidget*> windows = forms->windows();
    forms->Form1->show();
    QApplication::processEvents();
    for (QWidget* window : windows) {
        const bool wasVisible = window->isVisible();
        if (!wasVisible) window->show();
        QApplication::processEvents();
        const QString file = output + QLatin1Char('/') + window->objectName() + QStringLiteral(".png");
        if (!window->grab().save(file)) {
            std::fprintf(stderr, "could not write %s\n", file.toLocal8Bit().constData());
            return 1;
        }
        std::printf("%s\n", file.toLocal8Bit().constData());
        if (!wasVisible) window->hide();
    }
    return 0;
}

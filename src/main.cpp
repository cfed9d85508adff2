// Program start: the application title, the fifteen windows, the message loop.
#include "net/TPingThread.h"
#include "platform/gui/Application.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/Dialogs.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

// For the start-up benchmark only: KORVANE_EXIT_AFTER_SHOW=1 prints "shown"
// with the CLOCK_MONOTONIC time in nanoseconds once the main window's first
// frame has been painted, then leaves the message loop. Children paint within
// the same frame, so a zero timer queued by the first paint runs after all of it.
class ExitAfterShow : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_queued) {
            m_queued = true;
            QTimer::singleShot(0, this, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("shown %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_queued = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    korvane::setUpApplication();

    korvane::QtDialogs dialogs;
    korvane::QtDesktop desktop;
    auto forms = korvane::createForms(dialogs, desktop);
    ExitAfterShow exitAfterShow;
    if (qEnvironmentVariableIntValue("KORVANE_EXIT_AFTER_SHOW") == 1)
        forms->Form1->installEventFilter(&exitAfterShow);
    forms->Form1->show();
    const int exitCode = app.exec();
    // Workers still waiting for a reply end with the process; none reports any more.
    korvane::pingWorkers().quitAll();
    return exitCode;
}

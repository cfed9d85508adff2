// A whole scan in the main window, offscreen, on a generated loopback fleet:
// wall time from "scan now " until the worker's end of pass has reached the
// window, and the longest the UI thread went without running its events
// (a 1 ms timer that fires late by that much), end and final sort included.
//
//   korvane-bench-scan-window [servers=1000] [timeout-ms=1000] [silent=0.25] [screenshot.png]

#include "fleet/Fleet.h"
#include "platform/gui/Desktop.h"
#include "support/DataFolder.h"
#include "support/PrintedDialogs.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int timeoutMs = argc > 2 ? std::atoi(argv[2]) : 1000;
    const double silent = argc > 3 ? std::atof(argv[3]) : 0.25;

    korvane::fleet::Fleet fleet(korvane::fleet::generateFleet(count, 0, silent, 7));
    fleet.start();
    const korvane::test::DataFolder folder;
    folder.writeLines("Config",
                      korvane::test::config(
                          {{2, "Serverlists\\Bench"}, {3, "clantags on"}, {8, std::to_string(timeoutMs)}}));
    folder.write("Serverlists/Bench", fleet.serverListText());
    folder.write("Buddys.txt", "Gefreiter\r\n|SAS|Nick\r\n");
    folder.write("clantags.txt", "[XY]\r\n");
    folder.write("Passwords.txt", "");

    // A box would wait for a click that never comes: boxes are printed, questions answered No.
    korvane::test::PrintedDialogs dialogs;
    korvane::QtDesktop desktop;
    std::unique_ptr<korvane::Forms> forms = korvane::createForms(dialogs, desktop);
    korvane::TForm1& window = *forms->Form1;
    window.show();
    QApplication::processEvents();

    // The UI thread's longest stall: the largest gap between two ticks.
    QElapsedTimer sinceTick;
    qint64 longestGapNs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    ticker.start(1);
    sinceTick.start();

    QElapsedTimer clock;
    clock.start();
    window.ToolButton3->click();
    // A plain event loop, as the program runs: it wakes for every posted call
    // (QTest::qWaitFor would sleep between its checks).
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (!window.state.Scanning || clock.elapsed() > 600000) loop.quit();
    });
    check.start(5);
    loop.exec();
    const bool ended = !window.state.Scanning;
    const double seconds = clock.nsecsElapsed() / 1e9;
    // The gap covers the last slice too, which ended the scan.
    longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
    std::printf("%d servers, %d ms time-out, %.0f%% silent: %s in %.2f s, longest UI stall %.0f ms; %s; %d "
                "buddies\n",
                count, timeoutMs, silent * 100, ended ? "scanned" : "NOT ENDED", seconds, longestGapNs / 1e6,
                window.statusText().toLatin1().constData(), window.ListView2->rowCount());
    if (argc > 4) window.grab().save(QString::fromLocal8Bit(argv[4]));
    forms.reset();
    return ended ? 0 : 1;
}

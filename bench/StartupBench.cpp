// Start-up with a big current list, and the server table's sorting after a scan.
//
//   korvane-bench-startup [servers...]     (default: 0 10000 100000)
//
// Start-up: the real program runs as a child in a generated data folder,
// offscreen, with KORVANE_EXIT_AFTER_SHOW=1; the time runs from just before the
// fork until the child reports its first painted frame (every "not scanned" row
// is in the table by then), and the peak memory is the child's maximum resident
// set from wait4. 0 servers is the memory baseline for bytes per row.
//
// Sorting: the windows built in this process on the same list, the captions set
// to a spread a scan leaves behind, then the end of a pass (sort by caption,
// scroll to the first row with players) and "stop scan", each timed on the UI
// thread, and the frame painted after them.

#include "platform/gui/Desktop.h"
#include "support/DataFolder.h"
#include "support/PrintedDialogs.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int Repeats = 3;

std::int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Names as imports bring them: clan tags, accents, numbers.
std::string serverList(int count)
{
    static const char* const maps[] = {"Omaha", "Bocage", "Stalingrad", "V2 Rocket", "Hunt", "Brest"};
    std::string text;
    char line[160];
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof line, "|SAS| %s \xC9lite #%d [EU] - www.clan%d.de\r\n127.0.0.%d\r\n%d\r\n",
                      maps[i % 6], i, i % 977, 1 + i % 250, 12203 + i % 5000);
        text += line;
    }
    return text;
}

void writeData(const korvane::test::DataFolder& folder, int count)
{
    folder.writeLines("Config", korvane::test::config());
    folder.write("Serverlists/Standard", serverList(count));
    folder.write("Buddys.txt", "");
    folder.write("clantags.txt", "");
    folder.writeLines("Passwords.txt", {"// Korvane 1.11 password list", "//", ""});
}

struct Run
{
    double shownMs = -1;
    double exitMs = -1;
    long peakKb = 0;
};

Run startProgram(const std::string& folder)
{
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "KORVANE_EXIT_AFTER_SHOW=1"};
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0 &&
            std::strncmp(*e, "KORVANE_EXIT_AFTER_SHOW=", 24) != 0)
            env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char program[] = KORVANE_PROGRAM;
    char* argv[] = {program, nullptr};

    int out[2];
    if (pipe(out) != 0) std::abort();
    Run run;
    const std::int64_t start = monotonicNs();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        if (chdir(folder.c_str()) != 0) _exit(126);
        execve(program, argv, envp.data());
        _exit(127);
    }
    close(out[1]);
    std::string said;
    char buffer[256];
    ssize_t got;
    while ((got = read(out[0], buffer, sizeof buffer)) > 0)
        said.append(buffer, static_cast<size_t>(got));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.exitMs = (monotonicNs() - start) / 1e6;
    run.peakKb = usage.ru_maxrss;
    const size_t at = said.find("shown ");
    if (at != std::string::npos) run.shownMs = (std::atoll(said.c_str() + at + 6) - start) / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || run.shownMs < 0)
        std::fprintf(stderr, "the program did not report its window (status %d)\n", status);
    return run;
}

Run medianRun(int count)
{
    const korvane::test::DataFolder folder;
    writeData(folder, count);
    std::vector<Run> runs;
    for (int i = 0; i < Repeats; ++i)
        runs.push_back(startProgram(folder.path().toStdString()));
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.shownMs < b.shownMs; });
    Run result = runs[Repeats / 2];
    for (const Run& r : runs)
        result.peakKb = std::max(result.peakKb, r.peakKb);
    return result;
}

// What a pass leaves: many silent servers, empty and populated ones, a few full.
QString scannedCaption(std::mt19937& random)
{
    static const int sizes[] = {8, 12, 16, 20, 24, 32, 64};
    const int kind = static_cast<int>(random() % 100);
    const int max = sizes[random() % 7];
    if (kind < 50) return QStringLiteral("no response");
    if (kind < 75) return QStringLiteral("0/%1").arg(max);
    if (kind < 95) return QStringLiteral("%1/%2").arg(1 + random() % (max - 1)).arg(max);
    if (kind < 99) return QStringLiteral("FULL");
    return QStringLiteral("sends shit");
}

double msSince(const QElapsedTimer& clock)
{
    return clock.nsecsElapsed() / 1e6;
}

void sortBench(int count)
{
    const korvane::test::DataFolder folder;
    writeData(folder, count);
    korvane::test::PrintedDialogs dialogs;
    korvane::QtDesktop desktop;
    std::unique_ptr<korvane::Forms> forms = korvane::createForms(dialogs, desktop);
    korvane::TForm1& window = *forms->Form1;
    korvane::ListView& table = *window.ListView3;
    window.show();
    QApplication::processEvents();

    std::mt19937 random(7);
    table.setSortType(korvane::ListView::SortType::None);
    for (int i = 0; i < table.rowCount(); ++i)
        table.row(i)->setText(0, scannedCaption(random));
    QApplication::processEvents();

    // The end of a pass: sort by caption, then the first row with players.
    QElapsedTimer clock;
    clock.start();
    table.setSortType(korvane::ListView::SortType::Text);
    table.sortNow();
    const double sortMs = msSince(clock);
    clock.restart();
    for (int i = 0; i < table.rowCount(); ++i) {
        QTreeWidgetItem* item = table.row(i);
        const QString caption = korvane::ListView::caption(item);
        if (!caption.isEmpty() && caption[0] >= QLatin1Char('1') && caption[0] <= QLatin1Char('9')) {
            table.scrollToItem(item);
            break;
        }
    }
    const double scrollMs = msSince(clock);
    clock.restart();
    QApplication::processEvents();
    const double paintMs = msSince(clock);

    // "stop scan" on the sorted table (shuffled first, as a stop half-way finds it).
    table.setSortType(korvane::ListView::SortType::None);
    for (int i = 0; i < table.rowCount(); ++i)
        table.row(i)->setText(0, scannedCaption(random));
    QApplication::processEvents();
    clock.restart();
    window.ToolButton9Click();
    const double stopMs = msSince(clock);

    std::printf("sort %6d rows: pass end sort %7.1f ms, scroll %6.1f ms, next frame %6.1f ms; "
                "stop scan %7.1f ms\n",
                count, sortMs, scrollMs, paintMs, stopMs);
    std::fflush(stdout);
    forms.reset();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {0, 10000, 100000};

    long baselineKb = -1;
    for (int count : counts) {
        const Run run = medianRun(count);
        if (count == 0) baselineKb = run.peakKb;
        std::printf(
            "start-up %6d servers: window shown in %7.1f ms (process ended %7.1f ms), peak RSS %6.1f MB",
            count, run.shownMs, run.exitMs, run.peakKb / 1024.0);
        if (count > 0 && baselineKb >= 0)
            std::printf(", %.0f bytes per row", (run.peakKb - baselineKb) * 1024.0 / count);
        std::printf("\n");
        std::fflush(stdout);
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    for (int count : counts)
        if (count > 0) sortBench(count);
    return 0;
}

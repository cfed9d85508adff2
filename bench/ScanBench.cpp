// Scan speed on loopback: korvane-scan one exchange at a time and with the
// default number in flight, against qstat (quakestat) when it is installed,
// on generated fleets with a quarter of the servers silent.
//
//   korvane-bench-scan [--sizes 1000,5000] [--timeout-ms 1000] [--silent 0.25] [--skip-one-at-a-time]
//                      [--skip-qstat] [--also-in-flight 64,128,512]  (further K values, to choose the default
//                      by)
//
// --timeout-ms 0 --silent 1 measures the pass's own CPU: no server is waited for.

#include "fleet/Fleet.h"
#include "scan/ScanRun.h"
#include "support/DataFolder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using korvane::fleet::Fleet;

namespace {

struct Run
{
    double seconds = 0;
    double cpuSeconds = 0; // user and system
    long peakKb = 0;
    int status = -1;
    std::string output;
};

// Runs a program in a folder with its output going to a file; wall time and
// the child's peak resident memory.
Run runChild(const std::vector<std::string>& args, const fs::path& folder)
{
    const fs::path outPath = folder / "bench-output.txt";
    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0) _exit(127);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        _exit(127);
    }
    Run run;
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.peakKb = usage.ru_maxrss;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(outPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    run.output = text.str();
    return run;
}

bool haveQstat()
{
    return std::system("command -v quakestat >/dev/null 2>&1") == 0;
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void report(const char* what, const Run& run, double reference)
{
    std::printf("  %-34s %8.2f s  %7.2fx  %6.2f s CPU  %7.1f MB%s\n", what, run.seconds,
                run.seconds / reference, run.cpuSeconds, run.peakKb / 1024.0,
                run.status == 0 ? "" : "  (failed)");
    std::fflush(stdout);
}

std::vector<int> parseList(const std::string& text)
{
    std::vector<int> sizes;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        sizes.push_back(std::atoi(item.c_str()));
    return sizes;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> sizes{1000, 5000};
    bool skipQstat = false;
    int timeoutMs = 1000;
    double silent = 0.25;
    bool oneAtATime = true;
    std::vector<int> moreK;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sizes" && i + 1 < argc)
            sizes = parseList(argv[++i]);
        else if (arg == "--also-in-flight" && i + 1 < argc)
            moreK = parseList(argv[++i]);
        else if (arg == "--timeout-ms" && i + 1 < argc)
            timeoutMs = std::atoi(argv[++i]);
        else if (arg == "--silent" && i + 1 < argc)
            silent = std::atof(argv[++i]);
        else if (arg == "--skip-one-at-a-time")
            oneAtATime = false;
        else if (arg == "--skip-qstat")
            skipQstat = true;
        else {
            std::cerr << "usage: korvane-bench-scan [--sizes 1000,5000] [--timeout-ms 1000] [--silent 0.25] "
                         "[--skip-one-at-a-time] [--skip-qstat] [--also-in-flight 64,128,512]\n";
            return 2;
        }
    }
    const bool qstat = !skipQstat && haveQstat();
    const int k = korvane::DefaultInFlight;
    std::printf(
        "korvane-scan in flight: %d (default), time-out %d ms, %.0f%% silent; wall, ratio to default, "
        "CPU, peak memory\n",
        k, timeoutMs, silent * 100);

    for (const int size : sizes) {
        Fleet fleet(korvane::fleet::generateFleet(size, 0, silent, 7));
        fleet.start();
        const fs::path folder = fs::temp_directory_path() / ("korvane-bench-" + std::to_string(::getpid()));
        fs::create_directories(folder / "Serverlists");
        writeFile(folder / "Config",
                  korvane::test::crlf(korvane::test::config(
                      {{2, "Serverlists\\Bench"}, {3, "clantags on"}, {8, std::to_string(timeoutMs)}})));
        writeFile(folder / "Serverlists" / "Bench", fleet.serverListText());
        writeFile(folder / "Buddys.txt", "Gefreiter\r\n|SAS|Nick\r\n");
        writeFile(folder / "clantags.txt", "[XY]\r\n");
        std::string hosts;
        for (int port : fleet.ports())
            hosts += "127.0.0.1:" + std::to_string(port) + "\n";
        writeFile(folder / "hosts", hosts);

        std::printf("%d servers\n", size);
        const Run overlapped = runChild({KORVANE_SCAN_PROGRAM}, folder);
        report(("korvane-scan K=" + std::to_string(k)).c_str(), overlapped, overlapped.seconds);
        for (int other : moreK) {
            const Run run = runChild({KORVANE_SCAN_PROGRAM, "--in-flight", std::to_string(other)}, folder);
            report(("korvane-scan K=" + std::to_string(other)).c_str(), run, overlapped.seconds);
        }
        if (oneAtATime) {
            const Run single = runChild({KORVANE_SCAN_PROGRAM, "--in-flight", "1"}, folder);
            report("korvane-scan K=1", single, overlapped.seconds);
            std::printf("  same output K=1 and K=%d: %s\n", k,
                        single.output == overlapped.output ? "yes" : "NO");
        }
        if (qstat) {
            const Run defaults =
                runChild({"quakestat", "-default", "maqs", "-f", "hosts", "-R", "-P"}, folder);
            report("quakestat defaults", defaults, overlapped.seconds);
            const Run tuned = runChild(
                {"quakestat", "-default", "maqs", "-f", "hosts", "-R", "-P", "-maxsim", std::to_string(k)},
                folder);
            report(("quakestat -maxsim " + std::to_string(k)).c_str(), tuned, overlapped.seconds);
        } else {
            std::printf("  quakestat skipped (not installed or --skip-qstat)\n");
        }
        fleet.stop();
        fs::remove_all(folder);
    }
    return 0;
}

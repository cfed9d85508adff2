// Scan speed on loopback: korvane-scan one exchange at a time and with the
// default number in flight, against qstat (quakestat) when it is installed,
// on generated fleets with a quarter of the servers silent.
//
//   korvane-bench-scan [--sizes 1000,5000] [--timeout-ms 1000] [--silent 0.25] [--skip-one-at-a-time]
//                      [--skip-qstat] [--also-in-flight 64,128,512]  (further K values, to choose the default
//                      by) [--link RATE]
//
// --timeout-ms 0 --silent 1 measures the pass's own CPU: no server is waited for.
// --link RATE (8mbit, 20mbit, 100mbit, none; root only) runs everything in a
// network namespace of its own whose loopback is shaped to RATE, as a home
// line is, and counts the live servers each scan reported as silent.

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
#include <random>
#include <sched.h>
#include <set>
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

// Live servers (answering ones) a run reported as not answering; -1 when not counted.
int g_lost = -1;

void report(const char* what, const Run& run, double reference)
{
    std::printf("  %-34s %8.2f s  %7.2fx  %6.2f s CPU  %7.1f MB", what, run.seconds, run.seconds / reference,
                run.cpuSeconds, run.peakKb / 1024.0);
    if (g_lost >= 0) std::printf("  %5d lost", g_lost);
    std::printf("%s\n", run.status == 0 ? "" : "  (failed)");
    std::fflush(stdout);
}

// Lines of a run's output naming a live server but saying it did not answer:
// korvane-scan's "no response" rows by list name, quakestat's by address.
int lostLive(const std::string& output, const std::set<std::string>& live, bool byAddress)
{
    int lost = 0;
    std::stringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("no response") == std::string::npos && line.find("TIMEOUT") == std::string::npos)
            continue;
        std::string key;
        if (byAddress) {
            key = line.substr(0, line.find_first_of(" \t"));
        } else {
            const std::size_t a = line.find('\t', line.find('\t') + 1);
            const std::size_t b = line.find('\t', a + 1);
            if (a == std::string::npos || b == std::string::npos) continue;
            key = line.substr(a + 1, b - a - 1);
        }
        lost += live.count(key) ? 1 : 0;
    }
    return lost;
}

// Bits per second of a tc rate such as 8mbit; 0 for none or what it cannot read.
double linkBits(const std::string& rate)
{
    char* end = nullptr;
    const double value = std::strtod(rate.c_str(), &end);
    const std::string unit = end ? end : "";
    if (unit == "kbit") return value * 1e3;
    if (unit == "mbit") return value * 1e6;
    if (unit == "gbit") return value * 1e9;
    return 0;
}

// Enters a network namespace of its own with a shaped loopback; false with a
// message when this is not possible (not root, no tc).
bool shapeLink(const std::string& rate)
{
    if (::unshare(CLONE_NEWNET) != 0) {
        std::perror("korvane-bench-scan: unshare -n (root only)");
        return false;
    }
    if (std::system("ip link set lo up") != 0) return false;
    if (rate == "none") return true;
    const std::string tc = "tc qdisc add dev lo root tbf rate " + rate + " burst 16kb latency 50ms";
    if (std::system(tc.c_str()) != 0) {
        std::fprintf(stderr, "korvane-bench-scan: %s failed\n", tc.c_str());
        return false;
    }
    return true;
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
    std::string link;
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
        else if (arg == "--link" && i + 1 < argc)
            link = argv[++i];
        else {
            std::cerr
                << "usage: korvane-bench-scan [--sizes 1000,5000] [--timeout-ms 1000] [--silent 0.25] "
                   "[--skip-one-at-a-time] [--skip-qstat] [--also-in-flight 64,128,512] [--link RATE]\n";
            return 2;
        }
    }
    // Before any thread starts, so the fleet and every child share the namespace.
    if (!link.empty() && !shapeLink(link)) return 1;
    const bool qstat = !skipQstat && haveQstat();
    const int k = korvane::DefaultInFlight;
    std::printf(
        "korvane-scan in flight: %d (default), time-out %d ms, %.0f%% silent; wall, ratio to default, "
        "CPU, peak memory%s\n",
        k, timeoutMs, silent * 100, link.empty() ? "" : ", live servers lost");
    if (link == "none")
        std::printf("link: unshaped loopback of a network namespace of its own\n");
    else if (!link.empty())
        std::printf("link: loopback shaped to %s (tbf, burst 16kb, latency 50ms)\n", link.c_str());

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
        std::printf("%d servers\n", size);
        std::string hosts;
        std::set<std::string> liveNames, liveAddresses;
        for (std::size_t s = 0; s < fleet.size(); ++s) {
            const std::string address = "127.0.0.1:" + std::to_string(fleet.port(s));
            hosts += address + "\n";
            if (fleet.config().servers[s].behaviour == korvane::fleet::Behaviour::Silent) continue;
            liveNames.insert(fleet.config().servers[s].listName);
            liveAddresses.insert(address);
        }
        writeFile(folder / "hosts", hosts);
        if (const double bits = linkBits(link); bits > 0) {
            std::mt19937 rng(1);
            double replyBytes = 0;
            for (const korvane::fleet::ServerConfig& server : fleet.config().servers)
                replyBytes += static_cast<double>(korvane::fleet::statusReply(server, rng).size());
            const double carry = replyBytes * 8 / bits;
            std::printf("  reply bytes %.0f: %.2f s at %s (1.3 x that + 1.2 s = %.2f s)\n", replyBytes, carry,
                        link.c_str(), 1.3 * carry + 1.2);
        }
        auto lost = [&](const Run& run, bool byAddress) {
            g_lost =
                link.empty() ? -1 : lostLive(run.output, byAddress ? liveAddresses : liveNames, byAddress);
        };

        const Run overlapped = runChild({KORVANE_SCAN_PROGRAM}, folder);
        lost(overlapped, false);
        report(("korvane-scan K=" + std::to_string(k)).c_str(), overlapped, overlapped.seconds);
        for (int other : moreK) {
            const Run run = runChild({KORVANE_SCAN_PROGRAM, "--in-flight", std::to_string(other)}, folder);
            lost(run, false);
            report(("korvane-scan K=" + std::to_string(other)).c_str(), run, overlapped.seconds);
        }
        if (oneAtATime) {
            const Run single = runChild({KORVANE_SCAN_PROGRAM, "--in-flight", "1"}, folder);
            lost(single, false);
            report("korvane-scan K=1", single, overlapped.seconds);
            std::printf("  same output K=1 and K=%d: %s\n", k,
                        single.output == overlapped.output ? "yes" : "NO");
        }
        if (qstat) {
            const Run defaults =
                runChild({"quakestat", "-default", "maqs", "-f", "hosts", "-R", "-P"}, folder);
            lost(defaults, true);
            report("quakestat defaults", defaults, overlapped.seconds);
            const Run tuned = runChild(
                {"quakestat", "-default", "maqs", "-f", "hosts", "-R", "-P", "-maxsim", std::to_string(k)},
                folder);
            lost(tuned, true);
            report(("quakestat -maxsim " + std::to_string(k)).c_str(), tuned, overlapped.seconds);
        } else {
            std::printf("  quakestat skipped (not installed or --skip-qstat)\n");
        }
        fleet.stop();
        fs::remove_all(folder);
    }
    return 0;
}

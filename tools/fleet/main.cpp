// korvane-fleet: stand-in game servers on loopback for tests and demos.

#include "fleet/Fleet.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>

using namespace korvane::fleet;

namespace {

const char* const Usage =
    "usage: korvane-fleet (--config FILE | --count N [--base-port P] [--silent-fraction F] [--seed S])\n"
    "                     [--bind ADDRESS] [--list-file PATH] [--lifetime SECONDS]\n"
    "Serves stand-in game servers (status, remote console and GameSpy query ports) and stand-in\n"
    "masters until SIGINT/SIGTERM or the lifetime ends.\n"
    "Prints one line per server, \"PORT<TAB>NAME\", one per query port, \"query<TAB>PORT<TAB>NAME\",\n"
    "one per master, \"master<TAB>PORT\", then \"ready\".\n";

[[noreturn]] void usageError(const std::string& why)
{
    std::cerr << "korvane-fleet: " << why << "\n" << Usage;
    std::exit(2);
}

} // namespace

int main(int argc, char** argv)
{
    std::string configPath, listFile, bind;
    int count = -1, basePort = 0;
    double silentFraction = 0, lifetime = 0;
    unsigned seed = 1;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            auto value = [&]() -> std::string {
                if (i + 1 >= argc) usageError(arg + " needs a value");
                return argv[++i];
            };
            if (arg == "--config")
                configPath = value();
            else if (arg == "--count")
                count = std::stoi(value());
            else if (arg == "--base-port")
                basePort = std::stoi(value());
            else if (arg == "--silent-fraction")
                silentFraction = std::stod(value());
            else if (arg == "--seed")
                seed = static_cast<unsigned>(std::stoul(value()));
            else if (arg == "--bind")
                bind = value();
            else if (arg == "--list-file")
                listFile = value();
            else if (arg == "--lifetime")
                lifetime = std::stod(value());
            else if (arg == "--help" || arg == "-h") {
                std::cout << Usage;
                return 0;
            } else
                usageError("unknown option " + arg);
        }
    } catch (const std::logic_error&) {
        usageError("a numeric option has a bad value");
    }
    if (configPath.empty() == (count < 0)) usageError("give either --config or --count");

    FleetConfig config;
    try {
        config = configPath.empty() ? generateFleet(count, basePort, silentFraction, seed)
                                    : loadFleetConfig(configPath);
    } catch (const std::exception& e) {
        std::cerr << "korvane-fleet: " << e.what() << "\n";
        return 1;
    }
    if (!bind.empty()) config.bindAddress = bind;

    // Block the stop signals before the serving thread starts so only sigtimedwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Fleet fleet(config);
    try {
        fleet.start();
        if (!listFile.empty()) {
            std::ofstream out(listFile, std::ios::binary | std::ios::trunc);
            out << fleet.serverListText();
            if (!out) throw std::runtime_error("cannot write " + listFile);
        }
    } catch (const std::exception& e) {
        std::cerr << "korvane-fleet: " << e.what() << "\n";
        return 1;
    }
    for (std::size_t i = 0; i < fleet.size(); ++i)
        std::printf("%d\t%s\n", fleet.port(i), fleet.config().servers[i].listName.c_str());
    for (std::size_t i = 0; i < fleet.size(); ++i)
        if (fleet.queryPorts()[i] > 0)
            std::printf("query\t%d\t%s\n", fleet.queryPorts()[i], fleet.config().servers[i].listName.c_str());
    for (const int port : fleet.masterPorts())
        std::printf("master\t%d\n", port);
    std::printf("ready\n");
    std::fflush(stdout);

    timespec wait{};
    if (lifetime > 0) {
        wait.tv_sec = static_cast<time_t>(lifetime);
        wait.tv_nsec = static_cast<long>((lifetime - static_cast<double>(wait.tv_sec)) * 1e9);
    }
    for (;;) {
        const int sig =
            lifetime > 0 ? sigtimedwait(&stopSignals, nullptr, &wait) : sigwaitinfo(&stopSignals, nullptr);
        if (sig > 0 || lifetime > 0) break; // a stop signal, or the lifetime ran out
        // EINTR from anything else: keep waiting.
    }
    fleet.stop();
    std::fprintf(stderr, "korvane-fleet: stopped after %llu replies\n",
                 static_cast<unsigned long long>(fleet.repliesSent()));
    return 0;
}

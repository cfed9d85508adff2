#pragma once
// A fleet of stand-in game servers on loopback: one thread, one poll() over
// every server's socket, delayed replies kept in a queue so a slow server
// never holds up the others.

#include "fleet/ServerModel.h"
#include "fleet/StandInMaster.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace korvane::fleet {

class Fleet
{
public:
    explicit Fleet(FleetConfig config);
    ~Fleet(); // stops
    Fleet(const Fleet&) = delete;
    Fleet& operator=(const Fleet&) = delete;

    // Binds every server's socket, query port and master (all or none;
    // std::runtime_error on failure) and starts serving.
    void start();
    void stop();
    bool running() const { return m_thread.joinable(); }

    const FleetConfig& config() const { return m_config; }
    std::size_t size() const { return m_config.servers.size(); }
    // Bound ports in configuration order (valid after start).
    std::vector<int> ports() const { return m_ports; }
    int port(std::size_t index) const { return m_ports.at(index); }
    // GameSpy query ports in configuration order, 0 for a server without one.
    std::vector<int> queryPorts() const { return m_queryPorts; }
    // The stand-in masters' TCP ports in configuration order.
    std::vector<int> masterPorts() const { return m_masters.ports(); }
    std::uint64_t listsSent() const { return m_masters.listsSent(); }

    // Datagrams answered so far (status, info, console and query port alike).
    std::uint64_t repliesSent() const { return m_replies.load(); }

    // The server-list file of the running fleet (CR LF line ends).
    std::string serverListText() const;

private:
    void run();

    FleetConfig m_config; // the serving thread changes maps through rcon
    std::vector<int> m_fds;
    std::vector<int> m_ports;
    std::vector<int> m_queryFds; // -1 for a server without a query port
    std::vector<int> m_queryPorts;
    StandInMasters m_masters;
    int m_wake[2] = {-1, -1};
    // Where Stray servers' forgeries come from: another port of the bind
    // address, and ::1 (-1 where the system has no IPv6).
    int m_forgers[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<std::uint64_t> m_replies{0};
};

// The korvane-fleet program run as a child process; its ports are read from
// what it prints. The destructor stops it.
class FleetProcess
{
public:
    FleetProcess() = default;
    ~FleetProcess();
    FleetProcess(FleetProcess&& other) noexcept;
    FleetProcess& operator=(FleetProcess&& other) noexcept;

    // Starts program with args and waits (up to timeoutMs) until it reports
    // its ports. std::runtime_error when it does not come up.
    static FleetProcess launch(const std::string& program, const std::vector<std::string>& args,
                               int timeoutMs = 10000);

    const std::vector<int>& ports() const { return m_ports; }
    pid_t pid() const { return m_pid; }
    // SIGTERM, then waits; the exit status (-1 when it was not running).
    int stop();

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::vector<int> m_ports;
};

// Where the build put the korvane-fleet program (for tests).
std::string fleetProgramPath();

} // namespace korvane::fleet

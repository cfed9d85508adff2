#pragma once
// Stand-in masters on loopback TCP: one thread, one poll() over every
// listener and client, each master behaving as its configuration says.

#include "fleet/ServerModel.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace korvane::fleet {

class StandInMasters
{
public:
    StandInMasters() = default;
    ~StandInMasters(); // stops
    StandInMasters(const StandInMasters&) = delete;
    StandInMasters& operator=(const StandInMasters&) = delete;

    // Binds every master's listener (all or none; std::runtime_error on
    // failure) and starts serving the lists of config, whose servers' query
    // ports are queryPorts (in configuration order, 0 for none).
    void start(const FleetConfig& config, const std::vector<int>& queryPorts);
    void stop();
    std::vector<int> ports() const { return m_ports; }
    // Lists sent whole so far.
    std::uint64_t listsSent() const { return m_lists.load(); }

private:
    void run();

    std::vector<MasterConfig> m_masters;
    std::map<std::string, std::vector<std::string>> m_entries; // game name -> "a.b.c.d:port" of its servers
    std::vector<int> m_listeners;
    std::vector<int> m_ports;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<std::uint64_t> m_lists{0};
};

// The list a master sends for the entries ("a.b.c.d:port", IPv4 only): 6
// bytes each (address, then port, big-endian) or "\ip\a.b.c.d:port" each,
// then "\final\". Entries that are no IPv4 address and port are left out.
std::string masterListBytes(const std::vector<std::string>& entries, ListForm form);

} // namespace korvane::fleet

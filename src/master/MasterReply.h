#pragma once
// A master's answer to the list request, read until it closed: the servers'
// addresses and GameSpy query ports, a refusal, or a reply that is neither.

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// A server as a master lists it: IPv4 address and GameSpy query port.
struct ListedServer
{
    std::uint32_t ip = 0; // host order: 1.2.3.4 is 0x01020304
    int queryPort = 0;
    std::string address() const; // "1.2.3.4"
    std::string text() const;    // "1.2.3.4:12300"
    auto operator<=>(const ListedServer&) const = default;
};

// "a.b.c.d" with four decimal numbers of 0 to 255, nothing else.
bool parseIpv4(std::string_view text, std::uint32_t& ip);
// An address a server can have: not 0.0.0.0/8, multicast, reserved or broadcast.
bool isServerAddress(std::uint32_t ip);

// Far above any real list; a master sending more is lying or broken.
inline constexpr std::size_t MaxMasterReplyBytes = 512 * 1024;
inline constexpr std::size_t MaxServersPerMaster = 10000;

struct MasterReply
{
    enum class Kind { List, Refused, Bad };
    Kind kind = Kind::Bad;
    std::vector<ListedServer> servers; // in the master's order, as listed
    int skipped = 0;                   // entries with an unusable address or port
    int repeated = 0;                  // entries listed more than once, taken once
    bool cut = false;                  // more than maxServers entries: the rest dropped
    std::string text;                  // the refusal's words, or what is wrong with a bad reply
};

// Compressed: 6 bytes per server (address, then port, both big-endian) and
// "\final\"; plain: "\ip\a.b.c.d:port" per server and "\final\"; an empty
// list is "\final\" alone; "\echo\..." is a refusal. A leading "\final\"
// with more after it ends the greeting, not the list.
MasterReply parseMasterReply(std::string_view reply, std::size_t maxServers = MaxServersPerMaster);

} // namespace korvane

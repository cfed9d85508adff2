#pragma once
// One remote-console exchange on the console's open endpoint: the command
// out, the datagrams of its reply in, and the lines the console shows.

#include "platform/UdpClient.h"
#include "query/RconRequest.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace korvane {

// A server sends a long reply as several datagrams in quick succession; this
// much silence after the last one ends the reply.
inline constexpr int RconQuietGapMs = 300;

// What one command gathers at most. The longest replies these servers give
// (cvarlist, a map folder) come to a few dozen datagrams of about 1 KB; more
// than this is a flood, read and dropped as it comes.
struct RconReplyLimits
{
    std::size_t datagrams = 256;
    std::size_t bytes = 256 * 1024;
};
// The console's line under a reply cut at the limits.
std::string rconCutLine(const RconReplyLimits& limits = {});

// The datagrams read between two turns of the wait, so that the windows keep
// going while a flood lasts.
inline constexpr int RconReadBatch = 16;

// Waits at most timeoutMs until the endpoint has a datagram; true when it has.
// The window's version keeps the other windows alive meanwhile.
using DatagramWait = std::function<bool(int timeoutMs)>;

struct RconReply
{
    std::vector<std::string> datagrams;
    bool cut = false; // more came than the limits let in
};

// The datagrams of one reply, all from the server the endpoint's last send
// went to (strays from elsewhere are dropped): the first to arrive within
// timeoutMs, then those that follow the last within gapMs, never past
// timeoutMs. Past the limits every further datagram of the reply is read
// and dropped. Empty when nothing came. Throws IoError.
RconReply receiveRconReply(UdpClient& endpoint, const DatagramWait& wait, const RconReplyLimits& limits = {},
                           int timeoutMs = RconReplyTimeoutMs, int gapMs = RconQuietGapMs);

// Sends RconDatagram and, unless the command is a quit, reads the reply; the
// console's lines for it. Network failures count as no response, and an
// endpoint that is not open sends nothing (it has no server to go to).
std::vector<std::string> rconExchange(UdpClient& endpoint, const std::string& password,
                                      const std::string& command, const DatagramWait& wait);

} // namespace korvane

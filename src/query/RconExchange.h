#pragma once
// One remote-console exchange on the console's open endpoint: the command
// out, the datagrams of its reply in, and the lines the console shows.

#include "platform/UdpClient.h"
#include "query/RconRequest.h"

#include <functional>
#include <string>
#include <vector>

namespace korvane {

// A server sends a long reply as several datagrams in quick succession; this
// much silence after the last one ends the reply.
inline constexpr int RconQuietGapMs = 300;

// Waits at most timeoutMs until the endpoint has a datagram; true when it has.
// The window's version keeps the other windows alive meanwhile.
using DatagramWait = std::function<bool(int timeoutMs)>;

// The datagrams of one reply, all from the server the endpoint's last send
// went to (strays from elsewhere are dropped): the first to arrive within timeoutMs, then those that
// follow the last within gapMs, never past timeoutMs. Empty when nothing
// came. Throws IoError.
std::vector<std::string> receiveRconReply(UdpClient& endpoint, const DatagramWait& wait,
                                          int timeoutMs = RconReplyTimeoutMs, int gapMs = RconQuietGapMs);

// Sends RconDatagram and, unless the command is a quit, reads the reply; the
// console's lines for it. Network failures count as no response, and an
// endpoint that is not open sends nothing (it has no server to go to).
std::vector<std::string> rconExchange(UdpClient& endpoint, const std::string& password,
                                      const std::string& command, const DatagramWait& wait);

} // namespace korvane

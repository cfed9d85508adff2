#include "query/RconExchange.h"

#include "platform/Errors.h"

#include <algorithm>
#include <chrono>

namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;

int msUntil(Clock::time_point when)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

std::string rconCutLine(const RconReplyLimits& limits)
{
    return "reply cut after " + std::to_string(limits.datagrams) + " datagrams or " +
           std::to_string(limits.bytes / 1024) + " KB; the rest was dropped";
}

RconReply receiveRconReply(UdpClient& endpoint, const DatagramWait& wait, const RconReplyLimits& limits,
                           int timeoutMs, int gapMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    RconReply reply;
    std::size_t bytes = 0;
    auto until = deadline;
    for (;;) {
        // Only the server asked counts; strays are dropped and hold nothing open.
        for (int taken = 0; taken < RconReadBatch; ++taken) {
            std::optional<std::string> datagram = endpoint.takeFromPeer();
            if (!datagram) break;
            until = std::min(deadline, Clock::now() + std::chrono::milliseconds(gapMs));
            if (reply.cut) continue;
            if (reply.datagrams.size() == limits.datagrams || datagram->size() > limits.bytes - bytes) {
                reply.cut = true;
                continue;
            }
            bytes += datagram->size();
            reply.datagrams.push_back(std::move(*datagram));
        }
        const int left = msUntil(until);
        if (left <= 0 || !wait(left)) break;
    }
    return reply;
}

std::vector<std::string> rconExchange(UdpClient& endpoint, const std::string& password,
                                      const std::string& command, const DatagramWait& wait)
{
    if (!endpoint.isOpen()) return {RconNoResponseLine};
    try {
        endpoint.send(RconDatagram(password, command));
        if (!rconExpectsReply(command)) return {RconNoResponseLine};
        const RconReply reply = receiveRconReply(endpoint, wait);
        std::vector<std::string> lines = rconReplyLines(reply.datagrams);
        if (reply.cut) lines.push_back(rconCutLine());
        return lines;
    } catch (const IoError&) {
        return {RconNoResponseLine};
    }
}

} // namespace korvane

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

std::vector<std::string> receiveRconReply(UdpClient& endpoint, const DatagramWait& wait, int timeoutMs,
                                          int gapMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::string> datagrams;
    auto until = deadline;
    for (;;) {
        // Only the server asked counts; strays are dropped and hold nothing open.
        while (std::optional<std::string> datagram = endpoint.takeFromPeer()) {
            datagrams.push_back(std::move(*datagram));
            until = std::min(deadline, Clock::now() + std::chrono::milliseconds(gapMs));
        }
        const int left = msUntil(until);
        if (left <= 0 || !wait(left)) break;
    }
    return datagrams;
}

std::vector<std::string> rconExchange(UdpClient& endpoint, const std::string& password,
                                      const std::string& command, const DatagramWait& wait)
{
    if (!endpoint.isOpen()) return {RconNoResponseLine};
    try {
        endpoint.send(RconDatagram(password, command));
        if (!rconExpectsReply(command)) return {RconNoResponseLine};
        return rconReplyLines(receiveRconReply(endpoint, wait));
    } catch (const IoError&) {
        return {RconNoResponseLine};
    }
}

} // namespace korvane

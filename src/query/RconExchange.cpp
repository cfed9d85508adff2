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
    if (!wait(timeoutMs)) return datagrams;
    std::string server;
    datagrams.push_back(endpoint.receive(0, &server));
    auto quietUntil = std::min(deadline, Clock::now() + std::chrono::milliseconds(gapMs));
    for (int left; (left = msUntil(quietUntil)) > 0 && wait(left);) {
        std::string sender;
        std::string datagram = endpoint.receive(0, &sender);
        // Strays from elsewhere are no part of the reply and do not hold it open.
        if (sender != server) continue;
        datagrams.push_back(std::move(datagram));
        quietUntil = std::min(deadline, Clock::now() + std::chrono::milliseconds(gapMs));
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

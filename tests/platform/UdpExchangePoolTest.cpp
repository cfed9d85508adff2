// The exchange pool against peers on 127.0.0.1: what ends an exchange and
// with which reply, a time-out changed while exchanges wait, and a server
// asked many times at once on as many ports.

#include "platform/UdpExchangePool.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <map>
#include <set>

using namespace korvane;
using namespace korvane::test;

namespace {

// A socket on 127.0.0.1 that never answers; the test reads what reached it.
struct SilentPeer
{
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int port = 0;
    SilentPeer()
    {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof local;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0)
            throw std::runtime_error("cannot bind the silent peer");
        port = ntohs(local.sin_port);
    }
    ~SilentPeer() { ::close(fd); }
    // The source ports of every request waiting.
    std::vector<int> senders() const
    {
        std::vector<int> ports;
        for (;;) {
            char byte;
            sockaddr_storage from{};
            socklen_t length = sizeof from;
            if (::recvfrom(fd, &byte, 1, 0, reinterpret_cast<sockaddr*>(&from), &length) < 0) return ports;
            ports.push_back(from.ss_family == AF_INET6
                                ? ntohs(reinterpret_cast<const sockaddr_in6*>(&from)->sin6_port)
                                : ntohs(reinterpret_cast<const sockaddr_in*>(&from)->sin_port));
        }
    }
};

// Pumps until every exchange has ended (at most `rounds` waits); the replies by id.
std::map<int, std::optional<std::string>> runToEnd(UdpExchangePool& pool, int rounds = 400)
{
    std::map<int, std::optional<std::string>> replies;
    const auto onEnd = [&](int id, std::optional<std::string> reply) {
        EXPECT_FALSE(replies.contains(id)) << "exchange " << id << " ended twice";
        replies[id] = std::move(reply);
    };
    pool.pump(onEnd);
    for (int round = 0; round < rounds && pool.pending() > 0; ++round) {
        pool.wait(-1);
        pool.pump(onEnd);
    }
    return replies;
}

} // namespace

TEST(UdpExchangePool, EachExchangeEndsOnceWithItsOwnReplyInTimeOrEmpty)
{
    LoopbackPeer answers(LoopbackPeer::always("\xFF\xFF\xFF\xFF reply"));
    LoopbackPeer late(LoopbackPeer::always("late", 600));
    LoopbackPeer oversize(LoopbackPeer::always(std::string(UdpExchangePool::BufferSize + 1, 'x')));
    LoopbackPeer empty(LoopbackPeer::always(""));
    SilentPeer silent;
    struct Case
    {
        const char* what;
        std::string host;
        int port;
        std::optional<std::string> reply;
    } cases[] = {
        {"answers", "127.0.0.1", answers.port(), "\xFF\xFF\xFF\xFF reply"},
        {"by name", "localhost", answers.port(), "\xFF\xFF\xFF\xFF reply"},
        {"after its time-out", "127.0.0.1", late.port(), std::nullopt},
        {"longer than the buffer", "127.0.0.1", oversize.port(), ""},
        {"zero bytes", "127.0.0.1", empty.port(), ""},
        {"silent", "127.0.0.1", silent.port, std::nullopt},
        {"a name that does not resolve", "no-such-host.invalid", answers.port(), std::nullopt},
        {"a port out of range", "127.0.0.1", 70000, std::nullopt},
        {"no host", "", answers.port(), std::nullopt},
    };
    UdpExchangePool pool;
    pool.setTimeout(300);
    for (std::size_t id = 0; id < std::size(cases); ++id)
        pool.submit(static_cast<int>(id), cases[id].host, cases[id].port, "ask");
    EXPECT_EQ(pool.pending(), static_cast<int>(std::size(cases)));
    const std::map<int, std::optional<std::string>> replies = runToEnd(pool);
    for (std::size_t id = 0; id < std::size(cases); ++id) {
        ASSERT_TRUE(replies.contains(static_cast<int>(id))) << cases[id].what;
        EXPECT_EQ(replies.at(static_cast<int>(id)), cases[id].reply) << cases[id].what;
    }
    EXPECT_EQ(pool.pending(), 0);
    EXPECT_EQ(pool.waiting(), 0);
    EXPECT_GT(pool.capacity(), 0);
    EXPECT_EQ(pool.dropped(), 0u);
}

// The time-out in force applies to exchanges already waiting, counted from
// their own requests, and to those not sent yet.
TEST(UdpExchangePool, ATimeOutChangedAppliesToExchangesWaiting)
{
    SilentPeer silent;
    UdpExchangePool pool;
    pool.setTimeout(60000);
    for (int id = 0; id < 3; ++id)
        pool.submit(id, "127.0.0.1", silent.port, "ask");
    pool.pump([](int, std::optional<std::string>) { ADD_FAILURE() << "ended under a minute's time-out"; });
    ASSERT_EQ(pool.waiting(), 3);
    pool.setTimeout(50);
    pool.submit(3, "127.0.0.1", silent.port, "ask");
    const std::map<int, std::optional<std::string>> replies = runToEnd(pool);
    EXPECT_EQ(replies.size(), 4u);
    EXPECT_EQ(pool.pending(), 0);
}

// A server listed many times is asked for every listing at once, each time
// from a port that has not asked it before, so a late reply to one listing
// can never pass for another's.
TEST(UdpExchangePool, AServerListedManyTimesIsAskedAtOnceFromAsManyPorts)
{
    SilentPeer silent;
    UdpExchangePool pool(4);
    pool.setTimeout(60000);
    constexpr int Listings = 20;
    for (int id = 0; id < Listings; ++id)
        pool.submit(id, "127.0.0.1", silent.port, "ask");
    pool.pump([](int, std::optional<std::string>) { ADD_FAILURE() << "ended under a minute's time-out"; });
    EXPECT_EQ(pool.waiting(), Listings);
    const std::vector<int> senders = silent.senders();
    EXPECT_EQ(senders.size(), static_cast<std::size_t>(Listings));
    EXPECT_EQ(std::set<int>(senders.begin(), senders.end()).size(), static_cast<std::size_t>(Listings));
}

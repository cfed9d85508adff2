// The exchange pool against peers on 127.0.0.1: what ends an exchange and
// with which reply, and a server asked many times at once on as many ports.
// A time-out changed while exchanges wait is the scan pass's test.

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
    int port = 0;
    int fd = bindLoopbackSocket(SOCK_DGRAM | SOCK_NONBLOCK, port);
    ~SilentPeer() { ::close(fd); }
    // The source ports of every request waiting; on loopback a sent one is already there.
    std::vector<int> senders() const
    {
        std::vector<int> ports;
        sockaddr_in from{};
        for (socklen_t length = sizeof from;
             ::recvfrom(fd, nullptr, 0, 0, reinterpret_cast<sockaddr*>(&from), &length) >= 0;)
            ports.push_back(ntohs(from.sin_port));
        return ports;
    }
};

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
    // Pumped until every exchange has ended; the replies by id.
    std::map<int, std::optional<std::string>> replies;
    const auto onEnd = [&](int id, std::optional<std::string> reply) {
        EXPECT_FALSE(replies.contains(id)) << "exchange " << id << " ended twice";
        replies[id] = std::move(reply);
    };
    for (pool.pump(onEnd); pool.pending() > 0; pool.pump(onEnd))
        pool.wait(-1);
    for (std::size_t id = 0; id < std::size(cases); ++id) {
        ASSERT_TRUE(replies.contains(static_cast<int>(id))) << cases[id].what;
        EXPECT_EQ(replies.at(static_cast<int>(id)), cases[id].reply) << cases[id].what;
    }
    EXPECT_EQ(pool.pending(), 0);
    EXPECT_EQ(pool.dropped(), 0u);
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

// The exchange pool against peers on 127.0.0.1: what ends an exchange and
// with which reply, and a server asked many times at once on as many ports (a
// time-out changed while exchanges wait is the scan pass's test). The pacer
// that times its requests against a simulated path.

#include "platform/UdpExchangePool.h"
#include "platform/SendPacer.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <map>
#include <optional>
#include <queue>
#include <random>
#include <set>
#include <vector>

using namespace korvane;
using namespace korvane::test;
using namespace std::chrono_literals;
using Time = SendPacer::Time;

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

// The pacer against a simulated path: a bottleneck that carries so many bytes
// a second and holds a queue of so many milliseconds before it drops, as a
// home line's provider does, with a quarter of the servers silent.

namespace {

constexpr double ReplyBytes = 540; // a 500-byte reply and its headers

struct Path
{
    double bitsPerSecond = 8e6;
    SendPacer::Duration baseDelay = 100us; // there and back, without a queue
    SendPacer::Duration queueLimit = 50ms; // what the bottleneck holds before it drops
    // Servers further away than the others by up to this, on the far side of
    // the bottleneck, as servers all over the world are.
    SendPacer::Duration spread{};
};

// Sends `servers` requests as the pacer allows, the path changing once if
// told; every fourth server stays silent.
struct Simulation
{
    Time start{};
    SendPacer pacer{start};
    int sent = 0;
    int answered = 0;
    int lost = 0;
    Time lastSent{};
    std::optional<std::pair<SendPacer::Duration, Path>> change; // from the start

    void run(int servers, Path path)
    {
        Time now = start;
        Time linkFree = start; // when the bottleneck has sent what it holds
        // Replies on their way, the first to arrive on top: arrives, sent.
        std::priority_queue<std::pair<Time, Time>, std::vector<std::pair<Time, Time>>, std::greater<>> held;
        std::mt19937 rng(7);
        while (sent < servers || !held.empty()) {
            if (change && now - start >= change->first) path = change->second;
            while (!held.empty() && held.top().first <= now) {
                pacer.replied(held.top().second, held.top().first);
                ++answered;
                held.pop();
            }
            for (int n = pacer.allowance(now); n > 0 && sent < servers; --n) {
                pacer.sent(now);
                lastSent = now;
                if (sent++ % 4 == 3) continue; // silent
                const Time atBottleneck = now + path.baseDelay / 2;
                const auto perReply = std::chrono::duration_cast<SendPacer::Duration>(
                    std::chrono::duration<double>(ReplyBytes * 8 / path.bitsPerSecond));
                const Time from = std::max(atBottleneck, linkFree);
                if (from - atBottleneck > path.queueLimit) {
                    ++lost;
                    continue;
                }
                linkFree = from + perReply;
                const auto further = path.spread * (static_cast<double>(rng() % 1000) / 1000);
                held.emplace(linkFree + path.baseDelay / 2 +
                                 std::chrono::duration_cast<SendPacer::Duration>(further),
                             now);
            }
            // The worker wakes for the next reply or send, at most once a 100 µs.
            Time next = now + 10ms;
            if (!held.empty()) next = std::min(next, held.top().first);
            if (sent < servers) next = std::min(next, pacer.nextSendAt());
            now = std::max(next, now + 100us);
        }
    }
    double sendingSeconds() const { return std::chrono::duration<double>(lastSent - start).count(); }
};

// Requests per second that bring the replies at the path's full rate.
double pathRate(const Path& path)
{
    return path.bitsPerSecond / (ReplyBytes * 8) / 0.75;
}

} // namespace

// The rate is found without a setting on every kind of path: every reply gets
// through, and the requests leave about as fast as the path brings their replies.
TEST(SendPacer, FindsThePathsRateAndLosesNothing)
{
    struct Case
    {
        const char* what;
        double mbit;
        SendPacer::Duration baseDelay, spread, queueLimit;
        int servers;
        double slack; // seconds beyond 1.35 times what the path needs
        bool settles; // the rate found is near the path's
    } cases[] = {
        {"8 Mbit/s", 8, 100us, {}, 50ms, 1000, 0.1, true},
        {"20 Mbit/s", 20, 100us, {}, 50ms, 1000, 0.1, true},
        {"20 Mbit/s, 10000 servers", 20, 100us, {}, 50ms, 10000, 0.1, true},
        {"4 Mbit/s", 4, 100us, {}, 50ms, 1000, 0.1, true},
        {"8 Mbit/s, 40 ms away", 8, 40ms, {}, 50ms, 1000, 0.1, false},
        {"100 Mbit/s", 100, 100us, {}, 50ms, 3000, 0.1, false},
        // Servers all over the world answer after very different delays: that
        // is no queue, and the rate neither collapses nor overruns a line that
        // queues for 200 ms. Doubling per round trip of the farthest takes a
        // while; falling back on every far server would take many seconds.
        {"near and far, 100 Mbit/s", 100, 10ms, 150ms, 200ms, 3000, 1.0, false},
        {"near and far, 8 Mbit/s", 8, 10ms, 150ms, 200ms, 3000, 1.0, false},
        // Where nothing queues, nothing holds the requests back.
        {"10 Gbit/s", 10000, 100us, {}, 50ms, 10000, 0.025, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Path path{c.mbit * 1e6, c.baseDelay, c.queueLimit, c.spread};
        Simulation sim;
        sim.run(c.servers, path);
        EXPECT_EQ(sim.lost, 0);
        EXPECT_EQ(sim.answered, c.servers - c.servers / 4);
        // No slower than the path by much: the sending ends soon after the
        // path could have carried every reply.
        EXPECT_LT(sim.sendingSeconds(), c.servers / pathRate(path) * 1.35 + c.slack);
        if (c.settles) {
            EXPECT_FALSE(sim.pacer.starting());
            EXPECT_GT(sim.pacer.rate(), 0.5 * pathRate(path));
            EXPECT_LT(sim.pacer.rate(), 1.6 * pathRate(path));
        }
    }
}

// The path slows to half its rate while requests leave: the rate follows it down
// before the queue overflows, and comes back up when the path is fast again.
TEST(SendPacer, BacksOffWhenThePathSlowsAndRecoversWhenItSpeedsUp)
{
    const Path fast{24e6}, slow{12e6};

    Simulation down;
    down.change = {300ms, slow};
    down.run(6000, fast);
    EXPECT_EQ(down.lost, 0);
    EXPECT_LT(down.pacer.rate(), 1.5 * pathRate(slow));

    Simulation up;
    up.change = {300ms, fast};
    up.run(8000, slow);
    EXPECT_EQ(up.lost, 0);
    EXPECT_GT(up.pacer.rate(), 0.6 * pathRate(fast));
    // The slow part sent about 0.3 s worth; the rest went near the fast rate.
    const double expected = 0.3 + (8000 - 0.3 * pathRate(slow)) / pathRate(fast);
    EXPECT_LT(up.sendingSeconds(), expected * 1.4);
}

// Replies the system dropped for want of room slow the requests at once.
TEST(SendPacer, DroppedRepliesSlowTheRate)
{
    const Time start{};
    SendPacer pacer(start);
    Time now = start;
    for (int i = 0; i < 200; ++i) {
        now += 100us;
        while (pacer.allowance(now) > 0)
            pacer.sent(now);
        pacer.replied(now - 50us, now);
    }
    const double before = pacer.rate();
    pacer.dropped(now, 3);
    EXPECT_LT(pacer.rate(), 0.75 * before);
    EXPECT_FALSE(pacer.starting());
    // One back-off per round trip: the drops of requests already sent do not cut again.
    const double after = pacer.rate();
    pacer.dropped(now, 5);
    EXPECT_EQ(pacer.rate(), after);
}

// Until a reply tells how far away the path is, only a first few requests
// leave; once those ran out of time unanswered, nothing comes back to queue,
// and the rest leave without waiting.
TEST(SendPacer, AFirstFewUntilAReplyOrTheyAllRanOutUnanswered)
{
    const Time start{};
    SendPacer pacer(start);
    Time now = start;
    int sent = 0;
    const auto sendFor = [&](SendPacer::Duration span) {
        for (const Time end = now + span; now < end; now += 100us)
            for (int n = pacer.allowance(now); n > 0 && sent < 10000; --n, ++sent)
                pacer.sent(now);
    };
    sendFor(100ms);
    const int first = sent;
    EXPECT_GT(first, 10);
    EXPECT_LT(first, 100);
    for (int i = 0; i < first; ++i)
        pacer.unanswered(now);
    sendFor(40ms);
    EXPECT_EQ(sent, 10000);
}

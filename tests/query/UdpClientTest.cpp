#include "platform/UdpClient.h"
#include "platform/Errors.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

using namespace korvane;
using korvane::test::LoopbackPeer;
using korvane::test::PeerReply;

namespace {

// An echo peer on ::1, for the IPv6 path.
struct Ipv6Echo
{
    int fd = ::socket(AF_INET6, SOCK_DGRAM, 0);
    int port = 0;
    Ipv6Echo()
    {
        sockaddr_in6 local{};
        local.sin6_family = AF_INET6;
        local.sin6_addr = in6addr_loopback;
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) port = -1;
        socklen_t length = sizeof local;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
        if (port == 0) port = ntohs(local.sin6_port);
    }
    ~Ipv6Echo() { ::close(fd); }
    void echoOnce()
    {
        pollfd p{fd, POLLIN, 0};
        ASSERT_EQ(::poll(&p, 1, 2000), 1);
        char buffer[100];
        sockaddr_in6 from{};
        socklen_t length = sizeof from;
        const ssize_t got =
            ::recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        ASSERT_GT(got, 0);
        ::sendto(fd, buffer, static_cast<std::size_t>(got), 0, reinterpret_cast<sockaddr*>(&from), length);
    }
};

} // namespace

TEST(UdpClient, ClosedUntilOpenedAndReopeningGivesAFreshPort)
{
    UdpClient client;
    EXPECT_FALSE(client.isOpen());
    EXPECT_EQ(client.nativeHandle(), -1);
    client.open();
    ASSERT_TRUE(client.isOpen());
    const int first = client.localPort();
    EXPECT_GT(first, 0);
    client.open(); // already open: the socket stays
    EXPECT_EQ(client.localPort(), first);
    // Hold the old port so the system cannot hand it out again at once.
    UdpClient holder;
    client.close();
    EXPECT_FALSE(client.isOpen());
    client.open();
    EXPECT_NE(client.localPort(), 0);
    client.close();
    EXPECT_EQ(client.localPort(), 0);
}

TEST(UdpClient, SendOpensTheSocketAndTheReplyArrives)
{
    LoopbackPeer peer(LoopbackPeer::always("pong"));
    UdpClient client;
    client.setPeer("127.0.0.1", peer.port());
    EXPECT_EQ(client.peerHost(), "127.0.0.1");
    EXPECT_EQ(client.peerPort(), peer.port());
    client.send(std::string("ping\0with zero", 14));
    EXPECT_TRUE(client.isOpen());
    EXPECT_EQ(client.receiveReply(2000), "pong");
    EXPECT_EQ(peer.lastRequest(), std::string("ping\0with zero", 14));
}

TEST(UdpClient, ReachesIpv6Peers)
{
    Ipv6Echo echo;
    if (echo.port <= 0) GTEST_SKIP() << "no IPv6 loopback on this machine";
    UdpClient client;
    client.setPeer("::1", echo.port);
    client.send("over six");
    echo.echoOnce();
    EXPECT_EQ(client.receiveReply(2000), "over six");
}

TEST(UdpClient, ReceiveWithNothingArrivingIsEmpty)
{
    UdpClient client;
    client.setPeer("127.0.0.1", test::unusedPort());
    client.send("anyone?");
    for (int timeout : {-5, 0, 50})
        EXPECT_EQ(client.receiveReply(timeout), "") << timeout;
}

TEST(UdpClient, Failures)
{
    UdpClient client;
    EXPECT_THROW(client.receiveReply(10), IoError) << "receive on a closed client";
    client.setPeer("no-such-host.invalid", 12203);
    EXPECT_THROW(client.send("x"), IoError);
    client.setPeer("127.0.0.1", 65536);
    EXPECT_THROW(client.send("x"), IoError);
    client.setPeer("127.0.0.1", -1);
    EXPECT_THROW(client.send("x"), IoError);
}

// The peer answers after delayMs; strays from another port and from ::1 reach
// the client's port first. Only the peer's datagram, arrived within the
// time-out of the request, is the reply, whenever it is read.
TEST(UdpClient, TheReplyComesFromThePeerWithinItsTimeOut)
{
    struct Case
    {
        const char* what;
        int delayMs; // below zero: the peer stays silent
        int timeoutMs;
        bool strays;
        bool readAfterArrival; // takeReply once the datagram is there, not receiveReply
        std::optional<std::string> expected;
    } cases[] = {
        {"in time", 0, 2000, false, false, "reply"},
        {"strays first, then the peer", 150, 2000, true, false, "reply"},
        {"only strays: the wait runs out", -1, 300, true, false, ""},
        {"in time, read after it came", 0, 2000, true, true, "reply"},
        {"arrived after the time-out, read at once", 300, 100, false, true, std::nullopt},
    };
    for (const Case& c : cases) {
        UdpClient client;
        client.open();
        const int port = client.localPort();
        bool straysSent = true;
        LoopbackPeer peer([&](int, const std::string&) -> std::optional<PeerReply> {
            if (c.strays)
                straysSent = test::sendStray(port, "stray v4") && test::sendStray(port, "stray v6", true);
            if (c.delayMs < 0) return std::nullopt;
            return PeerReply{"reply", c.delayMs};
        });
        client.setPeer("127.0.0.1", peer.port());
        client.send("ask");
        if (c.readAfterArrival) {
            for (int i = 0; i < 500 && peer.replies() == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ASSERT_EQ(peer.replies(), 1) << c.what;
            EXPECT_EQ(client.takeReply(c.timeoutMs), c.expected) << c.what;
            EXPECT_EQ(client.takeReply(c.timeoutMs), std::nullopt) << "strays dropped too: " << c.what;
        } else {
            EXPECT_EQ(client.receiveReply(c.timeoutMs), c.expected.value_or("")) << c.what;
        }
        if (!straysSent) ADD_FAILURE() << "strays not sent (no IPv6 loopback?) in " << c.what;
    }
}

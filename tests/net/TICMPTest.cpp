// One echo through TICMP: its messages, request data, names and set-up
// failures, and real echoes through both kinds of Linux ICMP socket.
#include "net/TICMP.h"
#include "support/ScriptedIcmpEcho.h"

#include "PrivateNetwork.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <thread>

using namespace korvane;
using korvane::test::PrivateNetwork;
using korvane::test::ScriptedIcmpEcho;

// Codes outside the known set still say which code they are.
TEST(IcmpErrorText, UnknownCodesNameTheirNumber)
{
    const std::pair<std::uint32_t, const char*> table[] = {
        {0, "No error"},
        {11010, "Request timed out"},
        {11022, "ICMP error #11022"}, // between the known codes
        {4294967295u, "ICMP error #4294967295"},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(icmpErrorText(code), text) << code;
}

TEST(TICMP, RequestDataFollowsTheSizeAndNamesAreLookedUpUnlessDotted)
{
    ScriptedIcmpEcho service;
    for (int size : {1, 56}) {
        TICMP icmp(service);
        icmp.Size = size;
        icmp.TTL = 9;
        icmp.setAddress("127.0.0.1");
        ASSERT_EQ(icmp.SendEcho(), 1);
        const ScriptedIcmpEcho::Request sent = service.requests().back();
        EXPECT_EQ(sent.data, size == 1 ? "K" : std::string(EchoRequestText) + std::string(11, ' '));
        EXPECT_EQ(sent.replyBufferSize, static_cast<std::size_t>(size) + 28);
        EXPECT_EQ(sent.options.Ttl, 9);
        EXPECT_EQ(icmp.Reply.DataSize, size);
    }

    service.addName("alpha", "alpha.example", "127.0.0.1");
    struct Case
    {
        std::string address, hostName, hostIP, error;
    };
    const Case cases[] = {
        {"127.1", "127.1", "127.0.0.1", "No error"}, // dotted: never looked up
        {"alpha", "alpha.example", "127.0.0.1", "No error"},
        {"nowhere", "", "", "Bad Destination"},
        {"", "", "", "Bad Destination"},
    };
    for (const Case& c : cases) {
        TICMP icmp(service);
        icmp.setAddress(c.address);
        EXPECT_EQ(icmp.SendEcho(), c.error == "No error" ? 1 : 0) << c.address;
        EXPECT_EQ(icmp.HostName(), c.hostName) << c.address;
        EXPECT_EQ(icmp.HostIP(), c.hostIP) << c.address;
        EXPECT_EQ(icmp.ErrorText(), c.error) << c.address;
    }
}

TEST(TICMP, SetUpFailuresSayWhatFailed)
{
    const std::pair<IcmpSetUpFailure, const char*> table[] = {
        {IcmpSetUpFailure::Sockets, "Error initialising Winsock"},
        {IcmpSetUpFailure::Library, "Unable to register icmp.dll"},
        {IcmpSetUpFailure::EntryPoints, "Error loading dll functions"},
        {IcmpSetUpFailure::Handle, "Unable to get ping handle"},
    };
    ScriptedIcmpEcho service;
    for (const auto& [failure, message] : table) {
        service.failSetUp(failure);
        std::string caught;
        try {
            TICMP icmp(service);
        } catch (const TICMPException& error) {
            caught = error.what();
        }
        EXPECT_EQ(caught, message);
    }
}

namespace {

struct Echo
{
    std::string error; // the set-up failure's message when there is no handle
    std::string from;
    int dataSize = 0;
    long long elapsedMs = 0;
};

Echo ping(IcmpSocketKind kind, const std::string& address)
{
    Echo echo;
    const auto started = std::chrono::steady_clock::now();
    try {
        const std::shared_ptr<IcmpEcho> service = makeLinuxIcmpEcho(kind);
        TICMP icmp(*service);
        icmp.TimeOut = 300;
        icmp.setAddress(address);
        if (icmp.SendEcho()) echo.from = dottedAddress(icmp.Reply.Address);
        echo.error = icmp.ErrorText();
        echo.dataSize = icmp.Reply.DataSize;
    } catch (const TICMPException& error) {
        echo.error = error.what();
    }
    echo.elapsedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count();
    return echo;
}

} // namespace

// As the program pings; then both socket kinds, a silent host, no route and a
// name nobody knows inside a network of the test's own, where nothing leaves
// the machine.
TEST(LinuxEcho, RealEchoesOnLoopback)
{
    const Echo answered = ping(IcmpSocketKind::Any, "127.0.0.1");
    EXPECT_EQ(answered.error, "No error");
    EXPECT_EQ(answered.from, "127.0.0.1");
    EXPECT_EQ(answered.dataSize, 56);

    struct Case
    {
        std::string setting; // name=value under /proc/sys/net/ipv4
        IcmpSocketKind kind;
        std::string address, error;
    };
    const Case cases[] = {
        {"ping_group_range=0 2147483647", IcmpSocketKind::Datagram, "127.0.0.1", "No error"},
        {"", IcmpSocketKind::Raw, "127.0.0.1", "No error"},
        {"", IcmpSocketKind::Datagram, "no-such-host.invalid", "Bad Destination"},
        {"ping_group_range=1 0", IcmpSocketKind::Datagram, "127.0.0.1", "Unable to get ping handle"},
        {"", IcmpSocketKind::Any, "127.0.0.1", "No error"}, // the raw socket steps in
        {"icmp_echo_ignore_all=1", IcmpSocketKind::Raw, "127.0.0.1", "Request timed out"},
        {"ping_group_range=0 2147483647", IcmpSocketKind::Datagram, "127.0.0.1", "Request timed out"},
    };
    std::vector<Echo> echoes;
    const bool entered = PrivateNetwork::run([&] {
        for (const Case& c : cases) {
            const auto equals = c.setting.find('=');
            if (equals != std::string::npos) {
                ASSERT_TRUE(PrivateNetwork::set(c.setting.substr(0, equals), c.setting.substr(equals + 1)));
            }
            echoes.push_back(ping(c.kind, c.address));
        }
    });
    if (!entered) GTEST_SKIP() << "no network namespace of its own here";
    ASSERT_EQ(echoes.size(), std::size(cases));
    for (std::size_t i = 0; i < echoes.size(); ++i) {
        EXPECT_EQ(echoes[i].error, cases[i].error) << i;
        EXPECT_GE(echoes[i].elapsedMs, cases[i].error == "Request timed out" ? 300 : 0) << i;
    }

    // Without loopback there is no route to anywhere.
    for (IcmpSocketKind kind : {IcmpSocketKind::Datagram, IcmpSocketKind::Raw}) {
        Echo unreachable;
        PrivateNetwork::run(
            [&] {
                PrivateNetwork::set("ping_group_range", "0 2147483647");
                unreachable = ping(kind, "127.0.0.1");
            },
            false);
        EXPECT_EQ(unreachable.error, "Destination network unreachable");
    }
}

namespace {

// Answers every echo request it sees with a reply forged from source, the
// request's identifier and sequence moved by the given amounts.
class EchoForger
{
public:
    EchoForger(const std::string& source, int idShift, int sequenceShift)
        : m_source(parseDottedAddress(source)), m_shifts{idShift, sequenceShift},
          m_fd(::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP)), m_thread([this] { run(); })
    {}
    ~EchoForger()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }

private:
    void run()
    {
        const int on = 1;
        ::setsockopt(m_fd, IPPROTO_IP, IP_HDRINCL, &on, sizeof on);
        unsigned char packet[1500]; // an IP header of 20 bytes on loopback, the ICMP message after it
        while (!m_stop) {
            pollfd wait{m_fd, POLLIN, 0};
            const ssize_t size = ::poll(&wait, 1, 10) > 0 ? ::recv(m_fd, packet, sizeof packet, 0) : 0;
            if (size < 28 || packet[20] != 8) continue; // echo requests only
            unsigned char* icmp = packet + 20;
            icmp[0] = 0; // echo reply
            for (int at : {4, 6}) {
                const int value = (icmp[at] << 8 | icmp[at + 1]) + m_shifts[at / 2 - 2];
                icmp[at] = static_cast<unsigned char>(value >> 8);
                icmp[at + 1] = static_cast<unsigned char>(value);
            }
            icmp[2] = icmp[3] = 0;
            std::uint32_t sum = 0;
            for (ssize_t i = 0; i + 1 < size - 20; i += 2) // the program's requests have an even size
                sum += static_cast<std::uint32_t>(icmp[i] << 8 | icmp[i + 1]);
            sum = (sum & 0xFFFF) + (sum >> 16);
            sum = ~(sum + (sum >> 16));
            icmp[2] = static_cast<unsigned char>(sum >> 8);
            icmp[3] = static_cast<unsigned char>(sum);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            std::memcpy(&to.sin_addr, packet + 12, 4); // back to the sender...
            std::memcpy(packet + 16, packet + 12, 4);
            std::memcpy(packet + 12, &m_source, 4); // ...from the forged source
            ::sendto(m_fd, packet, static_cast<std::size_t>(size), 0, reinterpret_cast<sockaddr*>(&to),
                     sizeof to);
        }
    }

    std::uint32_t m_source;
    int m_shifts[2];
    int m_fd;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

// The pinged host never answers; a forger on the same machine does, and only
// a reply from the pinged address with the request's identifier and sequence
// counts.
TEST(LinuxEcho, OnlyThePingedHostsReplyToThisRequestCounts)
{
    struct Case
    {
        const char* source;
        int idShift, sequenceShift;
        std::string error;
    };
    const Case cases[] = {
        {"127.0.0.3", 0, 0, "No error"}, // the forger can pass for the host
        {"127.0.0.2", 0, 0, "Request timed out"},
        {"127.0.0.3", 0, 1, "Request timed out"},
        {"127.0.0.3", 1, 0, "Request timed out"},
    };
    std::vector<std::string> errors;
    const bool entered = PrivateNetwork::run([&] {
        ASSERT_TRUE(PrivateNetwork::set("icmp_echo_ignore_all", "1"));
        ASSERT_TRUE(PrivateNetwork::set("ping_group_range", "0 2147483647"));
        for (IcmpSocketKind kind : {IcmpSocketKind::Datagram, IcmpSocketKind::Raw})
            for (const Case& c : cases) {
                EchoForger forger(c.source, c.idShift, c.sequenceShift);
                errors.push_back(ping(kind, "127.0.0.3").error);
            }
    });
    if (!entered) GTEST_SKIP() << "no network namespace of its own here";
    ASSERT_EQ(errors.size(), 2 * std::size(cases));
    for (std::size_t i = 0; i < errors.size(); ++i)
        EXPECT_EQ(errors[i], cases[i % std::size(cases)].error) << i;
}

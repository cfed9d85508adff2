// One echo through TICMP: messages, request data, names, set-up failures, and
// real echoes on loopback through both kinds of Linux ICMP socket.
#include "net/TICMP.h"
#include "support/ScriptedIcmpEcho.h"

#include "PrivateNetwork.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

using namespace korvane;
using korvane::test::PrivateNetwork;
using korvane::test::ScriptedIcmpEcho;

TEST(IcmpErrorText, EveryStatusCodeHasItsMessage)
{
    const std::pair<std::uint32_t, const char*> table[] = {
        {0, "No error"},
        {11001, "Buffer too small"},
        {11002, "Destination network unreachable"},
        {11003, "Destination host unreachable"},
        {11004, "Destination protocol unreachable"},
        {11005, "Destination port unreachable"},
        {11006, "No resources"},
        {11007, "Bad option"},
        {11008, "Hardware error"},
        {11009, "Packet too big"},
        {11010, "Request timed out"},
        {11011, "Bad request"},
        {11012, "Bad route"},
        {11013, "TTL expired in transit"},
        {11014, "TTL expired in reassembly"},
        {11015, "Parameter problem"},
        {11016, "Source quench"},
        {11017, "Option too big"},
        {11018, "Bad Destination"},
        {11019, "Address deleted"},
        {11020, "Spec MTU change"},
        {11021, "MTU change"},
        {11050, "General failure"},
        {11255, "Pending"},
        {11022, "ICMP error #11022"}, // between the table's codes
        {5, "ICMP error #5"},
        {4294967295u, "ICMP error #4294967295"},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(icmpErrorText(code), text) << code;
}

TEST(LinuxIcmpErrors, MessageTypesBecomeStatusCodes)
{
    struct Case
    {
        int type, code;
        std::uint32_t status;
    };
    const Case cases[] = {
        {3, 0, 11002},  {3, 1, 11003}, {3, 2, 11004},  {3, 3, 11005},  {3, 4, 11009},  {3, 5, 11012},
        {3, 13, 11003}, {4, 0, 11016}, {11, 0, 11013}, {11, 1, 11014}, {12, 0, 11015},
    };
    for (const Case& c : cases)
        EXPECT_EQ(icmpErrorStatus(c.type, c.code), c.status) << c.type << "/" << c.code;
}

TEST(TICMP, RequestDataAndReplyBufferFollowTheSize)
{
    ScriptedIcmpEcho service;
    for (int size : {1, 45, 56}) {
        TICMP icmp(service);
        icmp.Size = size;
        icmp.TTL = 9;
        icmp.Flags = IpFlagDontFragment;
        icmp.TimeOut = 700;
        icmp.setAddress("127.0.0.1");
        ASSERT_EQ(icmp.SendEcho(), 1);
        const ScriptedIcmpEcho::Request sent = service.requests().back();
        EXPECT_EQ(sent.data, std::string(EchoRequestText).substr(0, static_cast<std::size_t>(size)) +
                                 std::string(size > 45 ? size - 45 : 0, ' '));
        EXPECT_EQ(sent.replyBufferSize, static_cast<std::size_t>(size) + 28);
        EXPECT_EQ(sent.options.Ttl, 9);
        EXPECT_EQ(sent.options.Flags, IpFlagDontFragment);
        EXPECT_EQ(sent.timeoutMs, 700);
        EXPECT_EQ(icmp.Reply.DataSize, size);
        EXPECT_EQ(icmp.LastError, 0u);
    }
}

TEST(TICMP, DottedAddressesNamesAndNamesThatDoNotResolve)
{
    ScriptedIcmpEcho service;
    service.addName("alpha", "alpha.example", "127.0.0.1");
    struct Case
    {
        std::string address;
        int replies;
        std::string hostName, hostIP, error;
    };
    const Case cases[] = {
        {"127.0.0.1", 1, "127.0.0.1", "127.0.0.1", "No error"}, // taken as it is, never looked up
        {"127.1", 1, "127.1", "127.0.0.1", "No error"},
        {"alpha", 1, "alpha.example", "127.0.0.1", "No error"},
        {"nowhere", 0, "", "", "Bad Destination"},
        {"", 0, "", "", "Bad Destination"},
    };
    for (const Case& c : cases) {
        TICMP icmp(service);
        icmp.setAddress(c.address);
        EXPECT_EQ(icmp.SendEcho(), c.replies) << c.address;
        EXPECT_EQ(icmp.HostName(), c.hostName) << c.address;
        EXPECT_EQ(icmp.HostIP(), c.hostIP) << c.address;
        EXPECT_EQ(icmp.ErrorText(), c.error) << c.address;
        EXPECT_EQ(icmp.Resolved(), c.replies == 1) << c.address;
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
        try {
            TICMP icmp(service);
            ADD_FAILURE() << message;
        } catch (const TICMPException& error) {
            EXPECT_STREQ(error.what(), message);
        }
    }
}

namespace {

struct Echo
{
    int replies = 0;
    std::string error;
    std::string from;
    int dataSize = 0;
    long long elapsedMs = 0;
};

// One real echo; the set-up failure's message as the error when there is no handle.
Echo ping(IcmpSocketKind kind, const std::string& address, int timeOut = 2000)
{
    Echo echo;
    const auto started = std::chrono::steady_clock::now();
    try {
        const std::shared_ptr<IcmpEcho> service = makeLinuxIcmpEcho(kind);
        TICMP icmp(*service);
        icmp.TimeOut = timeOut;
        icmp.setAddress(address);
        echo.replies = icmp.SendEcho();
        echo.error = icmp.ErrorText();
        if (echo.replies) echo.from = dottedAddress(icmp.Reply.Address);
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

TEST(LinuxEcho, LoopbackAnswersAsTheProgramPingsIt)
{
    const Echo echo = ping(IcmpSocketKind::Any, "127.0.0.1");
    EXPECT_EQ(echo.replies, 1) << echo.error;
    EXPECT_EQ(echo.error, "No error");
    EXPECT_EQ(echo.from, "127.0.0.1");
    EXPECT_EQ(echo.dataSize, 56);
}

// Both socket kinds, a silent host, no route and a name nobody knows, inside
// a network of the test's own where nothing can leave the machine.
TEST(LinuxEcho, OutcomesOfBothSocketKindsInAPrivateNetwork)
{
    struct Case
    {
        const char* setting;
        IcmpSocketKind kind;
        std::string address;
        int replies;
        std::string error;
    };
    const Case cases[] = {
        {"ping_group_range=0 2147483647", IcmpSocketKind::Datagram, "127.0.0.1", 1, "No error"},
        {"", IcmpSocketKind::Raw, "127.0.0.1", 1, "No error"},
        {"", IcmpSocketKind::Datagram, "no-such-host.invalid", 0, "Bad Destination"},
        {"ping_group_range=1 0", IcmpSocketKind::Datagram, "127.0.0.1", 0, "Unable to get ping handle"},
        {"", IcmpSocketKind::Any, "127.0.0.1", 1, "No error"}, // the raw socket steps in
        {"icmp_echo_ignore_all=1", IcmpSocketKind::Raw, "127.0.0.1", 0, "Request timed out"},
        {"ping_group_range=0 2147483647", IcmpSocketKind::Datagram, "127.0.0.1", 0, "Request timed out"},
    };
    std::vector<Echo> echoes;
    const bool entered = PrivateNetwork::run([&] {
        for (const Case& c : cases) {
            const std::string setting = c.setting;
            if (!setting.empty()) {
                const auto equals = setting.find('=');
                ASSERT_TRUE(PrivateNetwork::set(setting.substr(0, equals), setting.substr(equals + 1)));
            }
            echoes.push_back(ping(c.kind, c.address, 300));
        }
    });
    if (!entered) GTEST_SKIP() << "no network namespace of its own here";
    ASSERT_EQ(echoes.size(), std::size(cases));
    for (std::size_t i = 0; i < echoes.size(); ++i) {
        EXPECT_EQ(echoes[i].replies, cases[i].replies) << i;
        EXPECT_EQ(echoes[i].error, cases[i].error) << i;
        if (cases[i].error == "Request timed out") {
            EXPECT_GE(echoes[i].elapsedMs, 300) << i;
        }
    }

    // Without loopback there is no route to anywhere.
    for (IcmpSocketKind kind : {IcmpSocketKind::Datagram, IcmpSocketKind::Raw}) {
        Echo echo;
        PrivateNetwork::run(
            [&] {
                PrivateNetwork::set("ping_group_range", "0 2147483647");
                echo = ping(kind, "127.0.0.1", 300);
            },
            false);
        EXPECT_EQ(echo.error, "Destination network unreachable");
    }
}

#include "query/StatusQuery.h"
#include "platform/Errors.h"
#include "support/ErrorText.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

using namespace korvane;
using korvane::test::errorText;
using korvane::test::LoopbackPeer;
using korvane::test::PeerReply;

namespace {

const std::string Header = "\xFF\xFF\xFF\xFF\x01statusResponse\n";

// A reply of exactly n bytes that starts like a real one.
std::string replyOfLength(std::size_t n)
{
    std::string reply = Header + "\\sv_hostname\\Test\\mapname\\dm/mohdm1\\sv_maxclients\\16";
    reply.resize(n, 'x');
    return reply;
}

constexpr int TimeoutMs = 250;

} // namespace

TEST(StatusQuery, RequestIsTheSixteenGetstatusBytes)
{
    const unsigned char expected[] = {0xFF, 0xFF, 0xFF, 0xFF, 0x02, 'g', 'e',  't',
                                      's',  't',  'a',  't',  'u',  's', 0x0A, 0x00};
    ASSERT_EQ(StatusRequest.size(), sizeof expected);
    for (std::size_t i = 0; i < sizeof expected; ++i)
        EXPECT_EQ(static_cast<unsigned char>(StatusRequest[i]), expected[i]) << i;
}

TEST(StatusQuery, ServerReceivesTheRequestAndTheReplyComesBackWhole)
{
    const std::string reply = replyOfLength(300);
    LoopbackPeer peer(LoopbackPeer::always(reply));
    UdpClient client;
    EXPECT_EQ(QueryStatus(client, "127.0.0.1", peer.portText(), true, 2000), reply);
    EXPECT_EQ(peer.lastRequest(), StatusRequest);
}

TEST(StatusQuery, HostNameIsResolvedWhenSending)
{
    LoopbackPeer peer(LoopbackPeer::always(replyOfLength(60)));
    UdpClient client;
    EXPECT_EQ(QueryStatus(client, "localhost", peer.portText(), true, 2000).size(), 60u);
}

TEST(StatusQuery, FailuresGiveAnEmptyReply)
{
    LoopbackPeer peer(LoopbackPeer::always(replyOfLength(60)));
    struct Case
    {
        const char* what;
        std::string ip;
        std::string port;
    } cases[] = {
        {"nothing listening", "127.0.0.1", std::to_string(test::unusedPort())},
        {"port text not an integer", "127.0.0.1", "abc"},
        {"empty port text", "127.0.0.1", ""},
        {"port out of range", "127.0.0.1", "70000"},
        {"host does not resolve", "no-such-host.invalid", peer.portText()},
        {"empty host", "", peer.portText()},
    };
    for (const Case& c : cases) {
        UdpClient client;
        EXPECT_EQ(QueryStatus(client, c.ip, c.port, true, TimeoutMs), "") << c.what;
    }
    EXPECT_EQ(peer.requests(), 0);
}

TEST(StatusQuery, ZeroByteDatagramIsNoReply)
{
    LoopbackPeer peer(LoopbackPeer::always(""));
    UdpClient client;
    EXPECT_EQ(QueryStatus(client, "127.0.0.1", peer.portText(), true, TimeoutMs), "");
    EXPECT_EQ(peer.requests(), 1);
}

TEST(StatusQuery, DatagramLargerThanTheBufferIsNoReply)
{
    struct Case
    {
        std::size_t size;
        bool fits;
    } cases[] = {{8191, true}, {8192, true}, {8193, false}, {20000, false}};
    for (const Case& c : cases) {
        LoopbackPeer peer(LoopbackPeer::always(replyOfLength(c.size)));
        UdpClient client;
        EXPECT_EQ(QueryStatus(client, "127.0.0.1", peer.portText(), true, 2000).size(), c.fits ? c.size : 0u)
            << c.size;
    }
}

TEST(StatusQuery, LengthTestsAtTheBoundaryOverRealExchanges)
{
    for (std::size_t length : {40u, 41u}) {
        LoopbackPeer peer(LoopbackPeer::always(replyOfLength(length)));
        UdpClient client;
        const std::string reply = QueryStatus(client, "127.0.0.1", peer.portText(), true, 2000);
        ASSERT_EQ(reply.size(), length);
        EXPECT_EQ(isLookupAnswer(reply), length == 41);
        EXPECT_EQ(isQuickAddAnswer(reply), length == 41) << "sv_hostname\\ lies within the first 40 bytes";
    }
}

TEST(StatusQuery, AnswerTestsOfTheCallers)
{
    const std::string capitals =
        "\xFF\xFF\xFF\xFF\x01STATUSRESPONSE\n\\SV_HOSTNAME\\X\\sv_maxclients\\8\\xxxxxxxxxx";
    struct Case
    {
        const char* what;
        std::string reply;
        bool selection, scan, lookup, quickAdd;
    } cases[] = {
        {"empty", "", false, false, false, false},
        {"capital statusresponse", capitals, true, true, true, true},
        {"41 bytes", replyOfLength(41), true, true, true, true},
        {"40 bytes", replyOfLength(40), true, true, false, false},
        {"three FF bytes only", "\xFF\xFF\xFF\x01statusresponse\n", true, false, false, false},
        {"FF bytes in the middle", "junk\xFF\xFF\xFF\xFFjunk", false, true, false, false},
        {"long text without the header", std::string(60, 'a') + "sv_hostname\\x", false, false, true, true},
        {"host key without its backslash", std::string(60, 'a') + "sv_hostname", false, false, true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isSelectionAnswer(c.reply), c.selection) << c.what;
        EXPECT_EQ(isScanAnswer(c.reply), c.scan) << c.what;
        EXPECT_EQ(isLookupAnswer(c.reply), c.lookup) << c.what;
        EXPECT_EQ(isQuickAddAnswer(c.reply), c.quickAdd) << c.what;
    }
}

TEST(StatusQuery, CapitalStatusResponseOverTheWirePassesTheSelectionTest)
{
    LoopbackPeer peer(LoopbackPeer::always("\xFF\xFF\xFF\xFF\x01STATUSRESPONSE\n\\sv_hostname\\X\n"));
    UdpClient client;
    EXPECT_TRUE(isSelectionAnswer(QueryStatus(client, "127.0.0.1", peer.portText(), true, 2000)));
}

// The peer answers each request 400 ms late, numbering its answers; the first
// exchange gives up before its answer arrives.
TEST(StatusQuery, ResetClientNeverSeesTheLateAnswerOfTheExchangeBefore)
{
    auto numbered = [](int index, const std::string&) {
        return std::optional<PeerReply>(
            {index == 0 ? "late answer to the first" : "answer to the second", 400});
    };
    LoopbackPeer peer(numbered);
    UdpClient client;
    EXPECT_EQ(QueryStatus(client, "127.0.0.1", peer.portText(), true, 100), "");
    EXPECT_EQ(QueryStatus(client, "127.0.0.1", peer.portText(), true, 3000), "answer to the second");
}

TEST(StatusQuery, LookupOnAClientNotResetTakesTheLateAnswerAsItsOwn)
{
    auto numbered = [](int index, const std::string&) {
        return std::optional<PeerReply>(
            {index == 0 ? "late answer to the first" : "answer to the second", 400});
    };
    LoopbackPeer peer(numbered);
    UdpClient client;
    EXPECT_EQ(queryStatusLookup(client, "127.0.0.1", peer.portText(), 100), "");
    EXPECT_EQ(queryStatusLookup(client, "127.0.0.1", peer.portText(), 3000), "late answer to the first");
}

// The caller records the server once the port is known, before the send.
TEST(StatusQuery, LookupRaisesForTheSetupButNotForTheWait)
{
    UdpClient client;
    std::vector<int> chosen;
    const auto note = [&](int port) { chosen.push_back(port); };
    EXPECT_EQ(errorText([&] { queryStatusLookup(client, "127.0.0.1", "abc", TimeoutMs, note); }),
              "'abc' is not a valid integer value");
    EXPECT_EQ(chosen, std::vector<int>{});
    EXPECT_THROW(queryStatusLookup(client, "no-such-host.invalid", "12203", TimeoutMs, note), IoError);
    EXPECT_EQ(chosen, std::vector<int>{12203});
    const int unused = test::unusedPort();
    EXPECT_EQ(queryStatusLookup(client, "127.0.0.1", std::to_string(unused), TimeoutMs, note), "");
    EXPECT_EQ(chosen, (std::vector<int>{12203, unused}));
}

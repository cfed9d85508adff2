#include "query/RconRequest.h"
#include "query/RconExchange.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(RconRequest, DatagramLayout)
{
    struct Case
    {
        std::string password, command, expected;
    } cases[] = {
        {"secret", "status", std::string("\xFF\xFF\xFF\xFF\x02rcon secret status\n\0", 25)},
        {"", "status", std::string("\xFF\xFF\xFF\xFF\x02rcon  status\n\0", 19)},
        {"pw", "say hello world", std::string("\xFF\xFF\xFF\xFF\x02rcon pw say hello world\n\0", 30)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RconDatagram(c.password, c.command), c.expected) << c.command;
}

TEST(RconRequest, QuitInTheCommandSkipsTheWait)
{
    struct Case
    {
        std::string command;
        bool waits;
    } cases[] = {
        {"status", true}, {"quit", false}, {"QUIT", false}, {"say I Quit now", false}, {"say qu it", true}};
    for (const Case& c : cases)
        EXPECT_EQ(rconExpectsReply(c.command), c.waits) << c.command;
}

TEST(RconRequest, OnlyExactClearWordsEmptyTheConsole)
{
    EXPECT_TRUE(rconClearsConsole("clr"));
    EXPECT_TRUE(rconClearsConsole("clear"));
    for (const char* other : {"CLR", "Clear", "clr ", " clear", "cls", ""})
        EXPECT_FALSE(rconClearsConsole(other)) << other;
}

TEST(RconRequest, ReplyLines)
{
    using Lines = std::vector<std::string>;
    struct Case
    {
        const char* what;
        std::string reply;
        Lines lines;
    } cases[] = {
        {"one line of text", "\xFF\xFF\xFF\xFF\x01print\nmap: dm/mohdm1\n", {"", "map: dm/mohdm1"}},
        {"print in capitals", "\xFF\xFF\xFF\xFF\x01PRINT\nok\n", {"", "ok"}},
        {"Quake III header without 01",
         "\xFF\xFF\xFF\xFFprint\nBad rconpassword.\n",
         {"", "Bad rconpassword."}},
        {"print later without 01 stays", "\xFF\xFF\xFF\xFF\x01print\nprint\n", {"", "print"}},
        {"nothing", "", {RconNoResponseLine}},
        {"only the header", "\xFF\xFF\xFF\xFF\x01print", {RconNoResponseLine}},
        {"header and line feed", "\xFF\xFF\xFF\xFF\x01print\n", {""}},
        {"last piece without line feed", "\x01printa\nb", {"a", "b"}},
        {"carriage return stays", "a\r\nb\r\n", {"a\r", "b\r"}},
        {"empty lines between", "a\n\n\nb\n", {"a", "", "", "b"}},
        {"FF bytes inside text",
         "a\xFF"
         "b\n",
         {"ab"}},
        {"01 without print stays", "\x01hello\n", {"\x01hello"}},
        {"FF splits print only before cleaning", "\x01pr\xFFint\n", {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rconReplyLines(c.reply), c.lines) << c.what;

    // A reply in several datagrams: each read on its own, in order.
    EXPECT_EQ(rconReplyLines(std::vector<std::string>{"\xFF\xFF\xFF\xFF\x01print\na\n", "",
                                                      "\xFF\xFF\xFF\xFF\x01print\nb\nc"}),
              (Lines{"", "a", "", "b", "c"}));
    EXPECT_EQ(rconReplyLines(std::vector<std::string>{"\x01print", ""}), Lines{RconNoResponseLine});
}

// Forged datagrams from another port and from ::1 reach the console's port
// before the server's own reply; they never show.
TEST(RconExchange, OnlyTheServersDatagramsMakeTheReply)
{
    UdpClient endpoint;
    endpoint.open();
    const int port = endpoint.localPort();
    bool straysSent = false;
    test::LoopbackPeer server([&](int, const std::string&) -> std::optional<test::PeerReply> {
        straysSent = test::sendStray(port, "\xFF\xFF\xFF\xFF\x01print\nforged\n") &&
                     test::sendStray(port, "\xFF\xFF\xFF\xFF\x01print\nforged six\n", true);
        return test::PeerReply{"\xFF\xFF\xFF\xFF\x01print\nfirst\n", 50};
    });
    endpoint.setPeer("127.0.0.1", server.port());
    const auto wait = [&](int timeoutMs) { return endpoint.readable(timeoutMs); };
    EXPECT_EQ(rconExchange(endpoint, "pw", "status", wait), (std::vector<std::string>{"", "first"}));
    EXPECT_TRUE(straysSent);
}

// Past the limits the rest of a reply is read and dropped: nothing of it is
// kept, and nothing is left waiting for the next command.
TEST(RconExchange, AReplyPastTheLimitsIsCutAndTheRestDropped)
{
    test::LoopbackSender server;
    // Datagrams kept of a reply in datagrams of these sizes, and whether it was cut.
    const auto kept = [&](const std::vector<std::size_t>& sizes) {
        UdpClient endpoint;
        endpoint.setPeer("127.0.0.1", server.port());
        endpoint.send("status");
        for (std::size_t size : sizes)
            EXPECT_TRUE(server.sendTo(endpoint.localPort(), std::string(size, 'x')));
        const RconReply reply = receiveRconReply(
            endpoint, [&](int timeoutMs) { return endpoint.readable(timeoutMs); }, {4, 100}, 5000, 50);
        EXPECT_FALSE(endpoint.readable(0)) << "left for the next command";
        return std::pair(reply.datagrams.size(), reply.cut);
    };
    EXPECT_EQ(kept({10, 10, 10, 10, 10, 10}), (std::pair<std::size_t, bool>(4, true)));
    EXPECT_EQ(kept({60, 40}), (std::pair<std::size_t, bool>(2, false)));
    EXPECT_EQ(kept({60, 41, 10}), (std::pair<std::size_t, bool>(1, true)))
        << "once cut, even what would fit is dropped";
    EXPECT_EQ(rconCutLine({4, 2048}), "reply cut after 4 datagrams or 2 KB; the rest was dropped");
}

// What masters and query ports say, as bytes: the answer to a master's
// challenge, the greeting and the request; what a master's reply yields, for
// honest and lying masters alike; the values an import takes from a server's
// GameSpy status reply.

#include "master/MasterProtocol.h"
#include "master/GameSpyStatus.h"
#include "master/MasterReply.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(MasterProtocol, ValidateAnswersTheKnownChallenges)
{
    struct Row
    {
        const char* game;
        const char* challenge;
        const char* answer;
    };
    const Row rows[] = {
        {"mohaa", "ABCDEF", "iA2tel80"},  {"mohaa", "HSVHIP", "9Ih+ylMw"},  {"mohaas", "ABCDEF", "JiJ4NLKM"},
        {"mohaas", "HSVHIP", "sLOLZFSd"}, {"mohaab", "ABCDEF", "1AXZQ71M"}, {"mohaab", "HSVHIP", "RH8NuLYM"},
    };
    for (const Row& row : rows) {
        const MasterGame* game = findMasterGame(row.game);
        ASSERT_NE(game, nullptr) << row.game;
        EXPECT_EQ(validateAnswer(row.challenge, game->key), row.answer) << row.game << " " << row.challenge;
    }
    EXPECT_EQ(findMasterGame("MOHAA"), nullptr) << "master names are exact";
}

TEST(MasterProtocol, GreetingGivesItsChallengeOnceWhole)
{
    struct Row
    {
        std::string received;
        std::optional<std::string> challenge;
        std::size_t consumed;
        const char* why;
    };
    const Row rows[] = {
        {"\\basic\\\\secure\\ABCDEF", "ABCDEF", 21, "the usual greeting"},
        {"\\basic\\\\secure\\ABCDEF\\final\\", "ABCDEF", 28, "an end mark after it is part of the greeting"},
        {"\\basic\\\\secure\\ABCDEF\\fin", std::nullopt, 0, "the end mark still arriving"},
        {"\\basic\\\\secure\\ABC", std::nullopt, 0, "the challenge still arriving"},
        {"\\basic\\\\secure\\AB\\final\\", "AB", 24, "a short challenge that ends"},
        {"\\basic\\\\secure\\ABCDEFGH", "ABCDEF", 23, "six bytes are the challenge"},
        {"\\basic\\\\", std::nullopt, 0, "no challenge yet"},
        {"\\basic\\\\secure\\\\final\\", "", 22, "an empty challenge"},
    };
    for (const Row& row : rows) {
        std::size_t consumed = 0;
        EXPECT_EQ(greetingChallenge(row.received, consumed), row.challenge) << row.why;
        EXPECT_EQ(consumed, row.consumed) << row.why;
    }
}

TEST(MasterProtocol, RequestAnswersAndAsksForTheCompressedList)
{
    const MasterGame& spearhead = *findMasterGame("mohaas");
    EXPECT_EQ(listRequest(spearhead, "ABCDEF"),
              "\\gamename\\mohaas\\gamever\\1.11\\location\\0\\validate\\JiJ4NLKM\\final\\"
              "\\queryid\\1.1\\\\list\\cmp\\gamename\\mohaas\\final\\");
}

namespace {

std::string entry(std::uint32_t ip, int port)
{
    const char bytes[] = {static_cast<char>(ip >> 24),  static_cast<char>(ip >> 16),
                          static_cast<char>(ip >> 8),   static_cast<char>(ip),
                          static_cast<char>(port >> 8), static_cast<char>(port)};
    return std::string(bytes, 6);
}

const std::string Final = "\\final\\";

std::string texts(const std::vector<ListedServer>& servers)
{
    std::string all;
    for (const ListedServer& s : servers)
        all += (all.empty() ? "" : " ") + s.text();
    return all;
}

} // namespace

TEST(MasterReply, EachFormAndEachLie)
{
    using Kind = MasterReply::Kind;
    struct Row
    {
        std::string reply;
        Kind kind;
        std::string servers;
        int skipped;
        int repeated;
        const char* why;
    };
    // 92.0.92.92 holds backslashes: the binary part is never searched.
    const std::string two = entry(0x01020304, 12300) + entry(0x5C005C5C, 0x5C5C);
    const Row rows[] = {
        {two + Final, Kind::List, "1.2.3.4:12300 92.0.92.92:23644", 0, 0, "compressed"},
        {entry(0x5C66696E, 0x616C) + Final, Kind::List, "92.102.105.110:24940", 0, 0,
         "a first server spelling the end mark's start"},
        {"\\final\\" + two + Final, Kind::List, "1.2.3.4:12300 92.0.92.92:23644", 0, 0,
         "the greeting's end mark arriving late"},
        {Final, Kind::List, "", 0, 0, "an empty list"},
        {"\\ip\\1.2.3.4:12300\\ip\\5.6.7.8:12301\\final\\", Kind::List, "1.2.3.4:12300 5.6.7.8:12301", 0, 0,
         "plain"},
        {"\\ip\\1.2.3.4\\ip\\5.6.7.8:x\\ip\\5.6.7.8:12301\\final\\", Kind::List, "5.6.7.8:12301", 2, 0,
         "plain entries without a port or with a word for one"},
        {"\\ip\\\\ip\\10.0.0:5\\ip\\10.0.0.256:5\\ip\\10.0.0.1.:5\\ip\\10..0.1:5\\ip\\ "
         "10.0.0.1:5\\ip\\10.0.0.1a:5"
         "\\ip\\1234.1.1.1:5\\ip\\10.0.0.255:5\\final\\",
         Kind::List, "10.0.0.255:5", 8, 0, "plain entries that are no address: dotted quads read strictly"},
        {entry(0, 12300) + entry(0xFFFFFFFF, 12300) + entry(0x01020304, 0) + entry(0xE0000001, 1) + Final,
         Kind::List, "", 4, 0, "0.0.0.0, 255.255.255.255, port 0 and multicast"},
        {entry(0x01020304, 12300) + entry(0x01020304, 12300) + Final, Kind::List, "1.2.3.4:12300", 0, 1,
         "a server listed twice"},
        {two + Final.substr(0, 5), Kind::Bad, "", 0, 0, "cut short before the end mark"},
        {two + "\\" + Final, Kind::Bad, "", 0, 0, "not a whole number of entries"},
        {two, Kind::Bad, "", 0, 0, "no end mark at all"},
        {"\\ip\\1.2.3.4:12300", Kind::Bad, "", 0, 0, "plain without the end mark"},
        {std::string("\x00\xFF\x10\\", 4), Kind::Bad, "", 0, 0, "binary"},
        {"\\echo\\ wrong validation", Kind::Refused, "", 0, 0, "an echo refuses"},
        {"", Kind::Refused, "", 0, 0, "closed without a word"},
    };
    for (const Row& row : rows) {
        const MasterReply reply = parseMasterReply(row.reply);
        EXPECT_EQ(reply.kind, row.kind) << row.why;
        EXPECT_EQ(texts(reply.servers), row.servers) << row.why;
        EXPECT_EQ(reply.skipped, row.skipped) << row.why;
        EXPECT_EQ(reply.repeated, row.repeated) << row.why;
        EXPECT_EQ(reply.kind != Kind::List, !reply.text.empty()) << row.why << ": says why when no list";
    }
}

TEST(MasterReply, HugeListsAreBounded)
{
    std::string many;
    for (std::uint32_t i = 0; i < 2000; ++i)
        many += entry(0x0A000000 + i, 12300);
    const MasterReply cut = parseMasterReply(many + Final, 1500);
    EXPECT_EQ(cut.kind, MasterReply::Kind::List);
    EXPECT_EQ(cut.servers.size(), 1500u);
    EXPECT_TRUE(cut.cut);

    // A million entries is far past the size any master sends.
    std::string million;
    million.reserve(6'000'007);
    for (std::uint32_t i = 0; i < 1'000'000; ++i)
        million += entry(0x0A000000 + i, 12300);
    const MasterReply lie = parseMasterReply(million + Final);
    EXPECT_EQ(lie.kind, MasterReply::Kind::Bad);
    EXPECT_TRUE(lie.servers.empty());
    EXPECT_EQ(lie.text, "the reply is longer than 512 KiB");
}

TEST(GameSpyStatus, ReadsHostPortAndNames)
{
    struct Row
    {
        std::string reply;
        bool answered;
        bool sent;
        int port;
        const char* hostName;
        const char* why;
    };
    const Row rows[] = {
        {"\\gamename\\mohaa\\hostname\\Omaha\\hostport\\12203\\final\\\\queryid\\7.1", true, true, 12203,
         "Omaha", "a whole reply"},
        {"\\HOSTNAME\\A\\HostPort\\12203", true, true, 12203, "A", "keys in any case, no end mark"},
        {"\\hostname\\A\\final\\\\hostport\\1", true, false, 0, "A", "nothing after the end mark counts"},
        {"\\hostport\\12x\\hostport\\5", true, true, 0, "",
         "a port that is not a number; the first key counts"},
        {"\\hostport\\0", true, true, 0, "", "port 0"},
        {"\\hostport\\65536", true, true, 0, "", "beyond the port range"},
        {"\\hostport\\-5", true, true, 0, "", "a sign"},
        {"\\hostname\\A", true, false, 0, "A", "no hostport"},
        {"\\hostport", true, true, 0, "", "a key without its value"},
        {"\\final\\", false, false, 0, "", "an end mark alone"},
        {std::string("\xFF\xFF\xFF\xFFstatusResponse\n\\hostport\\1", 25), false, false, 0, "",
         "the game's own status reply"},
        {"", false, false, 0, "", "nothing"},
    };
    for (const Row& row : rows) {
        const GameSpyStatus status = parseGameSpyStatus(row.reply);
        EXPECT_EQ(status.answered, row.answered) << row.why;
        EXPECT_EQ(status.hostPortSent, row.sent) << row.why;
        EXPECT_EQ(status.hostPort, row.port) << row.why;
        EXPECT_EQ(status.hostName, row.hostName) << row.why;
    }
}

#include "query/StatusReply.h"

#include "platform/Errors.h"
#include "support/ErrorText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

const std::string Header = "\xFF\xFF\xFF\xFF\x01statusResponse\n";
const std::string Settings = "\\sv_hostname\\Demo Host\\mapname\\obj/obj_team2\\sv_maxclients\\20\n";

std::string reply(const std::string& playerLines)
{
    return Header + Settings + playerLines;
}

using Players = std::vector<PlayerEntry>;

// Lines of an empty quoted name and no blank: every line feed starts an entry
// whose first field runs on to the first blank after it, or to the end.
const std::string QuotesOnly = [] {
    std::string lines;
    for (int k = 0; k < 3000; ++k)
        lines += "\"\"\n";
    return lines;
}();
Players quotesOnlyPlayers()
{
    Players players;
    for (std::size_t at = 0; at < QuotesOnly.size(); at += 3)
        players.push_back({"", QuotesOnly.substr(at)});
    return players;
}

} // namespace

TEST(StatusReply, ExtractValue)
{
    struct Case
    {
        const char* what;
        std::string reply, key, value;
    } cases[] = {
        {"middle key", reply(""), KeyMapName, "obj/obj_team2"},
        {"value up to the line end and beyond", reply("0 1 \"x\"\n"), KeyMaxClients, "20\n0 1 \"x\"\n"},
        {"missing key", reply(""), KeyVersion, ""},
        {"key at the very end", "abc\\mapname\\", KeyMapName, ""},
        {"value to the end", "\\mapname\\dm/mohdm1", KeyMapName, "dm/mohdm1"},
        {"first occurrence wins", "\\mapname\\a\\mapname\\b", KeyMapName, "a"},
        {"case-sensitive", "\\MAPNAME\\a", KeyMapName, ""},
        {"key inside another key", "\\sv_mapname\\a\\", KeyMapName, "a"},
        {"maplist needs its leading backslash", "sv_maplist\\a b", KeyMapList, ""},
        {"empty value", "\\mapname\\\\x", KeyMapName, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExtractValue(c.reply, c.key), c.value) << c.what;
}

TEST(StatusReply, DetectGame)
{
    struct Case
    {
        std::string reply, game;
    } cases[] = {
        {"\\version\\Medal of Honor Spearhead 2.15", GameSpearhead},
        {"\\version\\MEDAL OF HONOR SPEARHEAD", GameSpearhead},
        {"\\version\\Medal of Honor Allied Assault 1.11", GameMedalOfHonor},
        {"\\version\\Medal of Honor Breakthrough 2.40b win-x86", GameBreakthrough},
        {"\\gamename\\MOHAAB\\version\\2.40", GameBreakthrough},
        // Only the version and the game name tell: a host, map or player called Breakthrough does not.
        {"\\sv_hostname\\Breakthrough Clan\\version\\Medal of Honor Spearhead 2.15", GameSpearhead},
        {"\\mapname\\breakthrough\\version\\Medal of Honor Allied Assault 1.11", GameMedalOfHonor},
        {"\\version\\Medal of Honor Allied Assault 1.11\n0 50 \"Breakthrough\"\n", GameMedalOfHonor},
        {"medal of honor  spearhead", GameMedalOfHonor},
        {"", GameMedalOfHonor},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectGame(c.reply), c.game) << c.reply;
}

TEST(StatusReply, ParsePlayers)
{
    struct Case
    {
        const char* what;
        std::string reply;
        Players players;
    } cases[] = {
        {"two player lines", reply("12 48 \"Bob\"\n9 61 \"[XY]Ann\"\n"), {{"Bob", "12"}, {"[XY]Ann", "9"}}},
        {"no player lines", reply(""), {}},
        {"name with blanks stays whole", reply("3 120 \"Pvt. James Ryan\"\n"), {{"Pvt. James Ryan", "3"}}},
        {"name ends at its first quote", reply("1 2 \"Bo\"b\"\n0 0 \"X\"\n"), {{"Bo", "1"}, {"X", "0"}}},
        {"clan tags and symbols",
         reply("5 5 \"=DH=Sniper\"\n6 6 \"|SAS|Nick\"\n"),
         {{"=DH=Sniper", "5"}, {"|SAS|Nick", "6"}}},
        {"empty name", reply("0 0 \"\"\n"), {{"", "0"}}},
        // Without the closing line feed the last player is the dropped entry.
        {"last line without line feed", reply("1 1 \"A\"\n2 2 \"B\""), {{"A", "1"}}},
        // A line without quotes lets the search run on into the next line.
        {"line without quotes swallows the next", reply("7 7 Nobody\n8 8 \"Eve\"\n"), {{"Eve", "7"}}},
        {"first field without blank runs to the end", reply("X\n"), {}},
        {"shorter than 26 characters", std::string("\n0 0 \"A\"\n\n"), {}},
        {"empty reply", "", {}},
        // The walk starts at the 26th character: a line feed at position 25 does not count.
        {"line feed before the 26th character",
         std::string(24, 'a') + "\n0 0 \"A\"\n1 1 \"B\"\n",
         {{"B", "1"}}},
        {"line feed at the 26th character",
         std::string(25, 'a') + "\n0 0 \"A\"\n1 1 \"B\"\n",
         {{"A", "0"}, {"B", "1"}}},
        // The closing search stops before the second-to-last character.
        {"unterminated name ends before the last two", reply("1 1 \"Abcdef"), {}},
        {"unterminated name in the middle", reply("1 1 \"Abc\n2 2 \"Z\"\n"), {{"Abc\n2 2 ", "1"}}},
        {"thousands of line feeds and no blank", reply(QuotesOnly), quotesOnlyPlayers()},
        {"thousands of line feeds, a blank only at the end", reply(QuotesOnly + " x"), quotesOnlyPlayers()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParsePlayers(c.reply), c.players) << c.what;
}

TEST(StatusReply, PlayerEntriesKeepTheFinalEmptyEntry)
{
    const Players entries = playerEntries(reply("12 48 \"Bob\"\n"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], (PlayerEntry{"Bob", "12"}));
    EXPECT_EQ(entries[1], (PlayerEntry{"", ""}));
}

TEST(StatusReply, UnterminatedNameStopsBeforeTheLastTwoCharacters)
{
    // The name would run to the end; its last two characters are never part of it.
    const Players entries = playerEntries(reply("1 1 \"Abcdef\n"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], (PlayerEntry{"Abcde", "1"}));
    EXPECT_EQ(entries[1], (PlayerEntry{"", ""}));
}

TEST(StatusReply, PlayerCountAndFullTest)
{
    struct Case
    {
        std::size_t count;
        std::string maximum, text;
        bool full;
    } cases[] = {
        {12, "32", "Players: 12/32", false}, {0, "16", "Players: 0/16", false},
        {20, "20", "Players: 20/20", true},  {0, "0", "Players: 0/0", true},
        {3, " 3", "Players: 3/ 3", true},    {16, "16", "Players: 16/16", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(playerCountText(c.count, c.maximum), c.text);
        EXPECT_EQ(isFull(c.count, c.maximum), c.full) << c.text;
    }
}

TEST(StatusReply, FullTestRaisesForAMaximumThatIsNoInteger)
{
    for (const std::string maximum : {"", "lots", "20x", "1.5", "$10", "0x10"})
        EXPECT_EQ(test::errorText([&] { isFull(0, maximum); }),
                  "'" + maximum + "' is not a valid integer value");
}

TEST(StatusReply, MapRotationSplitsTheSettingOnSpaces)
{
    using Maps = std::vector<std::string>;
    struct Case
    {
        std::string list;
        Maps maps;
    } cases[] = {
        {"obj/obj_team1 obj/obj_team2", {"obj/obj_team1", "obj/obj_team2"}},
        {"dm/mohdm1 dm/mohdm2 ", {"dm/mohdm1", "dm/mohdm2"}},
        {"dm/mohdm1", {"dm/mohdm1"}},
        {"a  b", {"a", "", "b"}},
        {" a", {"", "a"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mapRotation("\\sv_hostname\\x\\sv_maplist\\" + c.list + "\\version\\v"), c.maps) << c.list;
    EXPECT_EQ(mapRotation("\\sv_hostname\\x\n"), Maps{});
}

TEST(StatusReply, Link)
{
    struct Case
    {
        std::string reply;
        ServerLink link;
    } cases[] = {
        {"\\URL\\www.clan.example.org\\x", {"www.clan.example.org", "www.clan.example.org"}},
        {"\\URL\\http://clan.example.org/forum", {"clan.example.org/forum", "http://clan.example.org/forum"}},
        {"\\url\\HTTP://www.a.org\\", {"www.a.org", "HTTP://www.a.org"}},
        {"\\URL\\https://secure.example.org", {NoLinkCaption, SupportAddress}},
        {"\\URL\\clan.example.org", {NoLinkCaption, SupportAddress}},
        {"\\URL\\", {NoLinkCaption, SupportAddress}},
        {"\\sv_hostname\\x", {NoLinkCaption, SupportAddress}},
        {"\\URL\\www.a.org http://b\\", {"www.a.org b", "www.a.org http://b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(linkOf(c.reply), c.link) << c.reply;
}

TEST(StatusReply, MapInstalledAgainstAFileList)
{
    const std::vector<std::string> files = {"pak0.pk3", "user-Arnhem_v2.PK3", "zz_malta.pk3"};
    struct Case
    {
        std::string map;
        bool installed;
    } cases[] = {
        {"obj/obj_team2", true},   {"OBJ/Obj_Team9", true},
        {"dm/mohdm1", true},       {"dm/custom_arnhem", false},
        {"dm/arnhem", true},       {"obj/ARNHEM_v2", true},
        {"dm/MP_Malta_DM", false}, {"malta", true},
        {"obj/", false},           {"", false},
        {"obj/dm/malta", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mapInstalledIn(c.map, files), c.installed) << c.map;
    EXPECT_TRUE(mapInstalledIn("obj/obj_team1", {}));
    EXPECT_FALSE(mapInstalledIn("dm/arnhem", {}));
}

TEST(StatusReply, MapInstalledListsTheMainFolderBesideTheGame)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("main/sub_arnhem"));
    QFile pak(dir.path() + "/main/user-bastogne.pk3");
    ASSERT_TRUE(pak.open(QIODevice::WriteOnly));
    pak.close();
    const std::string aaPath = dir.path().toStdString() + "/MOHAA.exe";

    EXPECT_TRUE(mapInstalled("obj/Bastogne", aaPath));
    EXPECT_FALSE(mapInstalled("dm/arnhem", aaPath)) << "folders are not map files";
    EXPECT_TRUE(mapInstalled("obj/obj_team3", ""));
    EXPECT_FALSE(mapInstalled("obj/bastogne", ""));
    EXPECT_FALSE(mapInstalled("obj/bastogne", dir.path().toStdString() + "/nowhere/MOHAA.exe"));
}

TEST(StatusReply, SelectionPreparation)
{
    struct Case
    {
        std::string reply, prepared;
    } cases[] = {
        {Header + "\\a\\b\n", "\n\\a\\b\n"},
        {"\xFF\xFF\xFF\xFF\x01STATUSresponse\nX", "\nX"},
        {"\x01status\xFFresponse", ""},
        {"\x01statusrespons", "\x01statusrespons"},
        {"a\x01"
         "b",
         "a\x01"
         "b"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(prepareSelectionReply(c.reply), c.prepared);
}

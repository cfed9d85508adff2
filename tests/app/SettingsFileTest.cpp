// Reading and writing the positional settings file.
#include "app/SettingsFile.h"
#include "app/ServerListFile.h"
#include "platform/Errors.h"
#include "platform/TextFile.h"
#include "support/DataFolder.h"
#include "support/ErrorText.h"

#include <gtest/gtest.h>

using namespace korvane;
using korvane::test::config;
using korvane::test::DataFolder;

namespace {

struct Read
{
    AppState state;
    int timerStarts = 0;
    std::string error;
};

std::unique_ptr<Read> readFrom(const DataFolder& folder, const std::string& bytes)
{
    folder.write("Config", bytes);
    auto result = std::make_unique<Read>();
    result->error = test::errorText([&] { readSettings(result->state, [&] { ++result->timerStarts; }); });
    return result;
}

} // namespace

TEST(SettingsFile, FlagsMatchOnlyTheExactWords)
{
    DataFolder folder;
    struct Case
    {
        int line;
        std::string text;
        bool timer, clantags, save, reserved;
    };
    const Case cases[] = {
        {1, "timer on", true, false, false, false},
        {1, "Timer on", false, false, false, false},
        {1, "TIMER ON", false, false, false, false},
        {1, "timer on ", false, false, false, false},
        {1, "", false, false, false, false},
        {3, "clantags on", false, true, false, false},
        {3, "clantags ON", false, false, false, false},
        {9, "save", false, false, true, false},
        {9, "Save", false, false, false, false},
        {10, "true", false, false, false, true},
        {10, "TRUE", false, false, false, false},
    };
    for (const Case& c : cases) {
        auto read = readFrom(folder, test::crlf(config({{c.line, c.text}})));
        EXPECT_EQ(read->error, "") << c.text;
        EXPECT_EQ(read->timerStarts > 0, c.timer) << c.text;
        EXPECT_EQ(read->state.CheckClantags.load(), c.clantags) << c.text;
        EXPECT_EQ(read->state.SaveScan, c.save) << c.text;
        EXPECT_EQ(read->state.ReservedFlag, c.reserved) << c.text;
    }
}

TEST(SettingsFile, TimeoutInForceFollowsTheScanMode)
{
    DataFolder folder;
    auto fast = readFrom(folder, test::crlf(config({{8, "3000"}})));
    EXPECT_EQ(fast->state.TimeoutMs, 3000);
    auto save = readFrom(folder, test::crlf(config({{8, "3000"}, {9, "save"}})));
    EXPECT_EQ(save->state.TimeoutMs, 10000);
    EXPECT_EQ(save->state.UserTimeoutMs, 3000);

    writeSettings(settingsOf(save->state, false));
    const std::string written = folder.read("Config");
    EXPECT_NE(written.find("\r\n3000\r\nsave\r\n"), std::string::npos) << written;
}

TEST(SettingsFile, BadTimeoutStopsAfterLineSevenAndKeepsWhatWasRead)
{
    DataFolder folder;
    const auto lines = config({{1, "timer on"},
                               {2, "Serverlists\\Clan"},
                               {4, "Sniper"},
                               {8, "fast!"},
                               {9, "save"},
                               {10, "true"},
                               {11, "2"}});
    auto read = readFrom(folder, test::crlf(lines));
    EXPECT_EQ(read->error, "'fast!' is not a valid integer value");
    EXPECT_EQ(read->timerStarts, 1);
    EXPECT_EQ(read->state.CurrentList, "Serverlists\\Clan");
    EXPECT_EQ(read->state.Nickname, "Sniper");
    EXPECT_FALSE(read->state.SaveScan);
    EXPECT_FALSE(read->state.ReservedFlag);
    EXPECT_EQ(read->state.BannerImage, "");
    // The default time-out stays in force and is what a later write puts back.
    EXPECT_EQ(read->state.TimeoutMs, 1000);
    EXPECT_EQ(settingsOf(read->state, false).userTimeoutMs, 1000);

    auto empty = readFrom(folder, test::crlf(config({{8, ""}})));
    EXPECT_EQ(empty->error, "'' is not a valid integer value");
}

TEST(SettingsFile, ExtraLinesStartAnotherPass)
{
    DataFolder folder;
    const auto lines = config({{1, "timer on"}, {4, "Sniper"}});
    // A thirteenth, empty line: the second pass blanks the texts and fails at its empty line 8.
    auto read = readFrom(folder, test::crlf(lines) + "\r\n");
    EXPECT_EQ(read->error, "'' is not a valid integer value");
    EXPECT_EQ(read->timerStarts, 1);
    EXPECT_EQ(read->state.Nickname, "");
    EXPECT_EQ(read->state.CurrentList, "");
    EXPECT_EQ(read->state.TimeoutMs, 1000);

    // Two whole passes: the second one's values win; "timer on" of the first stays.
    const auto second = config({{2, "Serverlists\\Second"}, {8, "2500"}});
    auto twice = readFrom(folder, test::crlf(lines) + test::crlf(second));
    EXPECT_EQ(twice->error, "");
    EXPECT_EQ(twice->timerStarts, 1);
    EXPECT_EQ(twice->state.CurrentList, "Serverlists\\Second");
    EXPECT_EQ(twice->state.TimeoutMs, 2500);
}

TEST(SettingsFile, MissingFileAndShortFile)
{
    DataFolder folder;
    AppState state;
    EXPECT_EQ(test::errorText([&] { readSettings(state, [] {}); }), "File not found");
    // Without a time-out of its own the program runs on the default and writes it back.
    auto empty = readFrom(folder, "");
    for (const AppState* read : {&state, &empty->state}) {
        EXPECT_EQ(read->TimeoutMs, DefaultTimeoutMs);
        writeSettings(settingsOf(*read, false));
        EXPECT_EQ(readAllLines(folder.file("Config")).at(7), "1000");
    }
    auto shortFile = readFrom(folder, "timer off\r\nServerlists\\Standard\r\n");
    EXPECT_EQ(shortFile->error, "'' is not a valid integer value");
    EXPECT_EQ(shortFile->state.CurrentList, "Serverlists\\Standard");
}

TEST(SettingsFile, WrittenFileReadsBackToTheSameLines)
{
    DataFolder folder;
    const auto lines = config({{1, "timer on"},
                               {2, "Serverlists\\My List"},
                               {3, "clantags on"},
                               {4, " Sni per "},
                               {5, "secret"},
                               {6, "C:\\Games\\MOHAA\\MOHAA.exe"},
                               {7, "C:\\Games\\MOHAA\\moh_spearhead.exe"},
                               {8, "1500"},
                               {9, "save"},
                               {11, "odd value"}});
    auto read = readFrom(folder, test::crlf(lines));
    ASSERT_EQ(read->error, "");
    writeSettings(settingsOf(read->state, read->timerStarts > 0));
    EXPECT_EQ(folder.read("Config"), test::crlf(lines));

    // Line 10 of any text but "true" comes back as "false".
    auto odd = readFrom(folder, test::crlf(config({{10, "yes"}})));
    writeSettings(settingsOf(odd->state, false));
    EXPECT_EQ(folder.read("Config"), test::crlf(config()));
}

// The list names and game paths of the other encodings go through the windows'
// tests; here a letter Latin-1 lacks (S caron, 0x8A in the file).
TEST(SettingsFile, PathsAreKeptAsWindows1252TextAndFoundByTheirBytes)
{
    DataFolder folder;
    folder.write("Serverlists/\xC5\xA0imon", "");
    const std::string lines =
        test::crlf(config({{2, "Serverlists\\\x8Aimon"}, {6, "/opt/\x8Aimon/MOHAA.exe"}}));
    auto read = readFrom(folder, lines);
    EXPECT_EQ(read->state.CurrentList, "Serverlists\\\xC5\xA0imon");
    writeSettings(settingsOf(read->state, false));
    EXPECT_EQ(folder.read("Config"), lines);

    // A NUL byte ends no name early: the list it names does not exist.
    folder.write("Serverlists/Standard", "");
    auto nul = readFrom(folder, test::crlf(config({{2, std::string("Serverlists\\Standard\0x", 22)}})));
    EXPECT_FALSE(fileExists(currentListPath(nul->state.CurrentList)));
}

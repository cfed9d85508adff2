// What a player entry matches in the buddy and clan-tag lists, and the list
// files' rewrite; when a complete scan makes a buddy notification, and what it
// says (turned off, it makes none: the scan window's test).

#include "scan/WatchLists.h"
#include "platform/Errors.h"
#include "platform/TextFile.h"
#include "scan/BuddyAlerts.h"
#include "support/DataFolder.h"
#include "support/ErrorText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

using namespace korvane;

TEST(WatchLists, MatchesOfOnePlayer)
{
    struct Case
    {
        const char* why;
        std::string name;
        std::vector<std::string> buddies;
        std::vector<std::string> tags;
        bool clantags;
        std::vector<std::string> captions;
    };
    const std::vector<Case> cases = {
        {"buddy ignoring case, as the file writes it", "BOB", {"bob"}, {}, false, {"bob"}},
        {"every equal line counts", "Bob", {"bob", "BOB", "alice"}, {}, false, {"bob", "BOB"}},
        {"a buddy must be the whole name", "Bobby", {"bob"}, {}, false, {}},
        {"blanks are part of the name", "bob", {" bob "}, {}, false, {}},
        {"blanks matched exactly", " Bob ", {" bob "}, {}, false, {" bob "}},
        {"empty buddy line never matches", "", {""}, {""}, true, {}},
        {"tag anywhere in the name, reply's spelling", "Ann[xy]", {}, {"[XY]"}, true, {"Ann[xy]"}},
        {"tags off", "[xy]Ann", {}, {"[XY]"}, false, {}},
        {"accented capitals fold (Latin-1)", "J\xD6RG", {"j\xF6rg"}, {}, false, {"j\xF6rg"}},
        {"accented tag", "[\xC4X]Ann", {}, {"[\xE4x]"}, true, {"[\xC4X]Ann"}},
        // Windows-1252 letters where Latin-1 has control codes: \x8A is S caron.
        {"Windows-1252 capitals fold", "\x8AIMON", {"\x9Aimon"}, {}, false, {"\x9Aimon"}},
        {"OE, Z caron, Y diaeresis", "\x8C\x8E\x9F", {"\x9C\x9E\xFF"}, {}, false, {"\x9C\x9E\xFF"}},
        {"undefined bytes stay themselves", "\x81\x8D", {"\x81\x8D", "\x91\x9D"}, {}, false, {"\x81\x8D"}},
        {"empty tag line never matches", "[xy]Ann", {}, {"", "[xy]"}, true, {"[xy]Ann"}},
        {"equal tags in any case count once each",
         "[XY]Ann",
         {},
         {"[xy]", "", "[XY]", "Ann[XY]", "ann", "a"},
         true,
         {"[XY]Ann", "[XY]Ann", "[XY]Ann", "[XY]Ann"}},
        {"buddy first, then each tag",
         "[xy]=AB=bob",
         {"[XY]=ab=BOB"},
         {"=ab=", "[xy]", "zz"},
         true,
         {"[XY]=ab=BOB", "[xy]=AB=bob", "[xy]=AB=bob"}},
    };
    for (const Case& c : cases) {
        WatchLists lists{c.buddies, c.tags};
        EXPECT_EQ(matchPlayer(c.name, lists, c.clantags), c.captions) << c.why;
        EXPECT_EQ(matchPlayer(c.name, prepareWatchLists(lists), c.clantags), c.captions)
            << c.why << ", prepared";
    }

    // Prepared and plain matching agree on every name against lists of every
    // kind of overlap; the seed keeps them the same each run.
    std::mt19937 random(7);
    const char* pieces[] = {"a", "A", "\xE4", "\xC4", "\x8A", "\x9A", "[", "]", " "};
    auto text = [&](int longest) {
        std::string t;
        for (int n = static_cast<int>(random() % (longest + 1)); n > 0; --n)
            t += pieces[random() % std::size(pieces)];
        return t;
    };
    for (int k = 0; k < 30; ++k) {
        WatchLists lists;
        for (int n = 0; n < 12; ++n) {
            lists.buddies.push_back(text(3));
            lists.clantags.push_back(text(2));
        }
        const PreparedWatchLists prepared = prepareWatchLists(lists);
        for (int n = 0; n < 20; ++n) {
            const std::string name = text(5);
            for (bool clantags : {false, true})
                EXPECT_EQ(matchPlayer(name, prepared, clantags), matchPlayer(name, lists, clantags))
                    << "'" << name << "'";
        }
    }
}

TEST(WatchLists, ReaderSeesEveryChangeAndFailsInTheSameWords)
{
    test::DataFolder folder;
    WatchListReader reader;
    struct Step
    {
        const char* why;
        std::function<void()> change;
        std::vector<std::string> captions; // for the player "[xy]Bob"; empty with an error
    };
    const Step steps[] = {
        {"buddies only", [&] { folder.write("Buddys.txt", "bob\r\n"); }, {}},
        {"both files", [&] { folder.write("clantags.txt", "[XY]"); }, {"[xy]Bob"}},
        {"atomic rewrite",
         [&] {
             rewriteWatchFile(BuddyFileName, {"[XY]BOB", "bob"});
         },
         {"[XY]BOB", "[xy]Bob"}},
        {"append",
         [&] { appendFileLines(folder.file("Buddys.txt"), {"[xy]bob"}); },
         {"[XY]BOB", "[xy]bob", "[xy]Bob"}},
        {"same-size rewrite in place", [&] { folder.write("clantags.txt", "Bob]"); }, {"[XY]BOB", "[xy]bob"}},
        {"same size again", [&] { folder.write("clantags.txt", "[Xy]"); }, {"[XY]BOB", "[xy]bob", "[xy]Bob"}},
        {"tags gone", [&] { std::filesystem::remove(folder.file("clantags.txt")); }, {}},
        {"tags back empty", [&] { folder.write("clantags.txt", ""); }, {"[XY]BOB", "[xy]bob"}},
        {"buddies a folder",
         [&] {
             std::filesystem::remove(folder.file("Buddys.txt"));
             std::filesystem::create_directory(folder.file("Buddys.txt"));
         },
         {}},
    };
    for (const Step& step : steps) {
        step.change();
        std::vector<std::string> captions;
        const std::string error =
            test::errorText([&] { captions = matchPlayer("[xy]Bob", reader.current(), true); });
        const std::string plainError = test::errorText(
            [&] { EXPECT_EQ(matchPlayer("[xy]Bob", readWatchLists(), true), step.captions) << step.why; });
        EXPECT_EQ(error, plainError) << step.why;
        EXPECT_EQ(error.empty(), !step.captions.empty()) << step.why << ": " << error;
        EXPECT_EQ(captions, step.captions) << step.why;
    }
}

TEST(WatchLists, ReadingNeedsBothFiles)
{
    test::DataFolder folder;
    folder.write("Buddys.txt", "bob\r\n\r\nlast");
    EXPECT_THROW(readWatchLists(), IoError);
    folder.write("clantags.txt", "");
    const WatchLists lists = readWatchLists();
    EXPECT_EQ(lists.buddies, (std::vector<std::string>{"bob", "", "last"}));
    EXPECT_TRUE(lists.clantags.empty());
}

TEST(WatchLists, RewriteKeepsEveryEntryAndNeverCreatesAFile)
{
    test::DataFolder folder;
    // A missing file is never created.
    EXPECT_EQ(test::errorText([] { rewriteWatchFile(BuddyFileName, {"alice"}); }), "File not found");
    EXPECT_FALSE(folder.exists("Buddys.txt"));

    folder.write("Buddys.txt", "old");
    rewriteWatchFile(BuddyFileName, {"alice", "Bob", " x ", ""});
    EXPECT_EQ(folder.read("Buddys.txt"), "alice\r\nBob\r\n x \r\n\r\n");
    rewriteWatchFile(BuddyFileName, {});
    EXPECT_EQ(folder.read("Buddys.txt"), "");
}

TEST(BuddyAlerts, NewSinceTheScanBeforeMergedWhileAway)
{
    struct Scan
    {
        std::vector<FoundBuddy> found;
        bool away; // the window hidden or minimised
        std::optional<BuddyAlert> alert;
    };
    struct Case
    {
        const char* why;
        std::vector<Scan> scans;
    };
    const FoundBuddy bob{"bob", "Omaha"};
    const std::optional<BuddyAlert> none;
    const BuddyAlert bobOnline{"bob is online", "bob plays on Omaha", "Omaha"};
    const Case cases[] = {
        {"the first scan finds a buddy", {{{bob}, true, bobOnline}}},
        {"already there in the scan before", {{{bob}, false, none}, {{{"Bob", "Berlin"}}, true, none}}},
        {"gone for one scan, then back", {{{bob}, false, none}, {{}, true, none}, {{bob}, true, bobOnline}}},
        {"several merged into one, each name once, newcomers only",
         {{{bob}, false, none},
          {{bob, {"[XY]Ann", "Berlin"}, {"Carl", "Omaha"}, {"[xy]ann", "Crete"}},
           true,
           BuddyAlert{"2 Buddys online", "[XY]Ann on Berlin\nCarl on Omaha", "Berlin"}}}},
        {"a long list is cut",
         {{{{"a", "S"}, {"b", "S"}, {"c", "S"}, {"d", "S"}, {"e", "S"}, {"f", "S"}, {"g", "S"}},
           true,
           BuddyAlert{"7 Buddys online", "a on S\nb on S\nc on S\nd on S\ne on S\nand 2 more", "S"}}}},
    };
    for (const Case& c : cases) {
        BuddyWatch watch;
        int n = 0;
        for (const Scan& scan : c.scans)
            EXPECT_EQ(watch.scanEnded(scan.found, scan.away, true), scan.alert) << c.why << ", scan " << ++n;
    }
}

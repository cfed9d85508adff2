// What a player entry matches in the buddy and clan-tag lists, and the list
// files' rewrite.

#include "scan/WatchLists.h"
#include "platform/Errors.h"
#include "support/DataFolder.h"
#include "support/ErrorText.h"

#include <gtest/gtest.h>

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
        {"empty tag line never matches", "[xy]Ann", {}, {"", "[xy]"}, true, {"[xy]Ann"}},
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

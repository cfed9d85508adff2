// When a complete scan makes a notification, and what it says.
#include "scan/BuddyAlerts.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(BuddyAlerts, NewSinceTheScanBeforeMergedWhileAway)
{
    struct Scan
    {
        std::vector<FoundBuddy> found;
        bool away;
        bool on;
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
        {"the first scan finds a buddy", {{{bob}, true, true, bobOnline}}},
        {"already there in the scan before",
         {{{bob}, false, true, none}, {{{"Bob", "Berlin"}}, true, true, none}}},
        {"gone for one scan, then back",
         {{{bob}, false, true, none}, {{}, true, true, none}, {{bob}, true, true, bobOnline}}},
        {"alerts off", {{{bob}, true, false, none}}},
        {"several merged into one, each name once, newcomers only",
         {{{bob}, false, true, none},
          {{bob, {"[XY]Ann", "Berlin"}, {"Carl", "Omaha"}, {"[xy]ann", "Crete"}},
           true,
           true,
           BuddyAlert{"2 Buddys online", "[XY]Ann on Berlin\nCarl on Omaha", "Berlin"}}}},
        {"a long list is cut",
         {{{{"a", "S"}, {"b", "S"}, {"c", "S"}, {"d", "S"}, {"e", "S"}, {"f", "S"}, {"g", "S"}},
           true,
           true,
           BuddyAlert{"7 Buddys online", "a on S\nb on S\nc on S\nd on S\ne on S\nand 2 more", "S"}}}},
    };
    for (const Case& c : cases) {
        BuddyWatch watch;
        int n = 0;
        for (const Scan& scan : c.scans)
            EXPECT_EQ(watch.scanEnded(scan.found, scan.away, scan.on), scan.alert)
                << c.why << ", scan " << ++n;
    }
}

// When a complete scan makes a notification, and what it says; turned off, it
// makes none (the scan window's test).
#include "scan/BuddyAlerts.h"

#include <gtest/gtest.h>

using namespace korvane;

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

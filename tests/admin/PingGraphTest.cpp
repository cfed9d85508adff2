// The properties window's ping display rules: the text a log line yields, the
// field's colour and the graph's level scale.
#include "admin/PingGraph.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(PingGraph, TextOfALogLine)
{
    struct Case
    {
        std::string line;
        std::optional<std::string> text;
        const char* why;
    };
    const Case cases[] = {
        {"Ping for 10.0.0.5, received 1 bytes from 10.0.0.5 in 23ms", "23", "a reply line gives its time"},
        {"Ping for a, received 1 bytes from a IN 1500ms", "1500", "\" in \" in any case"},
        {"Ping for 10.0.0.5, Request timed out", std::nullopt, "no \" in \""},
        {"There is link to 10.0.0.5.", std::nullopt, "a verdict"},
        {"Ping for a, TTL expired in transit", "trans", "never the last two characters"},
        {"Ping for a, TTL expired in reassembly", "reassem", "up to and including the first m"},
        {"x in mms", "", "an m right after \" in \" gives nothing"},
        {"Ping for play in berlin, received 1 bytes from a in 7ms", "berlin, received 1 bytes from",
         "the first \" in \" counts"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pingTextOf(c.line), c.text) << c.why;
}

TEST(PingGraph, FieldColourAndGraphLevels)
{
    EXPECT_EQ(pingFieldColour("23"), PingColour::Green);
    EXPECT_EQ(pingFieldColour("99"), PingColour::Green);
    EXPECT_EQ(pingFieldColour("100"), PingColour::Red);
    EXPECT_EQ(pingFieldColour("down"), PingColour::Black);
    EXPECT_EQ(pingFieldColour(""), PingColour::Black);

    const std::pair<int, GraphLevel> scale[] = {
        {0, {20, PingColour::Navy}},     {23, {18, PingColour::Navy}},    {49, {16, PingColour::Navy}},
        {50, {13, PingColour::Green}},   {99, {9, PingColour::Green}},    {100, {15, PingColour::Purple}},
        {250, {14, PingColour::Purple}}, {1000, {6, PingColour::Purple}}, {1001, {9, PingColour::Red}},
        {1800, {1, PingColour::Red}},    {5000, {1, PingColour::Red}}, // clipped at the top
    };
    for (const auto& [ms, level] : scale)
        EXPECT_EQ(graphLevel(ms), level) << ms << " ms";
}

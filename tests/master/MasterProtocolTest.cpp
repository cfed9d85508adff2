// The answer to a master's challenge, the greeting and the request, as bytes.

#include "master/MasterProtocol.h"

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

#include "query/ScanReply.h"

#include "platform/Errors.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

std::string reply(const std::string& maxClients, int players, const std::string& version = "Allied Assault")
{
    std::string r =
        "\xFF\xFF\xFF\xFF\x01statusResponse\n\\sv_hostname\\H\\mapname\\obj/obj_team2\\sv_maxclients\\" +
        maxClients + "\\version\\Medal of Honor " + version + "\n";
    for (int i = 0; i < players; ++i)
        r += std::to_string(i) + " 50 \"Player " + std::to_string(i) + "\"\n";
    return r;
}

} // namespace

TEST(ScanReply, Outcomes)
{
    struct Case
    {
        const char* what;
        std::string reply;
        ScanOutcome outcome;
        std::string caption;
        int players;
    } cases[] = {
        {"twenty of twenty", reply("20", 20), ScanOutcome::Full, "FULL", 20},
        {"none of sixteen", reply("16", 0), ScanOutcome::Answered, "0/16", 0},
        {"seven of twenty", reply("20", 7), ScanOutcome::Answered, "7/20", 7},
        {"silence", "", ScanOutcome::NoResponse, "no response", 0},
        {"text without the FF bytes", reply("20", 3).substr(4), ScanOutcome::NoResponse, "no response", 0},
    };
    for (const Case& c : cases) {
        const ScanReply scan = evaluateScanReply(c.reply);
        EXPECT_EQ(scan.playerCount, c.players) << c.what;
        const ScanOutcome outcome = decideScanOutcome(scan);
        EXPECT_EQ(outcome, c.outcome) << c.what;
        EXPECT_EQ(scanCaption(scan, outcome), c.caption) << c.what;
    }
}

TEST(ScanReply, FieldsOfAnAnswer)
{
    const ScanReply scan = evaluateScanReply(reply("12", 2, "Spearhead 2.15"));
    EXPECT_TRUE(scan.answered);
    EXPECT_EQ(scan.game, "Spearhead");
    EXPECT_EQ(scan.map, "obj/obj_team2");
    EXPECT_EQ(scan.maxClients, "12");
    EXPECT_EQ(scan.names, (std::vector<std::string>{"Player 0", "Player 1", ""}))
        << "the final line feed's empty entry is kept for the matching";
    EXPECT_EQ(evaluateScanReply(reply("12", 0)).names, std::vector<std::string>{""});
}

TEST(ScanReply, NoResponseCarriesNothing)
{
    const ScanReply scan = evaluateScanReply("statusResponse\n\\mapname\\x\\sv_maxclients\\4\n0 0 \"A\"\n");
    EXPECT_FALSE(scan.answered);
    EXPECT_TRUE(scan.names.empty());
    EXPECT_TRUE(scan.map.empty());
    EXPECT_EQ(scan.playerCount, 0);
}

TEST(ScanReply, MaxClientsThatIsNoNumberIsAnEvaluationError)
{
    for (const char* bad : {"lots", "", "16a"})
        EXPECT_THROW(decideScanOutcome(evaluateScanReply(reply(bad, 2))), ConvertError) << bad;
    // Garbage after the FF bytes has no sv_maxclients at all.
    EXPECT_THROW(decideScanOutcome(evaluateScanReply("\xFF\xFF\xFF\xFF\x13\x37\n\"\"\n")), ConvertError);
}

TEST(ScanReply, EmptyNamesAreNotCounted)
{
    const std::string r =
        "\xFF\xFF\xFF\xFF\x01statusResponse\n\\sv_maxclients\\2\\g\\1\n0 0 \"\"\n1 1 \"A\"\n";
    const ScanReply scan = evaluateScanReply(r);
    EXPECT_EQ(scan.names, (std::vector<std::string>{"", "A", ""}));
    EXPECT_EQ(scan.playerCount, 1);
    EXPECT_EQ(decideScanOutcome(scan), ScanOutcome::Answered);
}

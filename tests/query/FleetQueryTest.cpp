// The exchange and the evaluation against the demo fleet, as the scan and the
// selection meet real servers.

#include "fleet/Fleet.h"

#include "platform/Errors.h"
#include "query/ScanReply.h"
#include "query/StatusQuery.h"
#include "query/StatusReply.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

// The demo servers on ephemeral ports, so a running demo does not clash.
fleet::FleetConfig demoFleet()
{
    fleet::FleetConfig config = fleet::loadFleetConfig(KORVANE_SOURCE_DIR "/data/demo/fleet.json");
    for (fleet::ServerConfig& s : config.servers) {
        s.port = 0;
        if (s.queryPort > 0) s.queryPort = 0;
        if (s.behaviour == fleet::Behaviour::Slow) s.delayMs = 50;
    }
    for (fleet::MasterConfig& m : config.masters)
        m.port = 0;
    return config;
}

} // namespace

TEST(FleetQuery, ScanOfTheDemoFleet)
{
    const fleet::FleetConfig config = demoFleet();
    fleet::Fleet servers(config);
    servers.start();
    UdpClient client;
    for (std::size_t i = 0; i < servers.size(); ++i) {
        const fleet::ServerConfig& served = config.servers[i];
        const bool silent = served.behaviour == fleet::Behaviour::Silent;
        const std::string reply =
            QueryStatus(client, "127.0.0.1", std::to_string(servers.port(i)), true, silent ? 200 : 3000);
        const ScanReply scan = evaluateScanReply(reply);
        if (silent) {
            EXPECT_EQ(decideScanOutcome(scan), ScanOutcome::NoResponse);
            continue;
        }
        const std::vector<fleet::Player> players = fleet::listedPlayers(served);
        EXPECT_EQ(scan.map, served.map) << served.listName;
        const std::string game = served.game == fleet::Game::Spearhead      ? GameSpearhead
                                 : served.game == fleet::Game::Breakthrough ? GameBreakthrough
                                                                            : GameMedalOfHonor;
        EXPECT_EQ(scan.game, game) << served.listName;
        EXPECT_EQ(scan.playerCount, static_cast<int>(players.size())) << served.listName;
        const ScanOutcome expected =
            static_cast<int>(players.size()) == served.maxClients ? ScanOutcome::Full : ScanOutcome::Answered;
        EXPECT_EQ(decideScanOutcome(scan), expected) << served.listName;
    }
}

TEST(FleetQuery, SelectionOfAServerWithClanPlayers)
{
    const fleet::FleetConfig config = demoFleet();
    fleet::Fleet servers(config);
    servers.start();
    UdpClient client;
    const std::string reply = QueryStatus(client, "127.0.0.1", std::to_string(servers.port(0)), true, 3000);
    ASSERT_TRUE(isSelectionAnswer(reply));
    const std::string prepared = prepareSelectionReply(reply);
    EXPECT_EQ(ExtractValue(prepared, KeyHostName), config.servers[0].hostName);
    const std::vector<PlayerEntry> players = ParsePlayers(prepared);
    ASSERT_EQ(players.size(), config.servers[0].players.size());
    for (std::size_t p = 0; p < players.size(); ++p) {
        EXPECT_EQ(players[p].name, config.servers[0].players[p].name);
        EXPECT_EQ(players[p].firstField, std::to_string(config.servers[0].players[p].score));
    }
    EXPECT_EQ(mapRotation(prepared), config.servers[0].mapList);
    EXPECT_EQ(linkOf(prepared),
              (ServerLink{"www.omaha-demo.example.org", "http://www.omaha-demo.example.org"}));
    EXPECT_EQ(playerCountText(players.size(), ExtractValue(prepared, KeyMaxClients)), "Players: 4/20");
}

TEST(FleetQuery, MisbehavingServers)
{
    using fleet::Behaviour;
    fleet::FleetConfig config;
    for (Behaviour b : {Behaviour::Short, Behaviour::Long, Behaviour::BadMax, Behaviour::Garbage}) {
        fleet::ServerConfig s;
        s.listName = s.hostName = fleet::behaviourName(b);
        s.behaviour = b;
        s.players = {{1, 1, "Bob"}};
        config.servers.push_back(s);
    }
    fleet::Fleet servers(config);
    servers.start();
    UdpClient client;
    auto query = [&](std::size_t i) {
        return QueryStatus(client, "127.0.0.1", std::to_string(servers.port(i)), true, 3000);
    };
    const std::string shortReply = query(0);
    EXPECT_TRUE(isScanAnswer(shortReply));
    EXPECT_FALSE(isLookupAnswer(shortReply)) << "40 bytes count as no response";

    const std::string longReply = query(1);
    ASSERT_EQ(longReply.size(), 8192u);
    EXPECT_GT(ParsePlayers(longReply).size(), 100u);
    EXPECT_EQ(ParsePlayers(longReply).front().name, "Bob");

    EXPECT_THROW(decideScanOutcome(evaluateScanReply(query(2))), ConvertError) << "sends shit";
    EXPECT_THROW(decideScanOutcome(evaluateScanReply(query(3))), ConvertError) << "sends shit";
}

#include "fleet/Fleet.h"
#include "fleet/Json.h"

#include "platform/UdpClient.h"

#include <fstream>
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

using namespace korvane;
using namespace korvane::fleet;

namespace {

const std::string StatusRequestBytes{"\xFF\xFF\xFF\xFF\x02getstatus\n\0", 16};

std::string ask(int port, const std::string& datagram, int timeoutMs = 2000)
{
    UdpClient client;
    client.setPeer("127.0.0.1", port);
    client.send(datagram);
    return client.receiveReply(timeoutMs);
}

int countOf(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(Json, ParsesWhatConfigurationsUse)
{
    const JsonValue v = JsonValue::parse(
        R"( {"a": [1, -2.5, true, false, null], "s": "x\"y\\z\u00e9\n", "o": {"k": "v"}, "e": []} )");
    ASSERT_TRUE(v.isObject());
    const auto& a = v.find("a")->asArray();
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(a[0].asInt(), 1);
    EXPECT_EQ(a[1].asNumber(), -2.5);
    EXPECT_TRUE(a[2].asBool());
    EXPECT_FALSE(a[3].asBool());
    EXPECT_TRUE(a[4].isNull());
    EXPECT_EQ(v.find("s")->asString(), "x\"y\\z\xE9\n");
    EXPECT_EQ(v.find("o")->find("k")->asString(), "v");
    EXPECT_TRUE(v.find("e")->asArray().empty());
    EXPECT_EQ(v.find("missing"), nullptr);
}

TEST(Json, RefusesBrokenDocuments)
{
    const char* broken[] = {"",          "{",           "[1,]", "{\"a\" 1}", "\"open", "[1] 2",   "{1: 2}",
                            "\"\\u12\"", "\"\\u0100\"", "tru",  "[\"\\q\"]", "-",      "{\"a\":}"};
    for (const char* text : broken)
        EXPECT_THROW(JsonValue::parse(text), JsonError) << text;
    EXPECT_THROW(JsonValue::parse(std::string(100, '[') + std::string(100, ']')), JsonError) << "too deep";
    EXPECT_NO_THROW(JsonValue::parse(std::string(20, '[') + std::string(20, ']')));
    EXPECT_THROW(JsonValue::parse("1.5").asInt(), JsonError);
    EXPECT_THROW(JsonValue::parse("\"a\"").asArray(), JsonError);
}

TEST(FleetConfig, ReadsServersPlayersAndGames)
{
    const FleetConfig config = parseFleetConfig(R"({"servers": [
        {"name": "A", "port": 0, "game": "sh", "maxclients": 4, "behaviour": "slow", "delay": 50,
         "players": ["Bob", {"name": "[XY]Ann", "score": 7, "ping": 33}], "maplist": "a b"},
        {"host": "Only host"}
    ]})");
    ASSERT_EQ(config.servers.size(), 2u);
    const ServerConfig& a = config.servers[0];
    EXPECT_EQ(a.hostName, "A") << "the host name defaults to the list name";
    EXPECT_EQ(a.game, Game::Spearhead);
    EXPECT_NE(versionText(a).find("Medal of Honor Spearhead"), std::string::npos);
    EXPECT_EQ(a.behaviour, Behaviour::Slow);
    EXPECT_EQ(a.delayMs, 50);
    ASSERT_EQ(a.players.size(), 2u);
    EXPECT_EQ(a.players[1].name, "[XY]Ann");
    EXPECT_EQ(a.players[1].score, 7);
    EXPECT_EQ(a.mapList, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(config.servers[1].listName, "Only host");
    EXPECT_NE(versionText(config.servers[1]).find("Medal of Honor Allied Assault"), std::string::npos);

    EXPECT_THROW(parseFleetConfig(R"({"servers": [{"behaviour": "sleepy"}]})"), std::invalid_argument);
    EXPECT_THROW(parseFleetConfig(R"({"servers": [{"game": "quake"}]})"), std::runtime_error);
    EXPECT_THROW(parseFleetConfig(R"({"nothing": 1})"), std::runtime_error);

    const FleetConfig listed =
        parseFleetConfig(R"({"servers": [{"name": "Q", "game": "bt", "queryport": 12300,
        "hostport": false}], "masters": [{"behaviour": "halfdead", "form": "plain", "final": true, "twice": true,
        "extra": ["1.2.3.4:5"], "delay": 7, "port": 28900}, {}]})");
    EXPECT_EQ(listed.servers[0].game, Game::Breakthrough);
    EXPECT_EQ(listed.servers[0].queryPort, 12300);
    EXPECT_FALSE(listed.servers[0].sendsHostPort);
    ASSERT_EQ(listed.masters.size(), 2u);
    const MasterConfig& m = listed.masters[0];
    EXPECT_EQ(m.behaviour, MasterBehaviour::HalfDead);
    EXPECT_EQ(m.form, ListForm::Plain);
    EXPECT_TRUE(m.finalAfterGreeting && m.listTwice);
    EXPECT_EQ(m.extra, std::vector<std::string>{"1.2.3.4:5"});
    EXPECT_EQ(m.delayMs, 7);
    EXPECT_EQ(m.port, 28900);
    EXPECT_THROW(parseFleetConfig(R"({"servers": [], "masters": [{"behaviour": "lazy"}]})"),
                 std::invalid_argument);
    EXPECT_THROW(parseFleetConfig(R"({"servers": [], "masters": [{"form": "zipped"}]})"), std::runtime_error);
}

TEST(FleetConfig, DemoFleetAndItsListFileAgree)
{
    const FleetConfig demo = loadFleetConfig(KORVANE_SOURCE_DIR "/data/demo/fleet.json");
    ASSERT_EQ(demo.servers.size(), 12u);
    int spearhead = 0, silent = 0, full = 0;
    bool bob = false, clan = false;
    for (std::size_t i = 0; i < demo.servers.size(); ++i) {
        const ServerConfig& s = demo.servers[i];
        EXPECT_EQ(s.port, 12203 + static_cast<int>(i));
        spearhead += s.game == Game::Spearhead;
        silent += s.behaviour == Behaviour::Silent;
        full += s.behaviour == Behaviour::Full || static_cast<int>(s.players.size()) == s.maxClients;
        for (const Player& p : s.players) {
            bob = bob || p.name == "Bob";
            clan = clan || p.name.rfind("[XY]", 0) == 0;
        }
    }
    EXPECT_EQ(spearhead, 1);
    EXPECT_EQ(silent, 1);
    EXPECT_GE(full, 2);
    EXPECT_TRUE(bob);
    EXPECT_TRUE(clan);
    EXPECT_EQ(readFile(KORVANE_SOURCE_DIR "/data/demo/Serverlists/Standard"), serverListText(demo, {}));
    // The demo's masters file names the fleet's own master; every server has
    // its query port where the games put it.
    ASSERT_EQ(demo.masters.size(), 1u);
    EXPECT_EQ(readFile(KORVANE_SOURCE_DIR "/data/demo/Masters.txt"),
              demo.bindAddress + ":" + std::to_string(demo.masters[0].port) + "\r\n");
    for (const ServerConfig& s : demo.servers)
        EXPECT_EQ(s.queryPort, s.port + 97) << s.listName;
}

TEST(FleetConfig, GeneratedFleetsAreRepeatableWithTheRightShareSilent)
{
    const FleetConfig a = generateFleet(40, 30000, 0.25, 9);
    const FleetConfig b = generateFleet(40, 30000, 0.25, 9);
    ASSERT_EQ(a.servers.size(), 40u);
    int silent = 0;
    for (std::size_t i = 0; i < a.servers.size(); ++i) {
        EXPECT_EQ(a.servers[i].listName, b.servers[i].listName);
        EXPECT_EQ(a.servers[i].players.size(), b.servers[i].players.size());
        EXPECT_EQ(a.servers[i].port, 30000 + static_cast<int>(i));
        EXPECT_LE(static_cast<int>(a.servers[i].players.size()), a.servers[i].maxClients);
        silent += a.servers[i].behaviour == Behaviour::Silent;
    }
    EXPECT_EQ(silent, 10);
    EXPECT_EQ(generateFleet(3, 0, 0, 1).servers[2].port, 0);
}

TEST(FleetConfig, ListFileHasThreeCrLfLinesPerServer)
{
    FleetConfig config;
    config.servers = {makeServer("One", Behaviour::Answer), makeServer("Two", Behaviour::Answer)};
    EXPECT_EQ(serverListText(config, {5001, 5002}),
              "One\r\n127.0.0.1\r\n5001\r\nTwo\r\n127.0.0.1\r\n5002\r\n");
}

TEST(Fleet, EachBehaviourOverTheWire)
{
    FleetConfig config;
    const Behaviour behaviours[] = {Behaviour::Answer,  Behaviour::Silent,   Behaviour::Full,
                                    Behaviour::Garbage, Behaviour::Short,    Behaviour::Long,
                                    Behaviour::BadMax,  Behaviour::Oversize, Behaviour::Stray};
    for (Behaviour b : behaviours)
        config.servers.push_back(makeServer(behaviourName(b), b, {"Bob", "[XY]Ann Lee"}, 8));
    config.servers[0].mapList = {"dm/mohdm1", "dm/mohdm2"};
    Fleet fleet(config);
    fleet.start();
    const std::string header = "\xFF\xFF\xFF\xFF\x01statusResponse\n";
    for (std::size_t i = 0; i < std::size(behaviours); ++i) {
        const std::string name = behaviourName(behaviours[i]);
        const std::string reply =
            ask(fleet.port(i), StatusRequestBytes, behaviours[i] == Behaviour::Silent ? 200 : 2000);
        switch (behaviours[i]) {
        case Behaviour::Answer:
            EXPECT_EQ(reply.rfind(header, 0), 0u);
            EXPECT_NE(reply.find("\\sv_hostname\\answer host\\"), std::string::npos);
            EXPECT_NE(reply.find("\\sv_maxclients\\8"), std::string::npos);
            EXPECT_NE(reply.find("\\sv_maplist\\dm/mohdm1 dm/mohdm2"), std::string::npos);
            EXPECT_NE(reply.find("\n2 50 \"[XY]Ann Lee\"\n"), std::string::npos);
            EXPECT_EQ(reply.back(), '\n');
            break;
        case Behaviour::Silent:
        case Behaviour::Oversize: // larger than any client accepts
            EXPECT_EQ(reply, "") << name;
            break;
        case Behaviour::Full:
            EXPECT_EQ(countOf(reply, "\"\n"), 8) << "one player line per slot";
            break;
        case Behaviour::Garbage:
            EXPECT_EQ(reply.rfind("\xFF\xFF\xFF\xFF", 0), 0u);
            EXPECT_EQ(reply.find("statusResponse"), std::string::npos);
            break;
        case Behaviour::Short:
            EXPECT_EQ(reply.size(), 40u);
            EXPECT_EQ(reply.rfind(header, 0), 0u);
            break;
        case Behaviour::Long:
            EXPECT_EQ(reply.size(), 8192u);
            EXPECT_EQ(reply.back(), '\n');
            break;
        case Behaviour::BadMax:
            EXPECT_NE(reply.find("\\sv_maxclients\\lots\\"), std::string::npos);
            break;
        case Behaviour::Stray: // the forgeries come from elsewhere; the server's own reply is genuine
            EXPECT_EQ(reply.find("\\mapname\\forged/elsewhere\\"), std::string::npos) << reply;
            EXPECT_NE(reply.find("\\sv_hostname\\"), std::string::npos) << reply;
            break;
        case Behaviour::Slow:
            break;
        }
    }
    EXPECT_EQ(ask(fleet.port(0), "not a request", 200), "") << "unknown datagrams get no answer";
}

TEST(Fleet, SlowServerDoesNotHoldUpTheOthers)
{
    FleetConfig config;
    config.servers = {makeServer("slow", Behaviour::Slow), makeServer("quick", Behaviour::Answer)};
    config.servers[0].delayMs = 1500;
    Fleet fleet(config);
    fleet.start();
    UdpClient slow, quick;
    slow.setPeer("127.0.0.1", fleet.port(0));
    quick.setPeer("127.0.0.1", fleet.port(1));
    slow.send(StatusRequestBytes);
    quick.send(StatusRequestBytes);
    EXPECT_NE(quick.receiveReply(1000), "") << "the quick server answered while the slow one waits";
    EXPECT_FALSE(slow.takeReply(5000)) << "the slow answer is not there yet";
    EXPECT_NE(slow.receiveReply(5000), "");
}

TEST(Fleet, RemoteConsole)
{
    FleetConfig config;
    config.servers = {makeServer("rcon", Behaviour::Answer, {"[XY]Ann Lee"}),
                      makeServer("no password", Behaviour::Answer)};
    config.servers[0].rconPassword = "pw";
    Fleet fleet(config);
    fleet.start();
    auto rcon = [&](std::size_t i, const std::string& password, const std::string& command) {
        return ask(fleet.port(i),
                   "\xFF\xFF\xFF\xFF\x02rcon " + password + " " + command + std::string("\n\0", 2));
    };
    const std::string head = "\xFF\xFF\xFF\xFF\x01print\n";
    EXPECT_EQ(rcon(0, "wrong", "status"), head + "Bad rconpassword.\n");
    EXPECT_EQ(rcon(1, "", "status"), head + "No rconpassword set on the server.\n");
    const std::string status = rcon(0, "pw", "status");
    EXPECT_EQ(status.rfind(head + "map: obj/obj_team2\n", 0), 0u);
    EXPECT_NE(status.find("[XY]Ann Lee"), std::string::npos);
    EXPECT_EQ(rcon(0, "pw", "say hello all"), head + "console: hello all\n");
    EXPECT_EQ(rcon(0, "pw", "map obj/obj_team4"), head + "Loading map obj/obj_team4\n");
    EXPECT_NE(ask(fleet.port(0), StatusRequestBytes).find("\\mapname\\obj/obj_team4\\"), std::string::npos)
        << "the new map shows in the status";
    EXPECT_EQ(rcon(0, "pw", "frobnicate"), head + "Unknown command \"frobnicate\"\n");
}

TEST(Fleet, ManyServersOnOneThreadAllAnswer)
{
    const FleetConfig config = generateFleet(300, 0, 0, 5);
    Fleet fleet(config);
    fleet.start();
    std::vector<UdpClient> clients(fleet.size());
    for (std::size_t i = 0; i < fleet.size(); ++i) {
        clients[i].setPeer("127.0.0.1", fleet.port(i));
        clients[i].send(StatusRequestBytes);
    }
    for (std::size_t i = 0; i < fleet.size(); ++i) {
        const std::string reply = clients[i].receiveReply(5000);
        EXPECT_NE(reply.find("\\sv_hostname\\" + config.servers[i].hostName + "\\"), std::string::npos) << i;
    }
    // The fleet counts a reply after sending it, so the last count may trail the last reply a moment.
    for (int i = 0; i < 200 && fleet.repliesSent() < 300u; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(fleet.repliesSent(), 300u);
}

TEST(Fleet, StopReleasesThePorts)
{
    FleetConfig config;
    config.servers = {makeServer("a", Behaviour::Answer)};
    int port = 0;
    {
        Fleet fleet(config);
        fleet.start();
        port = fleet.port(0);
        fleet.stop();
        EXPECT_FALSE(fleet.running());
    }
    config.servers[0].port = port;
    Fleet again(config);
    EXPECT_NO_THROW(again.start()) << "the same port can be bound again";
    Fleet clash(config);
    EXPECT_THROW(clash.start(), std::runtime_error) << "a taken port is an error";
}

TEST(FleetProgram, RunsAsAChildProcessAndWritesItsList)
{
    const std::string list = ::testing::TempDir() + "/fleet-list-" + std::to_string(::getpid());
    FleetProcess process =
        FleetProcess::launch(fleetProgramPath(), {"--count", "4", "--seed", "3", "--silent-fraction", "0.25",
                                                  "--list-file", list, "--lifetime", "60"});
    ASSERT_EQ(process.ports().size(), 4u);
    const FleetConfig expected = generateFleet(4, 0, 0.25, 3);
    EXPECT_EQ(readFile(list), serverListText(expected, process.ports()));
    for (std::size_t i = 0; i < 4; ++i) {
        const bool silent = expected.servers[i].behaviour == Behaviour::Silent;
        EXPECT_EQ(ask(process.ports()[i], StatusRequestBytes, silent ? 200 : 2000).empty(), silent) << i;
    }
    EXPECT_EQ(process.stop(), 0) << "SIGTERM ends it cleanly";
    std::remove(list.c_str());
}

TEST(FleetProgram, RefusesBadArguments)
{
    EXPECT_THROW(FleetProcess::launch(fleetProgramPath(), {"--count"}), std::runtime_error);
    EXPECT_THROW(FleetProcess::launch(fleetProgramPath(), {"--config", "/nonexistent/fleet.json"}),
                 std::runtime_error);
}

// The masters file of a data folder; fetching lists from stand-in masters on
// 127.0.0.1 and resolving game ports through scripted query ports. The whole
// fetch and resolve of a listing is korvane-scan --master's test.

#include "fleet/Fleet.h"
#include "master/GameSpyStatus.h"
#include "master/MasterClient.h"
#include "master/MastersFile.h"
#include "master/QueryPortResolver.h"
#include "platform/HaltSwitch.h"
#include "platform/Paths.h"
#include "support/DataFolder.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

using namespace korvane;
using namespace korvane::fleet;

namespace {

const MasterGame& game(const char* name)
{
    return *findMasterGame(name);
}

std::vector<MasterAddress> loopbackMasters(const Fleet& fleet)
{
    std::vector<MasterAddress> masters;
    for (const int port : fleet.masterPorts())
        masters.push_back({"127.0.0.1", port});
    return masters;
}

} // namespace

TEST(MastersFile, FirstUseWritesTheCommunityMasters)
{
    test::DataFolder folder;
    const MastersList list = loadMasters();
    EXPECT_EQ(list.masters, defaultMasters());
    EXPECT_TRUE(list.problems.empty());
    EXPECT_EQ(folder.read(MastersFileName),
              "master.333networks.com:28900\r\nmaster.errorist.eu:28900\r\n"
              "master.gonespy.com:28900\r\nmaster.newbiesplayground.net:28900\r\n"
              "master.gametir.com:28900\r\n");

    // The user's own file is never rewritten.
    folder.write(MastersFileName, "127.0.0.1:28900\n");
    EXPECT_EQ(loadMasters().masters, (std::vector<MasterAddress>{{"127.0.0.1", 28900}}));
    EXPECT_EQ(folder.read(MastersFileName), "127.0.0.1:28900\n");
}

TEST(MastersFile, BadLinesAreNamedAndSkipped)
{
    test::DataFolder folder;
    folder.write(MastersFileName, "# mine\r\n  a.example:1 \r\n\r\nb.example\r\n[::1]:2\r\na.example:1\r\n"
                                  "c.example:0\r\nc example:5\r\n[zz]:5\r\nd.example:70000\r\n"
                                  "e.example:12x\r\n\x01:5\r\n");
    const MastersList list = readMasters(dataPath(MastersFileName));
    EXPECT_EQ(list.masters, (std::vector<MasterAddress>{{"a.example", 1}, {"b.example", 28900}, {"::1", 2}}));
    EXPECT_EQ(list.masters[2].text(), "[::1]:2");
    EXPECT_EQ(list.problems, (std::vector<std::string>{
                                 "Masters.txt line 7: 'c.example:0' is not HOST:PORT",
                                 "Masters.txt line 8: 'c example:5' is not HOST:PORT",
                                 "Masters.txt line 9: '[zz]:5' is not HOST:PORT",
                                 "Masters.txt line 10: 'd.example:70000' is not HOST:PORT",
                                 "Masters.txt line 11: 'e.example:12x' is not HOST:PORT",
                                 "Masters.txt line 12: '?:5' is not HOST:PORT",
                             }));
}

// Every kind of master asked at once in one fetch, each with its own result;
// one that is not there is the window's and korvane-scan's test.
TEST(MasterFetch, EachMasterGetsItsOwnResult)
{
    FleetConfig config;
    config.servers = {makeServer("Alpha", Behaviour::Answer)};
    config.servers[0].queryPort = 0;
    struct Row
    {
        MasterBehaviour behaviour;
        const char* summary;
        const char* why;
    };
    const Row rows[] = {
        {MasterBehaviour::Answer, "1 servers", "answers at once"},
        {MasterBehaviour::Slow, "1 servers", "slow but never idle for long"},
        {MasterBehaviour::Refuse, "refused", "a disconnect after the request"},
        {MasterBehaviour::Echo, "refused", "an echo text"},
        {MasterBehaviour::Silent, "timed out", "never greets"},
        {MasterBehaviour::HalfDead, "timed out", "greets, then never answers"},
    };
    for (const Row& row : rows) {
        MasterConfig master;
        master.behaviour = row.behaviour;
        master.delayMs = 20;
        config.masters.push_back(master);
    }
    Fleet fleet(config);
    fleet.start();
    std::vector<MasterAddress> masters = loopbackMasters(fleet);
    masters.push_back({"127.0.0.1", test::unusedPort(SOCK_STREAM)});

    FetchOptions options;
    options.idleTimeoutMs = 600;
    const std::vector<MasterResult> results = fetchServerLists(game("mohaa"), masters, options);
    ASSERT_EQ(results.size(), std::size(rows) + 1);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(results[i].summary(), rows[i].summary) << rows[i].why;
        EXPECT_EQ(results[i].master, masters[i]) << rows[i].why;
    }
    EXPECT_EQ(results.back().summary(), "unreachable");
    EXPECT_EQ(results.back().detail, "Connection refused");
    EXPECT_EQ(unionOf(results).size(), 1u);
}

TEST(MasterFetch, HaltEndsTheFetchWithoutWaitingForSilentMasters)
{
    FleetConfig config;
    MasterConfig silent;
    silent.behaviour = MasterBehaviour::Silent;
    config.masters = {MasterConfig{}, silent};
    Fleet fleet(config);
    fleet.start();
    HaltSwitch halt;
    EXPECT_THROW(fetchServerLists(game("mohaa"), loopbackMasters(fleet), {}, &halt,
                                  [&](const MasterResult&) { halt.halt(); }),
                 WorkerHalted);
}

// What a query port's answers make of a server, ask after ask: its own word,
// a remembered one, the default layout, or nothing. G is the query port - 97.
TEST(QueryPortResolver, AnswersWithoutAUsablePort)
{
    const auto outcomes = [](std::vector<std::string> replies) {
        test::LoopbackPeer peer([&](int index, const std::string& request) -> std::optional<test::PeerReply> {
            if (request != "\\status\\" || index >= static_cast<int>(replies.size())) return std::nullopt;
            return test::PeerReply{replies[static_cast<std::size_t>(index)], 0};
        });
        QueryPortCache cache;
        std::vector<std::string> seen;
        for (std::size_t ask = 0; ask < replies.size(); ++ask) {
            const ResolveResult result = resolveGamePorts({{0x7F000001, peer.port()}}, {}, &cache);
            if (result.servers.empty()) {
                seen.push_back(result.unusable == 1 ? "left out: unusable" : "left out: silent");
                continue;
            }
            const ResolvedServer& s = result.servers.front();
            const char* source[] = {"own", "remembered", "guessed"};
            std::string text = std::to_string(s.gamePort) + " " + source[static_cast<int>(s.source)] +
                               (s.note.empty() ? "" : ": " + s.note);
            for (std::size_t at; (at = text.find(std::to_string(peer.port() - 97))) != std::string::npos;)
                text.replace(at, std::to_string(peer.port() - 97).size(), "G");
            seen.push_back(text);
        }
        return seen;
    };
    using Texts = std::vector<std::string>;
    EXPECT_EQ(
        outcomes({"\\hostname\\A\\hostport\\5000\\final\\", "\\hostname\\A\\final\\"}),
        (Texts{"5000 own", "5000 remembered: it gave no hostport; game port 5000 from its earlier answer"}))
        << "a later answer without hostport keeps the port it gave";
    EXPECT_EQ(outcomes({"\\hostport\\abc\\final\\"}),
              Texts{"G guessed: its hostport is not a port; game port taken as G (query port - 97)"})
        << "a hostport that is not a number";
    EXPECT_EQ(outcomes({"garbage"}), Texts{"left out: unusable"}) << "not a GameSpy answer";
    EXPECT_EQ(
        outcomes({"\\hostport\\0\\hostport\\7\\final\\", "\\hostport\\6000\\final\\"}),
        (Texts{"G guessed: its hostport is not a port; game port taken as G (query port - 97)", "6000 own"}))
        << "port 0, and a server that moved";
}

// Fetching lists from stand-in masters on 127.0.0.1 and resolving their
// servers' game ports through the stand-in query ports.

#include "fleet/Fleet.h"
#include "master/GameSpyStatus.h"
#include "master/MasterClient.h"
#include "master/QueryPortResolver.h"
#include "platform/HaltSwitch.h"
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

std::string summaries(const std::vector<MasterResult>& results)
{
    std::string text;
    for (const MasterResult& r : results)
        text += (text.empty() ? "" : ", ") + r.summary();
    return text;
}

ServerConfig queried(const std::string& name, Game game = Game::AlliedAssault,
                     Behaviour behaviour = Behaviour::Answer)
{
    ServerConfig server = makeServer(name, behaviour);
    server.game = game;
    server.queryPort = 0;
    return server;
}

} // namespace

// Two masters of either form list the same servers, one of them each server
// twice; the union holds every server once, and the resolver gives each its
// game port and leaves out the one whose query port is silent.
TEST(MasterFetch, UnionOfTwoMastersResolvedToGamePorts)
{
    FleetConfig config;
    config.servers = {queried("Alpha"), queried("Bravo"), queried("Spear", Game::Spearhead),
                      makeServer("NoQuery", Behaviour::Answer),
                      queried("Mute", Game::AlliedAssault, Behaviour::Silent)};
    MasterConfig twice;
    twice.finalAfterGreeting = true;
    twice.listTwice = true;
    MasterConfig plain;
    plain.form = ListForm::Plain;
    config.masters = {twice, plain};
    Fleet fleet(config);
    fleet.start();

    const std::vector<MasterResult> results = fetchServerLists(game("mohaa"), loopbackMasters(fleet));
    EXPECT_EQ(summaries(results), "3 servers, 3 servers");
    EXPECT_EQ(results[0].repeated, 3);
    EXPECT_EQ(results[0].detail, "3 entries listed twice");
    const std::vector<ListedServer> all = unionOf(results);
    ASSERT_EQ(all.size(), 3u);

    QueryPortCache cache;
    ResolveOptions options;
    options.timeoutMs = 500;
    const ResolveResult resolved = resolveGamePorts(all, options, &cache);
    std::vector<std::string> texts;
    for (const ResolvedServer& server : resolved.servers) {
        texts.push_back(server.text());
        EXPECT_EQ(server.source, GamePortSource::HostPort);
    }
    std::vector<int> ports = {fleet.port(0), fleet.port(1)};
    std::sort(ports.begin(), ports.end());
    const std::vector<std::string> expected = {"127.0.0.1:" + std::to_string(ports[0]),
                                               "127.0.0.1:" + std::to_string(ports[1])};
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(resolved.silent, 1);
    EXPECT_EQ(resolved.unusable, 0);

    // Each game is its own list.
    const std::vector<MasterResult> spearhead = fetchServerLists(game("mohaas"), loopbackMasters(fleet));
    EXPECT_EQ(summaries(spearhead), "1 servers, 1 servers");
    EXPECT_EQ(fleet.listsSent(), 4u);
}

// Every kind of master asked at once in one fetch, each with its own result.
TEST(MasterFetch, EachMasterGetsItsOwnResult)
{
    FleetConfig config;
    config.servers = {queried("Alpha")};
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
    masters.push_back({"no-such-host.invalid", 28900});
    masters.push_back({"127.0.0.1", test::unusedPort(SOCK_STREAM)});

    FetchOptions options;
    options.idleTimeoutMs = 600;
    std::vector<std::string> doneOrder;
    const std::vector<MasterResult> results =
        fetchServerLists(game("mohaa"), masters, options, nullptr,
                         [&](const MasterResult& r) { doneOrder.push_back(r.summary()); });
    ASSERT_EQ(results.size(), std::size(rows) + 2);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(results[i].summary(), rows[i].summary) << rows[i].why;
        EXPECT_EQ(results[i].master, masters[i]) << rows[i].why;
    }
    EXPECT_EQ(results[std::size(rows)].summary(), "unreachable");
    EXPECT_TRUE(results[std::size(rows)].detail.starts_with("Host not found: no-such-host.invalid"));
    EXPECT_EQ(results.back().summary(), "unreachable");
    EXPECT_EQ(results.back().detail, "Connection refused");
    EXPECT_EQ(results[3].detail, "the master turned you away");
    EXPECT_EQ(doneOrder.size(), results.size());
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

// What a query port's answer makes of a server: its own word, a remembered
// one, the default layout, or nothing.
TEST(QueryPortResolver, AnswersWithoutAUsablePort)
{
    using test::LoopbackPeer;
    auto guess = [](int port) { return std::to_string(port - QueryPortOffset); };
    struct Script
    {
        std::vector<std::string> replies; // per ask
        std::vector<std::string> outcomes;
        const char* why;
    };
    const Script scripts[] = {
        {{"\\hostname\\A\\hostport\\5000\\final\\", "\\hostname\\A\\final\\"},
         {"5000 own", "5000 remembered: it gave no hostport; game port 5000 from its earlier answer"},
         "a later answer without hostport keeps the port it gave"},
        {{"\\hostname\\A\\final\\"},
         {"G guessed: it gave no hostport; game port taken as G (query port - 97)"},
         "no hostport ever"},
        {{"\\hostport\\abc\\final\\"},
         {"G guessed: its hostport is not a port; game port taken as G (query port - 97)"},
         "a hostport that is not a number"},
        {{"garbage"}, {"left out: unusable"}, "not a GameSpy answer"},
        {{"\\hostport\\0\\hostport\\7\\final\\", "\\hostport\\6000\\final\\"},
         {"G guessed: its hostport is not a port; game port taken as G (query port - 97)", "6000 own"},
         "port 0, and a server that moved"},
    };
    for (const Script& script : scripts) {
        LoopbackPeer peer([&](int index, const std::string& request) -> std::optional<test::PeerReply> {
            if (request != "\\status\\" || index >= static_cast<int>(script.replies.size()))
                return std::nullopt;
            return test::PeerReply{script.replies[static_cast<std::size_t>(index)], 0};
        });
        const ListedServer server{0x7F000001, peer.port()};
        QueryPortCache cache;
        for (std::size_t ask = 0; ask < script.outcomes.size(); ++ask) {
            const ResolveResult result = resolveGamePorts({server}, {}, &cache);
            std::string outcome;
            if (result.servers.empty()) {
                outcome = result.unusable == 1 ? "left out: unusable" : "left out: silent";
            } else {
                const ResolvedServer& s = result.servers.front();
                const char* source[] = {"own", "remembered", "guessed"};
                outcome = std::to_string(s.gamePort) + " " + source[static_cast<int>(s.source)] +
                          (s.note.empty() ? "" : ": " + s.note);
            }
            std::string expected = script.outcomes[ask];
            for (std::size_t at; (at = expected.find('G')) != std::string::npos;)
                expected.replace(at, 1, guess(peer.port()));
            EXPECT_EQ(outcome, expected) << script.why << ", ask " << ask + 1;
        }
    }
}

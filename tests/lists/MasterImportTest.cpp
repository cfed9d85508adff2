// An import from stand-in masters on 127.0.0.1, and the list and report it makes.

#include "lists/MasterImport.h"
#include "fleet/Fleet.h"
#include "platform/HaltSwitch.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

class RecordingImportView : public ImportView
{
public:
    std::vector<std::string> changes;
    void masterEnded(const MasterResult& result) override
    {
        changes.push_back(result.master.text() + " " + result.summary());
    }
    void resolving(int ended, int total) override
    {
        changes.push_back("resolving " + std::to_string(ended) + "/" + std::to_string(total));
    }
};

ResolvedServer resolved(std::string hostName, int gamePort, GamePortSource source = GamePortSource::HostPort)
{
    ResolvedServer server;
    server.listed = {0x0A000001, gamePort + 97};
    server.gamePort = gamePort;
    server.source = source;
    server.hostName = std::move(hostName);
    return server;
}

MasterResult master(const char* host, MasterResult::Outcome outcome, int servers = 0)
{
    MasterResult result;
    result.master = {host, 28900};
    result.outcome = outcome;
    for (int i = 0; i < servers; ++i)
        result.servers.push_back({0x0A000001, 12300 + i});
    return result;
}

} // namespace

TEST(MasterImport, BreakthroughFromTwoMastersWithTheViewToldOfEachStep)
{
    fleet::FleetConfig config;
    for (const char* name : {"One", "Two"}) {
        config.servers.push_back(fleet::makeServer(name, fleet::Behaviour::Answer));
        config.servers.back().game = fleet::Game::Breakthrough;
        config.servers.back().queryPort = 0;
    }
    config.servers[1].hostName = std::string("\x01Two\tspaced  ");
    config.masters = {fleet::MasterConfig{}, fleet::MasterConfig{}};
    fleet::Fleet fleet(config);
    fleet.start();
    const std::vector<MasterAddress> masters = {{"127.0.0.1", fleet.masterPorts()[0]},
                                                {"127.0.0.1", fleet.masterPorts()[1]}};
    RecordingImportView view;
    QueryPortCache cache;
    HaltSwitch halt;
    const MasterGame& game = *findMasterGame("mohaab");
    const ImportOutcome outcome = runMasterImport(game, masters, view, cache, halt);

    // Each master as it ends, then the query ports (how many steps depends on how the answers come).
    ASSERT_GE(view.changes.size(), 3u);
    std::vector<std::string> ended(view.changes.begin(), view.changes.begin() + 2);
    std::sort(ended.begin(), ended.end());
    std::vector<std::string> both = {masters[0].text() + " 2 servers", masters[1].text() + " 2 servers"};
    std::sort(both.begin(), both.end());
    EXPECT_EQ(ended, both);
    EXPECT_EQ(view.changes.back(), "resolving 2/2");
    EXPECT_EQ(outcome.listed, 2);
    std::vector<ServerEntry> expected = {{"One host (127.0.0.1:" + std::to_string(fleet.port(0)) + ")",
                                          "127.0.0.1", std::to_string(fleet.port(0))},
                                         {"Twospaced (127.0.0.1:" + std::to_string(fleet.port(1)) + ")",
                                          "127.0.0.1", std::to_string(fleet.port(1))}};
    if (fleet.port(1) < fleet.port(0)) std::swap(expected[0], expected[1]);
    EXPECT_EQ(internetListEntries(outcome.resolved), expected);
    EXPECT_EQ(importReport(game, outcome, true),
              (std::vector<std::string>{masters[0].text() + ": 2 servers", masters[1].text() + ": 2 servers",
                                        "Internet BT: 2 servers of 2 listed.", BreakthroughNote}));
}

// The list is replaced only when the import found something to put there.
TEST(MasterImport, ReportSaysWhatBecameOfTheList)
{
    using Outcome = MasterResult::Outcome;
    const MasterGame& aa = *findMasterGame("mohaa");
    struct Row
    {
        std::vector<MasterResult> masters;
        int listed;
        std::vector<ResolvedServer> servers;
        int silent;
        bool replaces;
        const char* last;
    };
    const Row rows[] = {
        {{master("a", Outcome::Refused), master("b", Outcome::TimedOut)},
         0,
         {},
         0,
         false,
         "Internet AA left as it was: no master gave a list."},
        {{master("a", Outcome::Listed, 3)},
         3,
         {},
         3,
         false,
         "Internet AA left as it was: none of the 3 servers listed answered on its query port."},
        {{master("a", Outcome::Listed, 0), master("b", Outcome::Unreachable)},
         0,
         {},
         0,
         true,
         "Internet AA: 0 servers of 0 listed."},
        {{master("a", Outcome::Listed, 3)},
         3,
         {resolved("x", 12203), resolved("y", 12204, GamePortSource::Guessed)},
         1,
         true,
         "Internet AA: 2 servers of 3 listed; 1 did not answer; 1 game ports guessed as query port - 97."},
    };
    for (const Row& row : rows) {
        ImportOutcome outcome;
        outcome.masters = row.masters;
        outcome.listed = row.listed;
        outcome.resolved.servers = row.servers;
        outcome.resolved.silent = row.silent;
        EXPECT_EQ(outcome.replacesList(), row.replaces) << row.last;
        EXPECT_EQ(importReport(aa, outcome, row.replaces).back(), row.last);
    }
    ImportOutcome refused;
    refused.masters = {master("a", Outcome::Refused)};
    refused.masters[0].detail = "closed without a list";
    EXPECT_EQ(importReport(aa, refused, false).front(), "a:28900: refused (closed without a list)");
}

TEST(MasterImport, EntryNamesAreOneLineAndUnique)
{
    ResolveResult result;
    result.servers = {resolved("", 1), resolved("   ", 2), resolved(std::string(100, 'n'), 3),
                      resolved("a\r\nb\x7f", 4), resolved("12203", 5)};
    const std::vector<ServerEntry> entries = internetListEntries(result);
    const std::vector<std::string> names = {"10.0.0.1:1", "10.0.0.1:2",
                                            std::string(64, 'n') + " (10.0.0.1:3)", "ab (10.0.0.1:4)",
                                            "12203 (10.0.0.1:5)"};
    ASSERT_EQ(entries.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(entries[i].name, names[i]);
}

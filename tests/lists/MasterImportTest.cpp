// What an import makes of the masters' lists: the report and the list's entries.

#include "lists/MasterImport.h"

#include <gtest/gtest.h>

using namespace korvane;
using namespace std::string_literals;

namespace {

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

// The list is replaced only when the import found something to put there;
// the window's test shows the report of a list found and of none.
TEST(MasterImport, ReportSaysWhatBecameOfTheList)
{
    using Outcome = MasterResult::Outcome;
    // Whether the list is replaced, and the report's last line.
    const auto ending = [](std::vector<MasterResult> masters, int listed, int silent,
                           std::vector<ResolvedServer> servers) {
        ImportOutcome outcome{std::move(masters), listed, {std::move(servers), silent}};
        return std::pair(outcome.replacesList(),
                         importReport(*findMasterGame("mohaa"), outcome, outcome.replacesList()).back());
    };
    EXPECT_EQ(ending({master("a", Outcome::Listed, 3)}, 3, 3, {}),
              std::pair(false,
                        "Internet AA left as it was: none of the 3 servers listed answered on its query "
                        "port."s));
    EXPECT_EQ(ending({master("a", Outcome::Listed, 0), master("b", Outcome::Unreachable)}, 0, 0, {}),
              std::pair(true, "Internet AA: 0 servers of 0 listed."s));
    EXPECT_EQ(ending({master("a", Outcome::Listed, 3)}, 3, 1,
                     {resolved("x", 12203), resolved("y", 12204, GamePortSource::Guessed)}),
              std::pair(true, "Internet AA: 2 servers of 3 listed; 1 did not answer; 1 game ports guessed as "
                              "query port - 97."s));
}

TEST(MasterImport, EntryNamesAreOneLineAndUnique)
{
    ResolveResult result;
    result.servers = {resolved("", 1), resolved("   ", 2), resolved(std::string(100, 'n'), 3),
                      resolved("\ta\r\nb\x7f\x01 ", 4), resolved("12203", 5)};
    const std::vector<ServerEntry> entries = internetListEntries(result);
    const std::vector<std::string> names = {"10.0.0.1:1", "10.0.0.1:2",
                                            std::string(64, 'n') + " (10.0.0.1:3)", "ab (10.0.0.1:4)",
                                            "12203 (10.0.0.1:5)"};
    ASSERT_EQ(entries.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(entries[i].name, names[i]);
}

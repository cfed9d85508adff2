#include "scan/cli/MasterListing.h"

#include "master/MasterClient.h"
#include "master/QueryPortResolver.h"
#include "scan/ScanOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace korvane {

namespace {

void warn(const std::string& text)
{
    std::cerr << "korvane-scan: " << escapeField(text) << "\n";
}

std::string servers(int count)
{
    return std::to_string(count) + (count == 1 ? " listed server" : " listed servers");
}

} // namespace

std::vector<MasterAddress> dataFolderMasters()
{
    // Never written from here: korvane-scan leaves the data folder as it is.
    const MastersList list = readDataFolderMasters();
    for (const std::string& problem : list.problems)
        warn("warning: " + problem);
    return list.masters;
}

int printMasterListing(const std::string& gameName, const std::vector<MasterAddress>& masters)
{
    const MasterGame* game = findMasterGame(gameName);
    if (!game) return 2;
    if (masters.empty()) {
        warn("no master to ask");
        return 1;
    }
    const std::vector<MasterResult> results = fetchServerLists(*game, masters);
    bool listed = false;
    for (const MasterResult& result : results) {
        listed = listed || result.outcome == MasterResult::Outcome::Listed;
        if (!result.detail.empty()) warn("master " + result.master.text() + ": " + result.detail);
    }
    QueryPortCache cache;
    const ResolveResult resolved = resolveGamePorts(unionOf(results), {}, &cache);
    for (const ResolvedServer& server : resolved.servers)
        if (!server.note.empty()) warn(server.listed.text() + ": " + server.note);
    if (resolved.silent > 0) warn(servers(resolved.silent) + " did not answer on the query port; left out");
    if (resolved.unusable > 0) warn(servers(resolved.unusable) + " gave no usable game port; left out");

    bool written = true;
    for (const ResolvedServer& server : resolved.servers)
        written = written && printLine({server.text(), std::to_string(server.listed.queryPort)});
    for (const MasterResult& result : results)
        written = written && printLine({"master", result.master.text(), result.summary()});
    if (!written || std::fflush(stdout) != 0) {
        warn(std::string("standard output: ") + std::strerror(errno));
        return 1;
    }
    return listed ? 0 : 1;
}

} // namespace korvane

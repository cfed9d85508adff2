#include "lists/MasterImport.h"

#include "platform/Convert.h"
#include "platform/HaltSwitch.h"

#include <algorithm>

namespace korvane {

namespace {

// Longer server names are cut; the address after them keeps them apart.
constexpr std::size_t MaxNameBytes = 64;

std::string servers(int count)
{
    return std::to_string(count) + (count == 1 ? " server" : " servers");
}

} // namespace

bool ImportOutcome::anyList() const
{
    return std::any_of(masters.begin(), masters.end(),
                       [](const MasterResult& m) { return m.outcome == MasterResult::Outcome::Listed; });
}

bool ImportOutcome::replacesList() const
{
    return anyList() && (listed == 0 || !resolved.servers.empty());
}

ImportOutcome runMasterImport(const MasterGame& game, const std::vector<MasterAddress>& masters,
                              ImportView& view, QueryPortCache& cache, const HaltSwitch& halt,
                              const FetchOptions& fetch, const ResolveOptions& resolve)
{
    ImportOutcome outcome;
    outcome.masters =
        fetchServerLists(game, masters, fetch, &halt, [&](const MasterResult& r) { view.masterEnded(r); });
    const std::vector<ListedServer> listed = unionOf(outcome.masters);
    outcome.listed = static_cast<int>(listed.size());
    int reported = -1;
    outcome.resolved = resolveGamePorts(listed, resolve, &cache, &halt, [&](int ended, int total) {
        if (ended == reported) return;
        reported = ended;
        view.resolving(ended, total);
    });
    return outcome;
}

std::vector<ServerEntry> internetListEntries(const ResolveResult& resolved)
{
    std::vector<ServerEntry> entries;
    for (const ResolvedServer& server : resolved.servers) {
        std::string name;
        for (const char c : server.hostName)
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) name += c;
        name = std::string(trimmed(trimmed(name).substr(0, MaxNameBytes)));
        const std::string address = server.text();
        entries.push_back({name.empty() ? address : name + " (" + address + ")", server.listed.address(),
                           std::to_string(server.gamePort)});
    }
    return entries;
}

std::string importSummary(const MasterGame& game, const ImportOutcome& outcome, bool written)
{
    const ResolveResult& resolved = outcome.resolved;
    std::string last = game.listName;
    if (!outcome.anyList()) {
        last += " left as it was: no master gave a list.";
    } else if (!outcome.replacesList()) {
        last +=
            " left as it was: none of the " + servers(outcome.listed) + " listed answered on its query port.";
    } else if (!written) {
        last += " left as it was.";
    } else {
        last += ": " + servers(static_cast<int>(resolved.servers.size())) + " of " +
                std::to_string(outcome.listed) + " listed";
        const auto guessed = std::count_if(resolved.servers.begin(), resolved.servers.end(),
                                           [](const auto& s) { return s.source == GamePortSource::Guessed; });
        if (resolved.silent > 0) last += "; " + std::to_string(resolved.silent) + " did not answer";
        if (resolved.unusable > 0) last += "; " + std::to_string(resolved.unusable) + " gave no game port";
        if (guessed > 0) last += "; " + std::to_string(guessed) + " game ports guessed as query port - 97";
        last += ".";
    }
    return last;
}

} // namespace korvane

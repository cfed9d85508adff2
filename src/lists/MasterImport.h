#pragma once
// An import from the masters: one game's public servers fetched, their game
// ports found, and the game's own list ("Internet AA", "Internet SH",
// "Internet BT") replaced by them. The worker reports through a narrow view;
// the list is written on the window's side, atomically, and only when the
// import found something to put in it, so a failed import never empties it.

#include "app/ServerListFile.h"
#include "master/MasterClient.h"
#include "master/QueryPortResolver.h"

#include <string>
#include <vector>

namespace korvane {

class HaltSwitch;

// What the import worker may tell the window while it runs.
class ImportView
{
public:
    virtual ~ImportView() = default;
    virtual void masterEnded(const MasterResult& result) = 0;
    // Query ports answered or given up so far, of total.
    virtual void resolving(int ended, int total) = 0;
};

struct ImportOutcome
{
    std::vector<MasterResult> masters;
    int listed = 0; // servers the masters listed, each once
    ResolveResult resolved;

    bool anyList() const;
    // Some master gave a list, and it is empty or some server on it answered.
    bool replacesList() const;
};

// Fetch and resolve on the calling thread; writes nothing. Throws
// WorkerHalted when halted.
ImportOutcome runMasterImport(const MasterGame& game, const std::vector<MasterAddress>& masters,
                              ImportView& view, QueryPortCache& cache, const HaltSwitch& halt,
                              const FetchOptions& fetch = {}, const ResolveOptions& resolve = {});

// One entry per server: the name it gives itself followed by its address in
// brackets (so every name is unique, and never equals an address or port
// line), its IP and its game port.
std::vector<ServerEntry> internetListEntries(const ResolveResult& resolved);

// What became of the list at the end of an import (written says whether it
// was); each master's own result is shown beside it.
std::string importSummary(const MasterGame& game, const ImportOutcome& outcome, bool written);

// Said wherever Breakthrough servers are listed: the Windows games have no
// Breakthrough program to start.
inline constexpr const char* BreakthroughNote =
    "Breakthrough servers can be listed and scanned; connect joins them only with the OpenMoHAA engine.";

} // namespace korvane

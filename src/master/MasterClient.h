#pragma once
// Asks every master for a game's server list at once, over TCP in one poll
// loop, and says per master what came of it.

#include "master/MasterProtocol.h"
#include "master/MasterReply.h"
#include "master/MastersFile.h"

#include <functional>
#include <string>
#include <vector>

namespace korvane {

class HaltSwitch;

// Masters drop a client idle this long; a master that says nothing for as
// long is dropped too.
inline constexpr int MasterIdleTimeoutMs = 15000;

struct MasterResult
{
    enum class Outcome { Listed, Refused, TimedOut, Unreachable, BadReply };
    MasterAddress master;
    Outcome outcome = Outcome::Unreachable;
    std::vector<ListedServer> servers; // sorted, each once
    std::string detail;                // why, or what was dropped from the list; may be empty
    int skipped = 0;                   // entries with an unusable address or port
    int repeated = 0;
    bool cut = false;

    // "12 servers" (also "1 servers"), "refused", "timed out", "unreachable", "bad reply".
    std::string summary() const;
};

struct FetchOptions
{
    int idleTimeoutMs = MasterIdleTimeoutMs;
    std::size_t maxReplyBytes = MaxMasterReplyBytes;
};

// One result per master, in the order given; done runs as each master ends.
// Throws WorkerHalted when halt is halted meanwhile (it may be null).
std::vector<MasterResult> fetchServerLists(const MasterGame& game, const std::vector<MasterAddress>& masters,
                                           const FetchOptions& options = {}, const HaltSwitch* halt = nullptr,
                                           const std::function<void(const MasterResult&)>& done = {});

// Every server any master listed, sorted, each once.
std::vector<ListedServer> unionOf(const std::vector<MasterResult>& results);

} // namespace korvane

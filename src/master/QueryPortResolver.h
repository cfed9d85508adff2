#pragma once
// A master lists each server's GameSpy query port; the list needs its game
// port. Each query port is asked for its status over UDP, and the game port
// read from the "hostport" of the answer. A server whose query port does not
// answer in time is left out.

#include "master/MasterReply.h"

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

class HaltSwitch;

inline constexpr int QueryPortTimeoutMs = 3000;

struct ResolveOptions
{
    int timeoutMs = QueryPortTimeoutMs;
    int inFlight = 1024; // query ports asked at once
    int sockets = 8;
};

// Where a game port came from: the server's own word, its word in an
// earlier answer, or the games' default layout (query port - 97).
enum class GamePortSource { HostPort, Remembered, Guessed };

struct ResolvedServer
{
    ListedServer listed;
    int gamePort = 0;
    GamePortSource source = GamePortSource::HostPort;
    std::string hostName; // as the server calls itself, control bytes and all
    std::string note;     // why the game port is not the server's own word now
    std::string text() const { return listed.address() + ":" + std::to_string(gamePort); }
};

struct ResolveResult
{
    std::vector<ResolvedServer> servers; // sorted by address and game port, each game address once
    int silent = 0;                      // no answer within the time-out: left out
    int unusable = 0;                    // an answer without a usable game port: left out
};

// The game port each query port gave in its "hostport", for an answer that
// comes without one later (a server's status may span several datagrams, and
// the first to arrive need not hold it). Only ever consulted for a server that
// has just answered, so it never brings back a server that is gone.
class QueryPortCache
{
public:
    std::optional<int> gamePort(const ListedServer& server) const;
    void remember(const ListedServer& server, int gamePort);

private:
    mutable std::mutex m_mutex;
    std::map<ListedServer, int> m_ports;
};

// What one answer says about a server; nothing when it gives no usable game port.
std::optional<ResolvedServer> resolveFromReply(const ListedServer& server, const std::string& reply,
                                               QueryPortCache* cache);

// Asks every listed server (each once); progress(ended, total) as answers
// come. Throws WorkerHalted when halt (which may be null) is halted.
ResolveResult resolveGamePorts(const std::vector<ListedServer>& servers, const ResolveOptions& options = {},
                               QueryPortCache* cache = nullptr, const HaltSwitch* halt = nullptr,
                               const std::function<void(int ended, int total)>& progress = {});

} // namespace korvane

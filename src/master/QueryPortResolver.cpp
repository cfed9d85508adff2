#include "master/QueryPortResolver.h"

#include "master/GameSpyStatus.h"
#include "platform/HaltSwitch.h"
#include "platform/UdpExchangePool.h"

#include <algorithm>
#include <set>

namespace korvane {

std::optional<int> QueryPortCache::gamePort(const ListedServer& server) const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto found = m_ports.find(server);
    if (found == m_ports.end()) return std::nullopt;
    return found->second;
}

void QueryPortCache::remember(const ListedServer& server, int gamePort)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_ports[server] = gamePort;
}

std::optional<ResolvedServer> resolveFromReply(const ListedServer& server, const std::string& reply,
                                               QueryPortCache* cache)
{
    const GameSpyStatus status = parseGameSpyStatus(reply);
    if (!status.answered) return std::nullopt;
    ResolvedServer resolved;
    resolved.listed = server;
    resolved.hostName = status.hostName;
    if (status.hostPort > 0) {
        resolved.gamePort = status.hostPort;
        if (cache) cache->remember(server, status.hostPort);
        return resolved;
    }
    const std::string why = status.hostPortSent ? "its hostport is not a port" : "it gave no hostport";
    if (const std::optional<int> remembered = cache ? cache->gamePort(server) : std::nullopt) {
        resolved.gamePort = *remembered;
        resolved.source = GamePortSource::Remembered;
        resolved.note = why + "; game port " + std::to_string(*remembered) + " from its earlier answer";
        return resolved;
    }
    if (server.queryPort <= QueryPortOffset) return std::nullopt;
    resolved.gamePort = server.queryPort - QueryPortOffset;
    resolved.source = GamePortSource::Guessed;
    resolved.note = why + "; game port taken as " + std::to_string(resolved.gamePort) + " (query port - 97)";
    return resolved;
}

ResolveResult resolveGamePorts(const std::vector<ListedServer>& listed, const ResolveOptions& options,
                               QueryPortCache* cache, const HaltSwitch* halt,
                               const std::function<void(int, int)>& progress)
{
    std::vector<ListedServer> servers = listed;
    std::sort(servers.begin(), servers.end());
    servers.erase(std::unique(servers.begin(), servers.end()), servers.end());
    const int total = static_cast<int>(servers.size());

    ResolveResult result;
    std::set<std::pair<std::uint32_t, int>> gameAddresses;
    auto finish = [&](int id, const std::string* reply) {
        if (!reply) {
            ++result.silent;
            return;
        }
        std::optional<ResolvedServer> resolved =
            resolveFromReply(servers[static_cast<std::size_t>(id)], *reply, cache);
        if (!resolved)
            ++result.unusable;
        else if (gameAddresses.emplace(resolved->listed.ip, resolved->gamePort).second)
            result.servers.push_back(std::move(*resolved));
    };

    // The pool paces the requests to the line and ends every exchange,
    // answered or not, each time-out counted from its own request.
    UdpExchangePool pool(options.sockets);
    pool.setTimeout(options.timeoutMs);
    int ended = 0;
    const auto onEnd = [&](int id, std::optional<std::string> reply) {
        finish(id, reply ? &*reply : nullptr);
        ++ended;
    };
    int next = 0;
    while (ended < total) {
        if (halt && halt->halted()) throw WorkerHalted{};
        while (next < total && pool.pending() < options.inFlight) {
            const ListedServer& server = servers[static_cast<std::size_t>(next)];
            pool.submit(next++, server.address(), server.queryPort, GameSpyStatusRequest);
        }
        pool.pump(onEnd);
        if (progress) progress(ended, total);
        if (ended >= total) break;
        pool.wait(halt ? halt->wakeHandle() : -1);
    }
    std::sort(result.servers.begin(), result.servers.end(),
              [](const ResolvedServer& a, const ResolvedServer& b) {
                  return std::pair(a.listed.ip, a.gamePort) < std::pair(b.listed.ip, b.gamePort);
              });
    return result;
}

} // namespace korvane

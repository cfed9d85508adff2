#include "master/QueryPortResolver.h"

#include "master/GameSpyStatus.h"
#include "platform/HaltSwitch.h"
#include "platform/UdpExchangePool.h"

#include <algorithm>
#include <chrono>
#include <queue>
#include <set>

namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;

// How soon a send the pool put off is tried again when nothing else wakes the wait.
constexpr int RetryMs = 10;

} // namespace

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

    UdpExchangePool pool(options.sockets);
    using Deadline = std::pair<Clock::time_point, int>;
    std::priority_queue<Deadline, std::vector<Deadline>, std::greater<>> deadlines;
    int next = 0;
    int ended = 0;
    while (ended < total) {
        if (halt && halt->halted()) throw WorkerHalted{};
        bool putOff = false;
        while (next < total && pool.waiting() < options.inFlight) {
            const ListedServer& server = servers[static_cast<std::size_t>(next)];
            try {
                if (pool.send(next, server.address(), server.queryPort, GameSpyStatusRequest,
                              options.timeoutMs) != UdpExchangePool::Start::Sent) {
                    putOff = true;
                    break;
                }
                deadlines.emplace(Clock::now() + std::chrono::milliseconds(options.timeoutMs), next);
            } catch (const std::exception&) {
                finish(next, nullptr); // a send that fails is a server that cannot answer
                ++ended;
            }
            ++next;
        }
        // The clock is read first: a reply that came in time is waiting by then.
        const Clock::time_point now = Clock::now();
        pool.drain([&](int id, std::string reply) {
            finish(id, &reply);
            ++ended;
        });
        while (!deadlines.empty() && deadlines.top().first <= now) {
            if (pool.forget(deadlines.top().second)) {
                finish(deadlines.top().second, nullptr);
                ++ended;
            }
            deadlines.pop();
        }
        if (progress) progress(ended, total);
        if (ended >= total) break;
        long long waitMs = RetryMs;
        if (!deadlines.empty())
            waitMs =
                std::chrono::ceil<std::chrono::milliseconds>(deadlines.top().first - Clock::now()).count();
        if (putOff) waitMs = std::min<long long>(waitMs, RetryMs);
        pool.wait(static_cast<int>(std::max<long long>(waitMs, 0)), halt ? halt->wakeHandle() : -1);
    }
    std::sort(result.servers.begin(), result.servers.end(),
              [](const ResolvedServer& a, const ResolvedServer& b) {
                  return std::pair(a.listed.ip, a.gamePort) < std::pair(b.listed.ip, b.gamePort);
              });
    return result;
}

} // namespace korvane

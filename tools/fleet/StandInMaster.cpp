#include "fleet/StandInMaster.h"

#include "fleet/LocalAddress.h"
#include "master/MasterProtocol.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace korvane::fleet {

namespace {

using Clock = std::chrono::steady_clock;

// A request longer than this without its end is no client's.
constexpr std::size_t MaxRequestBytes = 4096;

int listen(const std::string& address, int port)
{
    socklen_t length = 0;
    const sockaddr_storage local = localAddress(address, port, length);
    const int fd = ::socket(local.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), length) != 0 || ::listen(fd, 64) != 0) {
        const int error = errno;
        ::close(fd);
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port) + ": " +
                                 std::strerror(error));
    }
    return fd;
}

struct Client
{
    int fd = -1;
    std::size_t master = 0;
    std::string challenge;
    std::string request;
    bool answered = false; // the request has been dealt with
    std::string out;       // what goes out as the socket takes it
    std::string later;     // what a slow master still holds back
    Clock::time_point nextPiece{};
    bool closeWhenSent = false;
    bool countList = false;
};

} // namespace

std::string masterListBytes(const std::vector<std::string>& entries, ListForm form)
{
    std::string bytes;
    for (const std::string& entry : entries) {
        const std::size_t colon = entry.rfind(':');
        in_addr address{};
        if (colon == std::string::npos || ::inet_pton(AF_INET, entry.substr(0, colon).c_str(), &address) != 1)
            continue;
        const int port = std::atoi(entry.c_str() + colon + 1);
        if (form == ListForm::Plain) {
            bytes += "\\ip\\" + entry;
            continue;
        }
        bytes.append(reinterpret_cast<const char*>(&address.s_addr), 4); // already in network order
        bytes += static_cast<char>(port >> 8 & 0xFF);
        bytes += static_cast<char>(port & 0xFF);
    }
    return bytes + "\\final\\";
}

StandInMasters::~StandInMasters()
{
    stop();
}

void StandInMasters::start(const FleetConfig& config, const std::vector<int>& queryPorts)
{
    if (m_thread.joinable()) return;
    m_masters = config.masters;
    for (std::size_t i = 0; i < config.servers.size() && i < queryPorts.size(); ++i)
        if (queryPorts[i] > 0)
            m_entries[gameSpyName(config.servers[i].game)].push_back(config.bindAddress + ":" +
                                                                     std::to_string(queryPorts[i]));
    try {
        for (const MasterConfig& master : m_masters) {
            m_listeners.push_back(listen(config.bindAddress, master.port));
            m_ports.push_back(boundPort(m_listeners.back()));
        }
        if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("pipe failed");
    } catch (...) {
        stop();
        throw;
    }
    m_thread = std::thread([this] { run(); });
}

void StandInMasters::stop()
{
    if (m_thread.joinable()) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &byte, 1);
        m_thread.join();
    }
    for (int fd : m_listeners)
        ::close(fd);
    m_listeners.clear();
    for (int& fd : m_wake) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void StandInMasters::run()
{
    std::vector<std::unique_ptr<Client>> clients;
    std::mt19937 rng(0x6d6173u);
    auto closeClient = [](Client& client) {
        ::close(client.fd);
        client.fd = -1;
    };

    // Answers a whole request: the list, a refusal or nothing at all.
    auto answer = [&](Client& client) {
        const MasterConfig& master = m_masters[client.master];
        client.answered = true;
        const MasterGame* game = findMasterGame(requestValue(client.request, "gamename"));
        const bool valid =
            game && requestValue(client.request, "validate") == validateAnswer(client.challenge, game->key);
        if (!valid || master.behaviour == MasterBehaviour::Refuse) return closeClient(client);
        if (master.behaviour == MasterBehaviour::HalfDead) return;
        if (master.behaviour == MasterBehaviour::Echo) {
            client.out = "\\echo\\ the master turned you away\\final\\";
            client.closeWhenSent = true;
            return;
        }
        const std::vector<std::string>& listed = m_entries[game->name];
        std::vector<std::string> entries = listed;
        if (master.listTwice) entries.insert(entries.end(), listed.begin(), listed.end());
        entries.insert(entries.end(), master.extra.begin(), master.extra.end());
        const std::string list = masterListBytes(entries, master.form);
        if (master.behaviour == MasterBehaviour::Slow) {
            client.later = list;
            client.nextPiece = Clock::now() + std::chrono::milliseconds(master.delayMs);
        } else {
            client.out = list;
            client.closeWhenSent = true;
        }
        client.countList = true;
    };

    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        fds.push_back({m_wake[0], POLLIN, 0});
        for (int fd : m_listeners)
            fds.push_back({fd, POLLIN, 0});
        int timeout = -1;
        const auto now = Clock::now();
        for (const auto& client : clients) {
            fds.push_back({client->fd, static_cast<short>(POLLIN | (client->out.empty() ? 0 : POLLOUT)), 0});
            if (!client->later.empty()) {
                const auto wait =
                    std::chrono::ceil<std::chrono::milliseconds>(client->nextPiece - now).count();
                timeout = timeout < 0 ? std::max<int>(0, static_cast<int>(wait))
                                      : std::min(timeout, std::max<int>(0, static_cast<int>(wait)));
            }
        }
        if (::poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) break;
        if (fds[0].revents != 0) break;

        for (std::size_t m = 0; m < m_listeners.size(); ++m) {
            if (fds[1 + m].revents == 0) continue;
            const int fd = ::accept4(m_listeners[m], nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) continue;
            auto client = std::make_unique<Client>();
            client->fd = fd;
            client->master = m;
            for (int i = 0; i < 6; ++i)
                client->challenge += static_cast<char>('A' + rng() % 26);
            if (m_masters[m].behaviour != MasterBehaviour::Silent)
                client->out = "\\basic\\\\secure\\" + client->challenge +
                              (m_masters[m].finalAfterGreeting ? "\\final\\" : "");
            clients.push_back(std::move(client));
        }

        const std::size_t first = 1 + m_listeners.size();
        const std::size_t polled = fds.size() - first;
        for (std::size_t k = 0; k < polled; ++k) {
            Client& client = *clients[k];
            const short events = fds[first + k].revents;
            if (events & POLLIN) {
                char buffer[4096];
                const ssize_t got = ::recv(client.fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (got <= 0) {
                    closeClient(client);
                    continue;
                }
                if (!client.answered) {
                    client.request.append(buffer, static_cast<std::size_t>(got));
                    const std::size_t list = client.request.find("\\list\\");
                    if (list != std::string::npos &&
                        client.request.find("\\final\\", list) != std::string::npos)
                        answer(client);
                    else if (client.request.size() > MaxRequestBytes)
                        closeClient(client);
                    if (client.fd < 0) continue;
                }
            } else if (events & (POLLERR | POLLHUP)) {
                closeClient(client);
                continue;
            }
            if (!client.later.empty() && Clock::now() >= client.nextPiece) {
                client.out += client.later.substr(0, 6);
                client.later.erase(0, 6);
                client.nextPiece = Clock::now() + std::chrono::milliseconds(m_masters[client.master].delayMs);
                client.closeWhenSent = client.later.empty();
            }
            if (!client.out.empty()) {
                const ssize_t sent = ::send(client.fd, client.out.data(), client.out.size(), MSG_NOSIGNAL);
                if (sent > 0) client.out.erase(0, static_cast<std::size_t>(sent));
                if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                    closeClient(client);
                    continue;
                }
            }
            if (client.out.empty() && client.closeWhenSent) {
                if (client.countList) ++m_lists;
                closeClient(client);
            }
        }
        std::erase_if(clients, [](const auto& client) { return client->fd < 0; });
    }
    for (const auto& client : clients)
        ::close(client->fd);
}

} // namespace korvane::fleet

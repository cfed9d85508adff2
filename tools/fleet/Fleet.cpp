#include "fleet/Fleet.h"

#include "fleet/LocalAddress.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <queue>
#include <stdexcept>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

#ifndef KORVANE_FLEET_PROGRAM
#define KORVANE_FLEET_PROGRAM "korvane-fleet"
#endif

namespace korvane::fleet {

namespace {

using Clock = std::chrono::steady_clock;

struct Pending
{
    Clock::time_point due;
    std::uint64_t order; // datagrams due together leave in the order they were made
    int fd;
    std::string bytes;
    sockaddr_storage peer;
    socklen_t peerLength;
    bool operator>(const Pending& other) const
    {
        return due != other.due ? due > other.due : order > other.order;
    }
};

// A thousand servers need more descriptors than the usual soft limit of 1024.
void raiseDescriptorLimit(std::size_t needed)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < needed + 64) {
        limit.rlim_cur =
            limit.rlim_max == RLIM_INFINITY ? needed + 64 : std::min<rlim_t>(limit.rlim_max, needed + 64);
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

int bindServer(const std::string& address, int port)
{
    socklen_t length = 0;
    const sockaddr_storage local = localAddress(address, port, length);
    const int fd = ::socket(local.ss_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), length) != 0) {
        const int error = errno;
        ::close(fd);
        throw std::runtime_error("cannot bind " + address + ":" + std::to_string(port) + ": " +
                                 std::strerror(error));
    }
    return fd;
}

enum class Request { None, Status, Info, Rcon };

Request classify(const std::string& d)
{
    if (d.compare(0, 4, "\xFF\xFF\xFF\xFF") != 0) return Request::None;
    std::size_t pos = 4;
    if (pos < d.size() && d[pos] == '\x02') ++pos;
    if (d.compare(pos, 9, "getstatus") == 0) return Request::Status;
    if (d.compare(pos, 7, "getinfo") == 0) return Request::Info;
    if (d.compare(pos, 5, "rcon ") == 0) return Request::Rcon;
    return Request::None;
}

} // namespace

Fleet::Fleet(FleetConfig config) : m_config(std::move(config)) {}

Fleet::~Fleet()
{
    stop();
}

void Fleet::start()
{
    if (running()) return;
    raiseDescriptorLimit(2 * m_config.servers.size() + m_config.masters.size() + 2);
    try {
        for (const ServerConfig& server : m_config.servers) {
            m_fds.push_back(bindServer(m_config.bindAddress, server.port));
            m_ports.push_back(boundPort(m_fds.back()));
        }
        for (const ServerConfig& server : m_config.servers) {
            m_queryFds.push_back(server.queryPort < 0 ? -1
                                                      : bindServer(m_config.bindAddress, server.queryPort));
            m_queryPorts.push_back(m_queryFds.back() < 0 ? 0 : boundPort(m_queryFds.back()));
        }
        m_masters.start(m_config, m_queryPorts);
        if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("pipe failed");
        for (const ServerConfig& server : m_config.servers)
            if (server.behaviour == Behaviour::Stray && m_forgers[0] < 0) {
                m_forgers[0] = bindServer(m_config.bindAddress, 0);
                try {
                    m_forgers[1] = bindServer("::1", 0);
                } catch (const std::runtime_error&) {
                }
            }
    } catch (...) {
        m_masters.stop();
        for (int fd : m_fds)
            ::close(fd);
        for (int fd : m_queryFds)
            if (fd >= 0) ::close(fd);
        m_fds.clear();
        m_ports.clear();
        m_queryFds.clear();
        m_queryPorts.clear();
        throw;
    }
    m_thread = std::thread([this] { run(); });
}

void Fleet::stop()
{
    m_masters.stop();
    if (m_thread.joinable()) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wake[1], &byte, 1);
        m_thread.join();
    }
    for (int fd : m_fds)
        ::close(fd);
    m_fds.clear();
    for (int fd : m_queryFds)
        if (fd >= 0) ::close(fd);
    m_queryFds.clear();
    for (int& fd : m_wake) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    for (int& fd : m_forgers) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

std::string Fleet::serverListText() const
{
    return fleet::serverListText(m_config, m_ports);
}

void Fleet::run()
{
    // epoll, not poll: a fleet of thousands would scan every socket per wake.
    const int epoll = ::epoll_create1(EPOLL_CLOEXEC);
    if (epoll < 0) return;
    constexpr std::uint64_t WakeTag = ~std::uint64_t{0};
    epoll_event wake{};
    wake.events = EPOLLIN;
    wake.data.u64 = WakeTag;
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, m_wake[0], &wake);
    // Game sockets are tagged 0..n-1, query ports n..2n-1.
    const std::size_t n = m_fds.size();
    for (std::size_t i = 0; i < 2 * n; ++i) {
        const int fd = i < n ? m_fds[i] : m_queryFds[i - n];
        if (fd < 0) continue;
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = i;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event);
    }
    struct CloseEpoll
    {
        int fd;
        ~CloseEpoll() { ::close(fd); }
    } closeEpoll{epoll};
    std::vector<epoll_event> events(256);
    std::priority_queue<Pending, std::vector<Pending>, std::greater<>> pending;
    std::uint64_t order = 0;
    std::mt19937 rng(0x4b6f72u);
    std::string buffer(65536, '\0');

    auto sendTo = [&](int fd, const std::string& bytes, const sockaddr_storage& peer, socklen_t len) {
        if (::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&peer), len) >= 0)
            ++m_replies;
    };

    // The forged reply reaches the asker's port from elsewhere before the real one.
    auto forge = [&](const ServerConfig& config, const sockaddr_storage& peer, socklen_t len) {
        const std::string bytes = forgedReply(config);
        ::sendto(m_forgers[0], bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&peer), len);
        if (m_forgers[1] < 0) return;
        socklen_t length = 0;
        const sockaddr_storage local = localAddress("::1", portOf(peer), length);
        ::sendto(m_forgers[1], bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&local),
                 length);
    };

    for (;;) {
        int timeout = -1;
        if (!pending.empty()) {
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(pending.top().due - Clock::now());
            timeout = wait.count() < 0 ? 0 : static_cast<int>(wait.count());
        }
        const int ready = ::epoll_wait(epoll, events.data(), static_cast<int>(events.size()), timeout);
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0) {
            for (int e = 0; e < ready; ++e)
                if (events[static_cast<std::size_t>(e)].data.u64 == WakeTag) return;
            for (int e = 0; e < ready; ++e) {
                const std::size_t tag = events[static_cast<std::size_t>(e)].data.u64;
                const bool query = tag >= n;
                const std::size_t server = query ? tag - n : tag;
                const int fd = query ? m_queryFds[server] : m_fds[server];
                // Drain a few datagrams per socket so a flooded server cannot starve the rest.
                for (int burst = 0; burst < 16; ++burst) {
                    sockaddr_storage peer{};
                    socklen_t len = sizeof peer;
                    const ssize_t got = ::recvfrom(fd, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                                   reinterpret_cast<sockaddr*>(&peer), &len);
                    if (got < 0) break;
                    const std::string datagram(buffer.data(), static_cast<std::size_t>(got));
                    ServerConfig& config = m_config.servers[server];
                    if (config.behaviour == Behaviour::Silent) continue;
                    const bool stray = config.behaviour == Behaviour::Stray;
                    const bool slow = (config.behaviour == Behaviour::Slow || stray) && config.delayMs > 0;
                    std::vector<std::string> replies;
                    if (query) {
                        if (datagram.find("\\status\\") != std::string::npos)
                            replies.push_back(gameSpyStatusReply(config, m_ports[server]));
                    } else if (stray && classify(datagram) == Request::Status) {
                        forge(config, peer, len);
                    }
                    switch (query ? Request::None : classify(datagram)) {
                    case Request::Status:
                        replies.push_back(statusReply(config, rng));
                        break;
                    case Request::Info:
                        replies.push_back(config.behaviour == Behaviour::Answer ||
                                                  config.behaviour == Behaviour::Slow ||
                                                  config.behaviour == Behaviour::Full
                                              ? infoReply(config)
                                              : statusReply(config, rng));
                        break;
                    case Request::Rcon:
                        replies = rconReply(config, datagram);
                        break;
                    case Request::None:
                        break;
                    }
                    const auto due = Clock::now() + std::chrono::milliseconds(config.delayMs);
                    for (std::string& reply : replies) {
                        if (reply.empty()) continue;
                        if (slow)
                            pending.push({due, order++, fd, std::move(reply), peer, len});
                        else
                            sendTo(fd, reply, peer, len);
                    }
                }
            }
        }
        const auto now = Clock::now();
        while (!pending.empty() && pending.top().due <= now) {
            const Pending& p = pending.top();
            sendTo(p.fd, p.bytes, p.peer, p.peerLength);
            pending.pop();
        }
    }
}

FleetProcess::~FleetProcess()
{
    stop();
}

FleetProcess::FleetProcess(FleetProcess&& other) noexcept
    : m_pid(std::exchange(other.m_pid, -1)), m_out(std::exchange(other.m_out, -1)),
      m_ports(std::move(other.m_ports))
{}

FleetProcess& FleetProcess::operator=(FleetProcess&& other) noexcept
{
    if (this != &other) {
        stop();
        m_pid = std::exchange(other.m_pid, -1);
        m_out = std::exchange(other.m_out, -1);
        m_ports = std::move(other.m_ports);
    }
    return *this;
}

FleetProcess FleetProcess::launch(const std::string& program, const std::vector<std::string>& args,
                                  int timeoutMs)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    FleetProcess process;
    process.m_pid = pid;
    process.m_out = pipeFds[0];

    // The program prints one "PORT<TAB>NAME" line per server, then "ready".
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string text;
    for (;;) {
        std::size_t lf;
        while ((lf = text.find('\n')) != std::string::npos) {
            const std::string line = text.substr(0, lf);
            text.erase(0, lf + 1);
            if (line == "ready") return process;
            if (!line.empty() && line[0] >= '0' && line[0] <= '9') process.m_ports.push_back(std::stoi(line));
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{process.m_out, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0)
            throw std::runtime_error("korvane-fleet did not report its ports in time");
        char chunk[4096];
        const ssize_t got = ::read(process.m_out, chunk, sizeof chunk);
        if (got <= 0) throw std::runtime_error("korvane-fleet ended before serving");
        text.append(chunk, static_cast<std::size_t>(got));
    }
}

int FleetProcess::stop()
{
    if (m_out >= 0) ::close(m_out);
    m_out = -1;
    if (m_pid <= 0) return -1;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string fleetProgramPath()
{
    return KORVANE_FLEET_PROGRAM;
}

} // namespace korvane::fleet

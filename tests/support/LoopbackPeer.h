#pragma once
// A scripted UDP peer on 127.0.0.1 for exchange tests: answers the n-th
// datagram it receives with what the script says, after the script's delay.

#include "fleet/LocalAddress.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace korvane::test {

// A socket of this type bound to a free port on 127.0.0.1; port receives the port.
inline int bindLoopbackSocket(int type, int& port)
{
    socklen_t length = 0;
    const sockaddr_storage local = fleet::localAddress("127.0.0.1", 0, length);
    const int fd = ::socket(AF_INET, type, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&local), length) != 0)
        throw std::runtime_error("cannot bind a loopback socket");
    port = fleet::boundPort(fd);
    return fd;
}

struct PeerReply
{
    std::string bytes;
    int delayMs = 0;
};

class LoopbackPeer
{
public:
    using Script = std::function<std::optional<PeerReply>(int index, const std::string& request)>;

    explicit LoopbackPeer(Script script) : m_script(std::move(script))
    {
        m_fd = bindLoopbackSocket(SOCK_DGRAM | SOCK_NONBLOCK, m_port);
        m_thread = std::thread([this] { run(); });
    }

    // Answers every request with the same bytes.
    static Script always(std::string bytes, int delayMs = 0)
    {
        return [bytes, delayMs](int, const std::string&) {
            return std::optional<PeerReply>({bytes, delayMs});
        };
    }

    ~LoopbackPeer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }

    int port() const { return m_port; }
    std::string portText() const { return std::to_string(m_port); }
    int requests() const { return m_requests.load(); }
    // Datagrams sent back so far; on loopback a sent one is already waiting.
    int replies() const { return m_replies.load(); }
    std::string lastRequest() const
    {
        std::lock_guard lock(m_mutex);
        return m_last;
    }

private:
    struct Due
    {
        std::chrono::steady_clock::time_point at;
        std::string bytes;
        sockaddr_in peer;
    };

    void run()
    {
        std::vector<Due> due;
        char buffer[65536];
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            ::poll(&p, 1, 5);
            sockaddr_in from{};
            socklen_t length = sizeof from;
            const ssize_t got =
                ::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
            if (got >= 0) {
                const std::string request(buffer, static_cast<std::size_t>(got));
                {
                    std::lock_guard lock(m_mutex);
                    m_last = request;
                }
                const int index = m_requests++;
                if (auto reply = m_script(index, request))
                    due.push_back(
                        {std::chrono::steady_clock::now() + std::chrono::milliseconds(reply->delayMs),
                         reply->bytes, from});
            }
            const auto now = std::chrono::steady_clock::now();
            for (auto it = due.begin(); it != due.end();) {
                if (it->at <= now) {
                    ::sendto(m_fd, it->bytes.data(), it->bytes.size(), 0,
                             reinterpret_cast<sockaddr*>(&it->peer), sizeof it->peer);
                    ++m_replies;
                    it = due.erase(it);
                } else {
                    ++it;
                }
            }
        }
    }

    Script m_script;
    int m_fd = -1;
    int m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::atomic<int> m_replies{0};
    mutable std::mutex m_mutex;
    std::string m_last;
};

// A socket on 127.0.0.1 that sends when the test says, always from one port:
// a server whose datagrams come as the test needs them.
class LoopbackSender
{
public:
    LoopbackSender() { m_fd = bindLoopbackSocket(SOCK_DGRAM, m_port); }
    ~LoopbackSender() { ::close(m_fd); }
    LoopbackSender(const LoopbackSender&) = delete;
    LoopbackSender& operator=(const LoopbackSender&) = delete;

    int port() const { return m_port; }
    // On loopback a datagram sent is already waiting at its port.
    bool sendTo(int port, const std::string& bytes) const
    {
        socklen_t length = 0;
        const sockaddr_storage to = fleet::localAddress("127.0.0.1", port, length);
        return ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                        length) == static_cast<ssize_t>(bytes.size());
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

// One datagram to a local port from a fresh socket on 127.0.0.1, or on ::1;
// false where it cannot be sent (no IPv6 loopback).
inline bool sendStray(int port, const std::string& bytes, bool fromIpv6 = false)
{
    const int fd = ::socket(fromIpv6 ? AF_INET6 : AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return false;
    socklen_t length = 0;
    const sockaddr_storage to = fleet::localAddress(fromIpv6 ? "::1" : "127.0.0.1", port, length);
    const ssize_t sent =
        ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), length);
    ::close(fd);
    return sent == static_cast<ssize_t>(bytes.size());
}

// A loopback port where nothing listens (bound, then released), for UDP or TCP.
inline int unusedPort(int type = SOCK_DGRAM)
{
    int port = 0;
    ::close(bindLoopbackSocket(type, port));
    return port;
}

} // namespace korvane::test

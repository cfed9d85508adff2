#include "platform/UdpClient.h"

#include "platform/Errors.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace korvane {

UdpClient::~UdpClient()
{
    close();
}

void UdpClient::open()
{
    if (isOpen()) return;
    int family = 0;
    m_fd = openUdpSocket(family);
    m_family = family;
    m_sentTo = {};
}

void UdpClient::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_family = 0;
}

void UdpClient::setPeer(const std::string& host, int port)
{
    m_host = host;
    m_port = port;
}

void UdpClient::send(const std::string& bytes)
{
    open();
    socklen_t length = 0;
    const sockaddr_storage peer = resolvePeer(m_host, m_port, m_family, length);
    m_sentTo = {};
    m_sent = SendMoment::now();
    ssize_t sent;
    do {
        sent =
            ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&peer), length);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) throwSystem("Cannot send datagram", errno);
    if (static_cast<size_t>(sent) != bytes.size()) throw IoError("Datagram sent only in part");
    m_sentTo = peer;
}

bool UdpClient::readable(int timeoutMs)
{
    if (!isOpen()) throw IoError("UDP socket is not open");
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{m_fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
        if (ready < 0) {
            if (errno == EINTR) continue;
            throwSystem("Cannot wait for datagram", errno);
        }
        return ready > 0;
    }
}

std::optional<std::string> UdpClient::takeReply(int timeoutMs)
{
    return take(true, timeoutMs);
}

std::optional<std::string> UdpClient::takeFromPeer()
{
    return take(false, 0);
}

std::optional<std::string> UdpClient::take(bool inTimeOnly, int timeoutMs)
{
    if (!isOpen()) throw IoError("UDP socket is not open");
    const auto window = std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    std::string buffer(BufferSize + 1, '\0');
    for (;;) {
        Datagram datagram;
        if (const int error = receiveDatagram(m_fd, buffer, datagram)) {
            // The peer's port is closed: as before, no reply will come.
            if (error == ECONNREFUSED) return std::string();
            if (error == EAGAIN) return std::nullopt;
            throwSystem("Cannot receive datagram", error);
        }
        // Nothing was sent (or the send failed): no datagram can be its reply.
        if (m_sentTo.ss_family == 0 || !sameEndpoint(datagram.from, m_sentTo)) continue;
        if (inTimeOnly) {
            const std::chrono::nanoseconds age = datagram.ageSince(m_sent);
            if (age < std::chrono::nanoseconds::zero() || age > window) continue;
        }
        if (datagram.size > static_cast<std::size_t>(BufferSize)) return std::string();
        buffer.resize(datagram.size);
        return buffer;
    }
}

std::string UdpClient::receiveReply(int timeoutMs)
{
    const auto deadline = m_sent.steady + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (std::optional<std::string> reply = takeReply(timeoutMs)) return *reply;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readable(static_cast<int>(left.count()))) {
            // One last look: a datagram may have come just before the deadline.
            if (std::optional<std::string> reply = takeReply(timeoutMs)) return *reply;
            return {};
        }
    }
}

int UdpClient::localPort() const
{
    if (!isOpen()) return 0;
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    if (local.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&local)->sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in*>(&local)->sin_port);
}

} // namespace korvane

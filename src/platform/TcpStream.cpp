#include "platform/TcpStream.h"

#include "platform/UdpSocket.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace korvane {

TcpStream::~TcpStream()
{
    close();
}

TcpStream::TcpStream(TcpStream&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_connecting(std::exchange(other.m_connecting, false)),
      m_error(other.m_error), m_pending(std::move(other.m_pending))
{}

TcpStream& TcpStream::operator=(TcpStream&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_connecting = std::exchange(other.m_connecting, false);
        m_error = other.m_error;
        m_pending = std::move(other.m_pending);
    }
    return *this;
}

void TcpStream::connect(const sockaddr_storage& peer, socklen_t length)
{
    close();
    m_fd = ::socket(peer.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0) throwSystem("Cannot open TCP socket", errno);
    int rc;
    do {
        rc = ::connect(m_fd, reinterpret_cast<const sockaddr*>(&peer), length);
    } while (rc != 0 && errno == EINTR);
    m_connecting = true;
    // A refusal may come at once; finishConnect reports it like a late one.
    m_error = rc == 0 || errno == EINPROGRESS ? 0 : errno;
}

void TcpStream::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_connecting = false;
    m_pending.clear();
}

short TcpStream::events() const
{
    if (m_connecting) return POLLOUT;
    return static_cast<short>(POLLIN | (sending() ? POLLOUT : 0));
}

int TcpStream::finishConnect()
{
    if (!m_connecting) return m_error;
    m_connecting = false;
    if (m_error != 0) return m_error;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
    m_error = error;
    return error;
}

int TcpStream::send(std::string_view bytes)
{
    m_pending.append(bytes);
    return flush();
}

int TcpStream::flush()
{
    while (!m_pending.empty()) {
        const ssize_t sent = ::send(m_fd, m_pending.data(), m_pending.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
            m_error = errno;
            return m_error;
        }
        m_pending.erase(0, static_cast<std::size_t>(sent));
    }
    return 0;
}

TcpStream::Received TcpStream::receive(std::string& into, std::size_t room)
{
    char buffer[16384];
    bool got = false;
    while (room > 0) {
        const ssize_t n = ::recv(m_fd, buffer, std::min(room, sizeof buffer), MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            m_error = errno;
            return Received::Failed;
        }
        if (n == 0) return Received::Closed;
        into.append(buffer, static_cast<std::size_t>(n));
        room -= static_cast<std::size_t>(n);
        got = true;
    }
    return got ? Received::Data : Received::Nothing;
}

} // namespace korvane

#include "platform/UdpClient.h"

#include "platform/Errors.h"
#include "platform/MessageHeader.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/errqueue.h>
#include <linux/net_tstamp.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace korvane {

namespace {

[[noreturn]] void throwSystem(const char* what, int error)
{
    throw IoError(std::string(what) + ": " + std::strerror(error));
}

// Host names resolve to IPv4 first, as the games' own clients do; IPv6 is
// taken only when the host has no IPv4 address (or is an IPv6 literal).
sockaddr_storage resolvePeer(const std::string& host, int port, int family, socklen_t& length)
{
    if (port < 0 || port > 65535) throw IoError("Invalid port " + std::to_string(port));
    addrinfo hints{};
    hints.ai_family = family == AF_INET ? AF_INET : AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (rc != 0 || !found) throw IoError("Host not found: " + host + " (" + ::gai_strerror(rc) + ")");
    const addrinfo* chosen = nullptr;
    for (const addrinfo* a = found; a; a = a->ai_next)
        if (a->ai_family == AF_INET) {
            chosen = a;
            break;
        }
    if (!chosen)
        for (const addrinfo* a = found; a; a = a->ai_next)
            if (a->ai_family == AF_INET6) {
                chosen = a;
                break;
            }
    sockaddr_storage result{};
    if (!chosen) {
        ::freeaddrinfo(found);
        throw IoError("Host not found: " + host);
    }
    if (family == AF_INET6 && chosen->ai_family == AF_INET) {
        // The dual-stack socket reaches IPv4 peers through mapped addresses.
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(chosen->ai_addr);
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&result);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = v4->sin_port;
        v6->sin6_addr.s6_addr[10] = 0xFF;
        v6->sin6_addr.s6_addr[11] = 0xFF;
        std::memcpy(&v6->sin6_addr.s6_addr[12], &v4->sin_addr, 4);
        length = sizeof(sockaddr_in6);
    } else {
        std::memcpy(&result, chosen->ai_addr, chosen->ai_addrlen);
        length = chosen->ai_addrlen;
    }
    ::freeaddrinfo(found);
    return result;
}

std::string addressText(const sockaddr_storage& address)
{
    char text[INET6_ADDRSTRLEN] = "";
    int port = 0;
    if (address.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
        ::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
        port = ntohs(v6->sin6_port);
    } else if (address.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        ::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
        port = ntohs(v4->sin_port);
    }
    return std::string(text) + "/" + std::to_string(port);
}

bool sameEndpoint(const sockaddr_storage& a, const sockaddr_storage& b)
{
    if (a.ss_family != b.ss_family) return false;
    if (a.ss_family == AF_INET6) {
        const auto* x = reinterpret_cast<const sockaddr_in6*>(&a);
        const auto* y = reinterpret_cast<const sockaddr_in6*>(&b);
        return x->sin6_port == y->sin6_port &&
               std::memcmp(&x->sin6_addr, &y->sin6_addr, sizeof x->sin6_addr) == 0;
    }
    if (a.ss_family == AF_INET) {
        const auto* x = reinterpret_cast<const sockaddr_in*>(&a);
        const auto* y = reinterpret_cast<const sockaddr_in*>(&b);
        return x->sin_port == y->sin_port && x->sin_addr.s_addr == y->sin_addr.s_addr;
    }
    return false;
}

// The kernel stamps each datagram with the wall clock as it arrives, so a
// reply is judged by when it came, not by when it is read. Compared with the
// wall clock at the send, not converted to another clock: a conversion costs
// two clock readings a busy system may pull apart. SO_TIMESTAMPING, unlike
// SO_TIMESTAMPNS, gives no stamp rather than the time of reading when the
// datagram came before stamping was switched on.
constexpr int StampFlags = SOF_TIMESTAMPING_RX_SOFTWARE | SOF_TIMESTAMPING_SOFTWARE;

std::optional<std::chrono::nanoseconds> arrivalStamp(const msghdr& message)
{
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(const_cast<msghdr*>(&message), c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPING) continue;
        scm_timestamping stamps{};
        std::memcpy(&stamps, CMSG_DATA(c), sizeof stamps);
        const timespec& software = stamps.ts[0];
        if (software.tv_sec == 0 && software.tv_nsec == 0) return std::nullopt;
        return std::chrono::seconds(software.tv_sec) + std::chrono::nanoseconds(software.tv_nsec);
    }
    return std::nullopt;
}

// The system switches arrival stamping on for the first socket that asks, a
// moment later, and off again when the last one closes; one socket kept open
// for the process's life, and a wait until its own datagrams come stamped,
// keep every exchange's replies stamped.
void keepArrivalStampsOn()
{
    static const bool done = [] {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        sockaddr_in self{};
        self.sin_family = AF_INET;
        self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof self;
        if (::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPING, &StampFlags, sizeof StampFlags) != 0 ||
            ::bind(fd, reinterpret_cast<sockaddr*>(&self), sizeof self) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&self), &length) != 0)
            return false;
        for (int round = 0; round < 50; ++round) {
            const char probe = 0;
            ::sendto(fd, &probe, 1, 0, reinterpret_cast<sockaddr*>(&self), sizeof self);
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0) continue;
            char byte;
            iovec part{&byte, 1};
            alignas(cmsghdr) char control[CMSG_SPACE(sizeof(scm_timestamping))];
            msghdr message{};
            message.msg_iov = &part;
            message.msg_iovlen = 1;
            message.msg_control = control;
            message.msg_controllen = sizeof control;
            if (::recvmsg(fd, &message, MSG_DONTWAIT) >= 0 && arrivalStamp(message)) return true;
            ::poll(nullptr, 0, 1);
        }
        return false;
    }();
    (void)done;
}

std::chrono::nanoseconds wallNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
}

} // namespace

UdpClient::~UdpClient()
{
    close();
}

void UdpClient::open()
{
    if (isOpen()) return;
    int fd = ::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int family = AF_INET6;
    if (fd >= 0) {
        int off = 0;
        if (::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd >= 0) {
        sockaddr_in6 any{};
        any.sin6_family = AF_INET6;
        any.sin6_addr = in6addr_any;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0) {
        family = AF_INET;
        fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0) throwSystem("Cannot open UDP socket", errno);
        sockaddr_in any{};
        any.sin_family = AF_INET;
        any.sin_addr.s_addr = htonl(INADDR_ANY);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) {
            const int error = errno;
            ::close(fd);
            throwSystem("Cannot bind UDP socket", error);
        }
    }
    keepArrivalStampsOn();
    ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPING, &StampFlags, sizeof StampFlags);
    m_fd = fd;
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
    m_sentAt = std::chrono::steady_clock::now();
    m_sentAtWall = wallNow();
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

std::string UdpClient::receive(int timeoutMs, std::string* sender)
{
    if (sender) sender->clear();
    if (!readable(timeoutMs)) return {};
    // One byte more than the buffer tells an oversized datagram from one that fits exactly.
    std::string buffer(BufferSize + 1, '\0');
    sockaddr_storage from{};
    socklen_t fromLength = sizeof from;
    ssize_t got;
    do {
        got = ::recvfrom(m_fd, buffer.data(), buffer.size(), MSG_TRUNC | MSG_DONTWAIT,
                         reinterpret_cast<sockaddr*>(&from), &fromLength);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        // ICMP errors from earlier sends surface here; the datagram never came.
        if (errno == ECONNREFUSED || errno == EAGAIN || errno == EWOULDBLOCK) return {};
        throwSystem("Cannot receive datagram", errno);
    }
    if (sender) *sender = addressText(from);
    if (got > BufferSize) return {};
    buffer.resize(static_cast<size_t>(got));
    return buffer;
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
    const int window = timeoutMs < 0 ? 0 : timeoutMs;
    std::string buffer(BufferSize + 1, '\0');
    for (;;) {
        sockaddr_storage from{};
        iovec part{buffer.data(), buffer.size()};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(scm_timestamping)) + 64];
        msghdr message = messageHeader(part, &from, sizeof from, control, sizeof control);
        const ssize_t got = ::recvmsg(m_fd, &message, MSG_TRUNC | MSG_DONTWAIT);
        if (got < 0) {
            if (errno == EINTR) continue;
            // The peer's port is closed: as before, no reply will come.
            if (errno == ECONNREFUSED) return std::string();
            if (errno == EAGAIN || errno == EWOULDBLOCK) return std::nullopt;
            throwSystem("Cannot receive datagram", errno);
        }
        // Nothing was sent (or the send failed): no datagram can be its reply.
        if (m_sentTo.ss_family == 0 || !sameEndpoint(from, m_sentTo)) continue;
        if (inTimeOnly) {
            // Without a stamp the moment of reading has to do.
            const std::optional<std::chrono::nanoseconds> stamp = arrivalStamp(message);
            const std::chrono::nanoseconds age =
                stamp ? *stamp - m_sentAtWall : std::chrono::steady_clock::now() - m_sentAt;
            if (age < std::chrono::nanoseconds::zero() || age > std::chrono::milliseconds(window)) continue;
        }
        if (got > BufferSize) return std::string();
        buffer.resize(static_cast<size_t>(got));
        return buffer;
    }
}

std::string UdpClient::receiveReply(int timeoutMs)
{
    const auto deadline = m_sentAt + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
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

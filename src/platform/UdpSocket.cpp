#include "platform/UdpSocket.h"

#include "platform/Errors.h"
#include "platform/MessageHeader.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/errqueue.h>
#include <linux/net_tstamp.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

namespace korvane {

void throwSystem(const char* what, int error)
{
    throw IoError(std::string(what) + ": " + std::strerror(error));
}

namespace {

// The kernel stamps each datagram with the wall clock as it arrives, so a
// reply is judged by when it came, not by when it is read. Compared with the
// wall clock at the send, not converted to another clock: a conversion costs
// two clock readings a busy system may pull apart. SO_TIMESTAMPING, unlike
// SO_TIMESTAMPNS, gives no stamp rather than the time of reading when the
// datagram came before stamping was switched on.
constexpr int StampFlags = SOF_TIMESTAMPING_RX_SOFTWARE | SOF_TIMESTAMPING_SOFTWARE;

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

} // namespace

namespace {

std::optional<sockaddr_storage> resolve(const std::string& host, int port, int family, socklen_t& length,
                                        bool numericOnly)
{
    if (port < 0 || port > 65535) throw IoError("Invalid port " + std::to_string(port));
    addrinfo hints{};
    hints.ai_family = family == AF_INET ? AF_INET : AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICSERV | (numericOnly ? AI_NUMERICHOST : 0);
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (numericOnly && rc == EAI_NONAME) return std::nullopt;
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

} // namespace

sockaddr_storage resolvePeer(const std::string& host, int port, int family, socklen_t& length)
{
    return *resolve(host, port, family, length, false);
}

std::optional<sockaddr_storage> resolveNumericPeer(const std::string& host, int port, int family,
                                                   socklen_t& length)
{
    return resolve(host, port, family, length, true);
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

std::chrono::nanoseconds wallNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
}

SendMoment SendMoment::now()
{
    return {std::chrono::steady_clock::now(), wallNow()};
}

std::chrono::nanoseconds Datagram::ageSince(const SendMoment& sent) const
{
    return stamp ? *stamp - sent.wall : std::chrono::steady_clock::now() - sent.steady;
}

int receiveDatagram(int fd, std::string& buffer, Datagram& datagram)
{
    // Room for the arrival stamp and the drop count.
    alignas(
        cmsghdr) char control[CMSG_SPACE(sizeof(scm_timestamping)) + CMSG_SPACE(sizeof(std::uint32_t)) + 64];
    for (;;) {
        datagram = Datagram{};
        iovec part{buffer.data(), buffer.size()};
        msghdr message = messageHeader(part, &datagram.from, sizeof datagram.from, control, sizeof control);
        const ssize_t got = ::recvmsg(fd, &message, MSG_TRUNC | MSG_DONTWAIT);
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno == EWOULDBLOCK ? EAGAIN : errno;
        }
        datagram.size = static_cast<std::size_t>(got);
        datagram.stamp = arrivalStamp(message);
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c))
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SO_RXQ_OVFL) {
                std::uint32_t drops = 0;
                std::memcpy(&drops, CMSG_DATA(c), sizeof drops);
                datagram.dropsSoFar = drops;
            }
        return 0;
    }
}

int growReceiveBuffer(int fd, int wanted)
{
    // The privileged way past the system's maximum first; everyone else gets
    // the most the maximum allows.
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &wanted, sizeof wanted);
    int granted = 0;
    socklen_t length = sizeof granted;
    if (::getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &granted, &length) != 0) return 0;
    return granted;
}

int openUdpSocket(int& family)
{
    int fd = ::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    family = AF_INET6;
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
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_RXQ_OVFL, &on, sizeof on);
    return fd;
}

std::string endpointKey(const sockaddr_storage& address)
{
    std::string key(1, static_cast<char>(address.ss_family));
    if (address.ss_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
        key.append(reinterpret_cast<const char*>(&v6->sin6_port), sizeof v6->sin6_port);
        key.append(reinterpret_cast<const char*>(&v6->sin6_addr), sizeof v6->sin6_addr);
    } else if (address.ss_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
        key.append(reinterpret_cast<const char*>(&v4->sin_port), sizeof v4->sin_port);
        key.append(reinterpret_cast<const char*>(&v4->sin_addr), sizeof v4->sin_addr);
    }
    return key;
}

} // namespace korvane

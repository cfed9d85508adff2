#pragma once
// The pieces every UDP endpoint of the program shares: the socket, peer
// resolution, endpoint comparison and the kernel's arrival stamps.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/socket.h>

namespace korvane {

[[noreturn]] void throwSystem(const char* what, int error);

// A fresh socket bound to a free local port: IPv6 dual-stack where the system
// has IPv6, IPv4 otherwise; family gets which. Arrival stamping and the count
// of datagrams dropped for want of room are on. Throws IoError.
int openUdpSocket(int& family);

// Asks for a receive buffer of wanted bytes, as far as the system allows
// (beyond its usual maximum only where the process may); the room granted.
int growReceiveBuffer(int fd, int wanted);

// Host names resolve to IPv4 first, as the games' own clients do; IPv6 is
// taken only when the host has no IPv4 address (or is an IPv6 literal). An
// IPv4 peer of a dual-stack socket comes back as a mapped address. Throws
// IoError for a bad port or a host that does not resolve.
sockaddr_storage resolvePeer(const std::string& host, int port, int family, socklen_t& length);
// The same for a numeric address alone, which needs no name service: none
// when host is a name. Throws IoError for a bad port.
std::optional<sockaddr_storage> resolveNumericPeer(const std::string& host, int port, int family,
                                                   socklen_t& length);

bool sameEndpoint(const sockaddr_storage& a, const sockaddr_storage& b);
// Address and port as bytes, equal exactly when sameEndpoint is, for hashing.
std::string endpointKey(const sockaddr_storage& address);

// When the datagram of a recvmsg arrived, by the wall clock; none when the
// system gave no stamp.
std::optional<std::chrono::nanoseconds> arrivalStamp(const msghdr& message);
std::chrono::nanoseconds wallNow();

// When a request left, by both clocks: the system stamps arrivals with the
// wall clock, and compared with the wall clock at the send they need no
// conversion (two clock readings a busy system may pull apart).
struct SendMoment
{
    std::chrono::steady_clock::time_point steady{};
    std::chrono::nanoseconds wall{};
    static SendMoment now();
};

// One datagram as read: its whole length (more than was read when it did not
// fit), its sender, when it arrived and the socket's drop count at the time.
struct Datagram
{
    std::size_t size = 0;
    sockaddr_storage from{};
    std::optional<std::chrono::nanoseconds> stamp;
    std::optional<std::uint32_t> dropsSoFar;
    // How long after the send it arrived; without a stamp the moment of
    // reading has to do. Negative for a datagram from before the send.
    std::chrono::nanoseconds ageSince(const SendMoment& sent) const;
};

// Reads one waiting datagram into buffer without waiting: 0, or the error
// (EAGAIN when none waits, ECONNREFUSED when a peer refused an earlier send).
int receiveDatagram(int fd, std::string& buffer, Datagram& datagram);

} // namespace korvane

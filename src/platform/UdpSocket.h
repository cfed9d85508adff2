#pragma once
// The pieces every UDP endpoint of the program shares: the socket, peer
// resolution, endpoint comparison and the kernel's arrival stamps.

#include <chrono>
#include <optional>
#include <string>
#include <sys/socket.h>

namespace korvane {

[[noreturn]] void throwSystem(const char* what, int error);

// A fresh socket bound to a free local port: IPv6 dual-stack where the system
// has IPv6, IPv4 otherwise; family gets which. Arrival stamping is on.
// Throws IoError.
int openUdpSocket(int& family);

// Host names resolve to IPv4 first, as the games' own clients do; IPv6 is
// taken only when the host has no IPv4 address (or is an IPv6 literal). An
// IPv4 peer of a dual-stack socket comes back as a mapped address. Throws
// IoError for a bad port or a host that does not resolve.
sockaddr_storage resolvePeer(const std::string& host, int port, int family, socklen_t& length);

bool sameEndpoint(const sockaddr_storage& a, const sockaddr_storage& b);
// Address and port as bytes, equal exactly when sameEndpoint is, for hashing.
std::string endpointKey(const sockaddr_storage& address);

// When the datagram of a recvmsg arrived, by the wall clock; none when the
// system gave no stamp.
std::optional<std::chrono::nanoseconds> arrivalStamp(const msghdr& message);
std::chrono::nanoseconds wallNow();

// Room for the arrival stamp in a recvmsg's control buffer.
inline constexpr std::size_t StampControlSize = 128;

} // namespace korvane

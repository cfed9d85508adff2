#pragma once
// The local addresses the fleet's sockets bind to.

#include <string>
#include <sys/socket.h>

namespace korvane::fleet {

// address (an IPv4 or IPv6 literal) and port as a socket address;
// std::runtime_error for anything else.
sockaddr_storage localAddress(const std::string& address, int port, socklen_t& length);
// The port of a socket address, IPv4 or IPv6.
int portOf(const sockaddr_storage& address);
// The port a socket is bound to.
int boundPort(int fd);

} // namespace korvane::fleet

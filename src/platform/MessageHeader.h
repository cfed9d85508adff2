#pragma once
// The header of one recvmsg call: the datagram into part, its sender into
// from (may be null), ancillary data such as timestamps into control.

#include <sys/socket.h>
#include <sys/uio.h>

namespace korvane {

inline msghdr messageHeader(iovec& part, void* from, socklen_t fromSize, void* control,
                            std::size_t controlSize)
{
    msghdr message{};
    message.msg_name = from;
    message.msg_namelen = from ? fromSize : 0;
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = controlSize;
    return message;
}

} // namespace korvane

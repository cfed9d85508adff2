#pragma once
// An unconnected UDP endpoint on an ephemeral local port, the way the game
// protocols use it: one datagram out to a named peer, at most one datagram in.

#include "platform/UdpSocket.h"

#include <optional>
#include <string>
#include <sys/socket.h>

namespace korvane {

class UdpClient
{
public:
    // The largest datagram a receive accepts; anything longer counts as no datagram.
    static constexpr int BufferSize = 8192;

    UdpClient() = default;
    ~UdpClient();
    UdpClient(const UdpClient&) = delete;
    UdpClient& operator=(const UdpClient&) = delete;

    // Binds a fresh socket to a free local port (IPv6 dual-stack where the
    // system has IPv6, IPv4 otherwise). No-op when already open. Throws IoError.
    void open();
    void close();
    bool isOpen() const { return m_fd >= 0; }

    // The peer is resolved only when sending, so a bad host name fails there.
    void setPeer(const std::string& host, int port);
    const std::string& peerHost() const { return m_host; }
    int peerPort() const { return m_port; }

    // One datagram to the peer; opens the socket first if needed.
    // Throws IoError when the peer does not resolve or the send fails.
    void send(const std::string& bytes);

    // The reply to the last send: the first datagram from the very address and
    // port sent to that arrived within timeoutMs of the send, however late it
    // is looked at. Datagrams from anywhere else, from before the send or from
    // after the time-out are dropped. takeReply only reads what is waiting
    // (nullopt when no reply is among it); receiveReply goes on waiting until
    // the time-out ends (empty then). A reply's content is empty for a
    // zero-byte or oversized datagram and when the peer refused it (the
    // system's word that its port is closed). Throw IoError when the socket is
    // not open or fails.
    std::optional<std::string> takeReply(int timeoutMs);
    std::string receiveReply(int timeoutMs);
    // The first waiting datagram from the address and port of the last send,
    // whenever it came (the console reads late replies as the next ones).
    std::optional<std::string> takeFromPeer();

    // Waits at most timeoutMs for a datagram to arrive, without taking it.
    // Throws IoError when the socket is not open or fails.
    bool readable(int timeoutMs);

    // The socket descriptor (-1 when closed), so one thread can poll many clients.
    int nativeHandle() const { return m_fd; }
    // The bound local port, 0 when closed.
    int localPort() const;

private:
    std::optional<std::string> take(bool inTimeOnly, int timeoutMs);

    int m_fd = -1;
    int m_family = 0;
    std::string m_host;
    int m_port = 0;
    // Where and when the last send went, for telling its reply from strays.
    sockaddr_storage m_sentTo{};
    SendMoment m_sent;
};

} // namespace korvane

#pragma once
// TCP for one thread that polls many connections: a connect that completes
// in the background, sends that go out as the peer takes them, reads of
// whatever has come. Nothing here ever blocks.

#include <string>
#include <string_view>
#include <sys/socket.h>

namespace korvane {

class TcpStream
{
public:
    TcpStream() = default;
    ~TcpStream();
    TcpStream(TcpStream&& other) noexcept;
    TcpStream& operator=(TcpStream&& other) noexcept;
    TcpStream(const TcpStream&) = delete;
    TcpStream& operator=(const TcpStream&) = delete;

    // Starts connecting. Throws IoError when no socket can be made; a peer
    // that refuses or cannot be reached shows in finishConnect.
    void connect(const sockaddr_storage& peer, socklen_t length);
    void close();
    int handle() const { return m_fd; }
    bool connecting() const { return m_connecting; }
    bool sending() const { return !m_pending.empty(); }
    // What to poll the handle for: writable while connecting or sending,
    // readable once connected.
    short events() const;

    // Once the handle polls writable (or failed) while connecting: 0 when
    // connected, the system's error number otherwise.
    int finishConnect();

    // Queues bytes and sends what the peer takes now; the rest goes out on
    // later calls of flush. The system's error number when a send fails, else 0.
    int send(std::string_view bytes);
    int flush();

    enum class Received { Data, Nothing, Closed, Failed };
    // Appends what has come to into, at most room bytes.
    Received receive(std::string& into, std::size_t room);
    int error() const { return m_error; }

private:
    int m_fd = -1;
    bool m_connecting = false;
    int m_error = 0;
    std::string m_pending;
};

} // namespace korvane

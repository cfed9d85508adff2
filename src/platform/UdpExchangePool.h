#pragma once
// Many one-datagram-out, one-datagram-in exchanges over a few UDP sockets,
// for asking thousands of servers at once within the descriptors a process
// has. A reply belongs to the exchange whose socket it reached and whose
// server sent it, and only when it arrived within that exchange's time-out.
// A socket asks each server at most once before it is replaced, so a late
// reply to an ended exchange can never pass for a later exchange's reply.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace korvane {

class UdpExchangePool
{
public:
    // The largest datagram a reply may be; a longer one is an empty reply.
    static constexpr int BufferSize = 8192;

    explicit UdpExchangePool(int maxSockets);
    ~UdpExchangePool();
    UdpExchangePool(const UdpExchangePool&) = delete;
    UdpExchangePool& operator=(const UdpExchangePool&) = delete;

    enum class Start { Sent, Busy };

    // Starts exchange id (any number the caller chooses, one exchange per id
    // at a time): one datagram to host:port. Busy when every socket has asked
    // that server already and none can be replaced yet: try again after an
    // exchange has ended. Throws IoError when the host does not resolve, the
    // port is out of range or the send fails; no exchange is left then.
    Start send(int id, const std::string& host, int port, const std::string& bytes, int timeoutMs);

    // Reads every waiting datagram and hands each exchange its reply: the
    // first datagram from its server that arrived within its time-out, empty
    // when zero bytes long or longer than BufferSize. The exchange has ended
    // when onReply runs. Everything else is dropped.
    void drain(const std::function<void(int id, std::string reply)>& onReply);

    // Ends an exchange without a reply; whatever its server sends later is
    // dropped. False when it had ended already.
    bool forget(int id);

    // Waits until a datagram waits on some socket, wakeHandle is readable or
    // timeoutMs has passed.
    void wait(int timeoutMs, int wakeHandle);

    int waiting() const { return static_cast<int>(m_exchanges.size()); }
    int openSockets() const;
    // Ends every exchange and closes every socket.
    void close();

private:
    struct Slot
    {
        int fd = -1;
        int family = 0;
        std::unordered_map<std::string, int> waiting; // server -> exchange
        std::unordered_set<std::string> asked;        // every server asked on this socket
    };
    struct Exchange
    {
        Slot* slot = nullptr;
        std::string server;
        std::chrono::nanoseconds sentAtWall{};
        std::chrono::steady_clock::time_point sentAt{};
        std::chrono::milliseconds timeout{};
    };
    void readSlot(Slot& slot, const std::function<void(int, std::string)>& onReply);
    Slot* slotFor(const std::string& server);

    int m_maxSockets;
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::unordered_map<int, Exchange> m_exchanges;
    std::size_t m_nextSlot = 0;
    std::string m_buffer;
};

} // namespace korvane

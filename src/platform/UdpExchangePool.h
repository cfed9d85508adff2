#pragma once
// Many one-datagram-out, one-datagram-in exchanges over a few UDP sockets,
// for asking thousands of servers at once within the descriptors a process
// has. Requests wait in a queue and leave at the rate their replies can come
// back over the path (SendPacer), never more at once than the sockets'
// receive buffers can hold; host names are resolved on a thread of their own.
// Pacing decides only when a request leaves: each exchange's time-out counts
// from its own request, and a reply belongs to the exchange whose socket it
// reached and whose server sent it, and only when it arrived within that
// time-out. A socket asks each server at most once before it is replaced, so
// a late reply to an ended exchange can never pass for another exchange's.

#include "platform/SendPacer.h"
#include "platform/UdpSocket.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace korvane {

class HostResolver;

class UdpExchangePool
{
public:
    // The largest datagram a reply may be; a longer one is an empty reply.
    static constexpr int BufferSize = 8192;
    static constexpr int DefaultSockets = 16;

    // An exchange's end: the reply, empty for a zero-byte datagram or one
    // longer than BufferSize; none when nothing came in time or the request
    // could not be sent (a host that does not resolve, a port out of range,
    // a failed send).
    using OnEnd = std::function<void(int id, std::optional<std::string> reply)>;

    // The exchanges take turns on `sockets` sockets; a server already asked
    // on each of them gets one more, as far as the descriptors allow.
    explicit UdpExchangePool(int sockets = DefaultSockets);
    ~UdpExchangePool();
    UdpExchangePool(const UdpExchangePool&) = delete;
    UdpExchangePool& operator=(const UdpExchangePool&) = delete;

    // The time-out of every exchange, waiting or not yet sent, counted from
    // its own request. 0 until set.
    void setTimeout(int timeoutMs);

    // Queues exchange id (any number the caller chooses, one exchange per id
    // at a time): one datagram to host:port.
    void submit(int id, const std::string& host, int port, const std::string& bytes);

    // Sends what may leave now, reads every reply and ends every exchange
    // whose time is up, calling onEnd for each exchange that ended, with the
    // first datagram from its server that arrived within its time-out. The
    // exchange has ended when onEnd runs.
    void pump(const OnEnd& onEnd);

    // Waits until pump has something to do, or wakeHandle is readable.
    void wait(int wakeHandle);

    // Submitted and not ended; sent and not ended.
    int pending() const;
    int waiting() const { return static_cast<int>(m_exchanges.size()); }
    int openSockets() const;
    // How many exchanges the receive buffers of the sockets open hold replies for at once.
    int capacity() const { return m_capacity; }
    // Datagrams the system dropped for want of buffer room.
    std::uint64_t dropped() const { return m_dropped; }
    const SendPacer& pacer() const { return m_pacer; }

    // Ends every exchange and closes every socket.
    void close();

private:
    struct Slot
    {
        int fd = -1;
        int family = 0;
        int capacity = 0;
        std::uint32_t drops = 0;
        std::unordered_map<std::string, int> waiting; // server -> exchange
        std::unordered_set<std::string> asked;        // every server asked on this socket
    };
    struct Request
    {
        int id = 0;
        sockaddr_storage peer{};
        socklen_t length = 0;
        std::string bytes;
    };
    struct Exchange
    {
        Slot* slot = nullptr;
        std::string server;
        SendMoment sent;
    };

    void openSlot(Slot& slot);
    Slot* slotFor(const std::string& server);
    void sendQueued(const OnEnd& onEnd);
    void drain(const OnEnd& onEnd);
    void readSlot(Slot& slot, const OnEnd& onEnd);
    void expire(SendPacer::Time now, const OnEnd& onEnd);
    void end(int id, std::optional<std::string> reply, const OnEnd& onEnd);
    int family();
    int room() const;

    int m_sockets;
    int m_mostSockets;
    std::chrono::milliseconds m_timeout{0};
    int m_capacity = 0;
    std::uint64_t m_dropped = 0;
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::size_t m_nextSlot = 0;
    SendPacer m_pacer;
    std::unique_ptr<HostResolver> m_resolver;
    std::unordered_map<int, std::string> m_resolving; // id -> request bytes
    std::deque<Request> m_queue;
    // Requests whose server was asked on every socket that can be had: they
    // go again once an exchange has ended.
    std::deque<Request> m_parked;
    bool m_anEnd = false;
    std::vector<int> m_failed; // ended before they were sent, reported at the next pump
    std::unordered_map<int, Exchange> m_exchanges;
    // Sends in order, which is the order of their deadlines.
    std::deque<std::pair<SendPacer::Time, int>> m_sendOrder;
    std::string m_buffer;
};

} // namespace korvane

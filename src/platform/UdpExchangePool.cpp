#include "platform/UdpExchangePool.h"

#include "platform/Errors.h"
#include "platform/MessageHeader.h"
#include "platform/UdpSocket.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace korvane {

namespace {

// Replies that come in a burst wait here while the worker is busy elsewhere;
// the system caps the request at its own maximum.
constexpr int ReceiveBufferBytes = 4 << 20;

} // namespace

UdpExchangePool::UdpExchangePool(int maxSockets)
    : m_maxSockets(std::max(1, maxSockets)), m_buffer(BufferSize + 1, '\0')
{}

UdpExchangePool::~UdpExchangePool()
{
    close();
}

int UdpExchangePool::openSockets() const
{
    return static_cast<int>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const auto& s) { return s->fd >= 0; }));
}

void UdpExchangePool::close()
{
    for (auto& slot : m_slots)
        if (slot->fd >= 0) ::close(slot->fd);
    m_slots.clear();
    m_exchanges.clear();
}

// The sockets take turns, so replies spread over their queues; one is opened
// only when its turn first comes.
UdpExchangePool::Slot* UdpExchangePool::slotFor(const std::string& server)
{
    const std::size_t turns = static_cast<std::size_t>(m_maxSockets);
    for (std::size_t k = 0; k < turns; ++k) {
        const std::size_t at = (m_nextSlot + k) % turns;
        if (at >= m_slots.size()) {
            auto slot = std::make_unique<Slot>();
            try {
                slot->fd = openUdpSocket(slot->family);
            } catch (const IoError&) {
                // Out of descriptors: make do with the sockets there are.
                if (m_slots.empty()) throw;
                m_maxSockets = static_cast<int>(m_slots.size());
                return slotFor(server);
            }
            ::setsockopt(slot->fd, SOL_SOCKET, SO_RCVBUF, &ReceiveBufferBytes, sizeof ReceiveBufferBytes);
            m_slots.push_back(std::move(slot));
            m_nextSlot = m_slots.size();
            return m_slots.back().get();
        }
        Slot& slot = *m_slots[at];
        if (!slot.asked.contains(server)) {
            m_nextSlot = at + 1;
            return &slot;
        }
    }
    // The server was asked on every socket (it is listed many times): a
    // socket with nothing waiting is replaced by a fresh one on a new port.
    for (auto& slot : m_slots) {
        if (!slot->waiting.empty()) continue;
        // Opened before the old one closes, so the new port cannot be the old one.
        int family = 0;
        int fd = -1;
        try {
            fd = openUdpSocket(family);
            ::close(slot->fd);
        } catch (const IoError&) {
            ::close(slot->fd); // one descriptor short: the old one makes room
            slot->fd = -1;
            fd = openUdpSocket(family);
        }
        slot->fd = fd;
        slot->family = family;
        slot->asked.clear();
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &ReceiveBufferBytes, sizeof ReceiveBufferBytes);
        return slot.get();
    }
    return nullptr;
}

UdpExchangePool::Start UdpExchangePool::send(int id, const std::string& host, int port,
                                             const std::string& bytes, int timeoutMs)
{
    forget(id);
    // The first socket decides the family every peer is resolved for.
    if (m_slots.empty()) slotFor({});
    socklen_t length = 0;
    const sockaddr_storage peer = resolvePeer(host, port, m_slots.front()->family, length);
    const std::string server = endpointKey(peer);
    Slot* slot = slotFor(server);
    if (!slot) return Start::Busy;

    Exchange exchange;
    exchange.slot = slot;
    exchange.server = server;
    exchange.timeout = std::chrono::milliseconds(std::max(0, timeoutMs));
    exchange.sentAt = std::chrono::steady_clock::now();
    exchange.sentAtWall = wallNow();
    ssize_t sent;
    do {
        sent = ::sendto(slot->fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&peer),
                        length);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) throwSystem("Cannot send datagram", errno);
    if (static_cast<size_t>(sent) != bytes.size()) throw IoError("Datagram sent only in part");
    slot->asked.insert(server);
    slot->waiting[server] = id;
    m_exchanges[id] = std::move(exchange);
    return Start::Sent;
}

bool UdpExchangePool::forget(int id)
{
    const auto found = m_exchanges.find(id);
    if (found == m_exchanges.end()) return false;
    found->second.slot->waiting.erase(found->second.server);
    m_exchanges.erase(found);
    return true;
}

void UdpExchangePool::wait(int timeoutMs, int wakeHandle)
{
    std::vector<pollfd> fds;
    fds.reserve(m_slots.size() + 1);
    for (const auto& slot : m_slots)
        fds.push_back({slot->fd, POLLIN, 0});
    fds.push_back({wakeHandle, POLLIN, 0});
    while (::poll(fds.data(), fds.size(), std::max(0, timeoutMs)) < 0 && errno == EINTR) {
    }
}

void UdpExchangePool::drain(const std::function<void(int, std::string)>& onReply)
{
    if (m_slots.empty()) return;
    std::vector<pollfd> fds;
    fds.reserve(m_slots.size());
    for (const auto& slot : m_slots)
        fds.push_back({slot->fd, POLLIN, 0});
    int ready;
    do {
        ready = ::poll(fds.data(), fds.size(), 0);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return;
    for (std::size_t k = 0; k < fds.size(); ++k)
        if (fds[k].revents != 0) readSlot(*m_slots[k], onReply);
}

void UdpExchangePool::readSlot(Slot& slot, const std::function<void(int, std::string)>& onReply)
{
    for (;;) {
        sockaddr_storage from{};
        iovec part{m_buffer.data(), m_buffer.size()};
        alignas(cmsghdr) char control[StampControlSize];
        msghdr message = messageHeader(part, &from, sizeof from, control, sizeof control);
        const ssize_t got = ::recvmsg(slot.fd, &message, MSG_TRUNC | MSG_DONTWAIT);
        if (got < 0) {
            if (errno == EINTR || errno == ECONNREFUSED) continue; // a refusal names no exchange
            return; // nothing more waits (or the socket failed: its exchanges time out)
        }
        const auto waiting = slot.waiting.find(endpointKey(from));
        if (waiting == slot.waiting.end()) continue;
        const int id = waiting->second;
        const Exchange& exchange = m_exchanges.at(id);
        // Without a stamp the moment of reading has to do.
        const std::optional<std::chrono::nanoseconds> stamp = arrivalStamp(message);
        const std::chrono::nanoseconds age =
            stamp ? *stamp - exchange.sentAtWall : std::chrono::steady_clock::now() - exchange.sentAt;
        if (age < std::chrono::nanoseconds::zero() || age > exchange.timeout) continue;
        std::string reply =
            got > BufferSize ? std::string() : m_buffer.substr(0, static_cast<std::size_t>(got));
        forget(id);
        onReply(id, std::move(reply));
    }
}

} // namespace korvane

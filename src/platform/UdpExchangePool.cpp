#include "platform/UdpExchangePool.h"

#include "platform/Errors.h"
#include "platform/HostResolver.h"
#include "platform/Process.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;

// Replies that come while the worker is busy elsewhere wait in the sockets'
// receive buffers; the system caps the request at its own maximum.
constexpr int ReceiveBufferBytes = 4 << 20;
// What one waiting reply of a game server takes of a receive buffer: the
// datagram and the system's own bookkeeping for it.
constexpr int ReplyCharge = 2304;
// Sockets beyond the turning ones, for servers listed many times.
constexpr int MostExtraSockets = 240;
// Replies taken between sends while many leave at once, before the buffers fill.
constexpr int SendsBetweenReads = 64;

} // namespace

UdpExchangePool::UdpExchangePool(int sockets)
    : m_sockets(descriptorsToSpare(std::max(1, sockets))),
      m_mostSockets(descriptorsToSpare(std::max(1, sockets) + MostExtraSockets)), m_pacer(Clock::now()),
      m_buffer(BufferSize + 1, '\0')
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

int UdpExchangePool::pending() const
{
    return static_cast<int>(m_resolving.size() + m_queue.size() + m_parked.size() + m_failed.size() +
                            m_exchanges.size());
}

void UdpExchangePool::close()
{
    for (auto& slot : m_slots)
        if (slot->fd >= 0) ::close(slot->fd);
    m_slots.clear();
    m_exchanges.clear();
    m_sendOrder.clear();
    m_queue.clear();
    m_parked.clear();
    m_failed.clear();
    m_resolving.clear();
    m_resolver.reset();
    m_capacity = 0;
}

// What the buffers of the turning sockets hold, those not opened yet included.
int UdpExchangePool::room() const
{
    const int unopened = std::max(0, m_sockets - static_cast<int>(m_slots.size()));
    return m_capacity + (m_slots.empty() ? 1 : unopened * m_slots.front()->capacity);
}

void UdpExchangePool::setTimeout(int timeoutMs)
{
    m_timeout = std::chrono::milliseconds(std::max(0, timeoutMs));
}

// The first socket decides the family every peer is resolved for.
int UdpExchangePool::family()
{
    if (m_slots.empty()) {
        auto slot = std::make_unique<Slot>();
        openSlot(*slot);
        m_slots.push_back(std::move(slot));
    }
    return m_slots.front()->family;
}

void UdpExchangePool::submit(int id, const std::string& host, int port, const std::string& bytes)
{
    Request request;
    request.id = id;
    request.bytes = bytes;
    try {
        const int peerFamily = family();
        if (const auto numeric = resolveNumericPeer(host, port, peerFamily, request.length)) {
            request.peer = *numeric;
            m_queue.push_back(std::move(request));
            return;
        }
        // One look-up at a time, so the names come back in the order asked.
        if (!m_resolver) m_resolver = std::make_unique<HostResolver>(peerFamily);
        m_resolver->ask(id, host, port);
    } catch (const IoError&) {
        // A port out of range, no socket to be had or no look-up: no reply.
        m_failed.push_back(id);
        return;
    }
    m_resolving[id] = bytes;
}

void UdpExchangePool::openSlot(Slot& slot)
{
    int family = 0;
    const int fd = openUdpSocket(family);
    if (slot.fd >= 0) ::close(slot.fd);
    m_capacity -= slot.capacity;
    slot.fd = fd;
    slot.family = family;
    slot.drops = 0;
    slot.asked.clear();
    slot.capacity = std::max(1, growReceiveBuffer(fd, ReceiveBufferBytes) / ReplyCharge);
    m_capacity += slot.capacity;
}

// The turning sockets take turns, so replies spread over their queues; one is
// opened only when its turn first comes.
UdpExchangePool::Slot* UdpExchangePool::slotFor(const std::string& server)
{
    const std::size_t turns = static_cast<std::size_t>(m_sockets);
    for (std::size_t k = 0; k < turns; ++k) {
        const std::size_t at = (m_nextSlot + k) % turns;
        if (at >= m_slots.size()) {
            auto slot = std::make_unique<Slot>();
            try {
                openSlot(*slot);
            } catch (const IoError&) {
                // Out of descriptors: make do with the sockets there are.
                if (m_slots.empty()) throw;
                m_sockets = m_mostSockets = static_cast<int>(m_slots.size());
                return slotFor(server);
            }
            m_slots.push_back(std::move(slot));
            m_nextSlot = m_slots.size() % turns;
            return m_slots.back().get();
        }
        Slot& slot = *m_slots[at];
        if (!slot.asked.contains(server)) {
            m_nextSlot = at + 1;
            return &slot;
        }
    }
    // The server was asked on every turning socket (it is listed many
    // times): a socket beyond them that has not asked it yet,
    for (std::size_t at = turns; at < m_slots.size(); ++at)
        if (!m_slots[at]->asked.contains(server)) return m_slots[at].get();
    // a socket with nothing waiting, replaced by a fresh one on a new port
    // (opened before the old one closes, so the port cannot be the old one),
    for (auto& slot : m_slots) {
        if (!slot->waiting.empty()) continue;
        try {
            openSlot(*slot);
        } catch (const IoError&) {
            ::close(slot->fd); // one descriptor short: the old one makes room
            slot->fd = -1;
            openSlot(*slot);
        }
        return slot.get();
    }
    // or one more socket, while the descriptors allow.
    if (static_cast<int>(m_slots.size()) < m_mostSockets) {
        auto slot = std::make_unique<Slot>();
        try {
            openSlot(*slot);
        } catch (const IoError&) {
            m_mostSockets = static_cast<int>(m_slots.size());
            return nullptr;
        }
        m_slots.push_back(std::move(slot));
        return m_slots.back().get();
    }
    return nullptr;
}

void UdpExchangePool::end(int id, std::optional<std::string> reply, const OnEnd& onEnd)
{
    const auto found = m_exchanges.find(id);
    if (found != m_exchanges.end()) {
        found->second.slot->waiting.erase(found->second.server);
        m_exchanges.erase(found);
        m_anEnd = true;
    }
    onEnd(id, std::move(reply));
}

void UdpExchangePool::pump(const OnEnd& onEnd)
{
    // The clock is read first: a reply that arrived in time was waiting by
    // then, so it is taken before its exchange can be ended.
    const SendPacer::Time now = Clock::now();
    for (const int id : std::exchange(m_failed, {}))
        onEnd(id, std::nullopt);
    if (m_resolver) {
        for (HostResolver::Result& result : m_resolver->take()) {
            auto bytes = m_resolving.extract(result.id);
            if (bytes.empty()) continue;
            if (!result.found) {
                onEnd(result.id, std::nullopt);
                continue;
            }
            m_queue.push_back({result.id, result.peer, result.length, std::move(bytes.mapped())});
        }
    }
    drain(onEnd);
    expire(now, onEnd);
    sendQueued(onEnd);
}

void UdpExchangePool::sendQueued(const OnEnd& onEnd)
{
    if (m_anEnd && !m_parked.empty()) {
        m_queue.insert(m_queue.begin(), std::make_move_iterator(m_parked.begin()),
                       std::make_move_iterator(m_parked.end()));
        m_parked.clear();
    }
    m_anEnd = false;
    int sent = 0;
    while (!m_queue.empty() && waiting() < room()) {
        if (m_pacer.allowance(Clock::now()) < 1) break;
        Request request = std::move(m_queue.front());
        m_queue.pop_front();
        const std::string server = endpointKey(request.peer);
        Slot* slot = nullptr;
        try {
            slot = slotFor(server);
        } catch (const IoError&) {
            onEnd(request.id, std::nullopt);
            continue;
        }
        if (!slot) {
            m_parked.push_back(std::move(request));
            continue;
        }
        const SendMoment moment = SendMoment::now();
        ssize_t written;
        do {
            written = ::sendto(slot->fd, request.bytes.data(), request.bytes.size(), 0,
                               reinterpret_cast<const sockaddr*>(&request.peer), request.length);
        } while (written < 0 && errno == EINTR);
        if (written < 0 || static_cast<std::size_t>(written) != request.bytes.size()) {
            onEnd(request.id, std::nullopt);
            continue;
        }
        m_pacer.sent(moment.steady);
        slot->asked.insert(server);
        slot->waiting[server] = request.id;
        m_exchanges[request.id] = Exchange{slot, server, moment};
        m_sendOrder.emplace_back(moment.steady, request.id);
        // Replies come back while the rest leaves: take them before the queues fill.
        if (++sent % SendsBetweenReads == 0) drain(onEnd);
    }
}

void UdpExchangePool::expire(SendPacer::Time now, const OnEnd& onEnd)
{
    while (!m_sendOrder.empty()) {
        const auto [sentAt, id] = m_sendOrder.front();
        const auto found = m_exchanges.find(id);
        // An exchange that had its reply has ended already.
        if (found != m_exchanges.end() && found->second.sent.steady == sentAt) {
            if (sentAt + m_timeout > now) return;
            m_pacer.unanswered(now);
            end(id, std::nullopt, onEnd);
        }
        m_sendOrder.pop_front();
    }
}

void UdpExchangePool::wait(int wakeHandle)
{
    std::vector<pollfd> fds;
    fds.reserve(m_slots.size() + 2);
    for (const auto& slot : m_slots)
        fds.push_back({slot->fd, POLLIN, 0});
    fds.push_back({wakeHandle, POLLIN, 0});
    if (m_resolver) fds.push_back({m_resolver->wakeHandle(), POLLIN, 0});

    const SendPacer::Time now = Clock::now();
    SendPacer::Time until = SendPacer::Time::max();
    if (!m_failed.empty()) until = now;
    if (!m_sendOrder.empty()) until = std::min(until, m_sendOrder.front().first + m_timeout);
    if (!m_queue.empty() && waiting() < room()) until = std::min(until, m_pacer.nextSendAt());
    timespec span{};
    timespec* timeout = nullptr;
    if (until != SendPacer::Time::max()) {
        const auto left = std::max(SendPacer::Duration::zero(), until - now);
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        span.tv_sec = static_cast<time_t>(ns / 1000000000);
        span.tv_nsec = static_cast<long>(ns % 1000000000);
        timeout = &span;
    }
    while (::ppoll(fds.data(), fds.size(), timeout, nullptr) < 0 && errno == EINTR) {
    }
}

void UdpExchangePool::drain(const OnEnd& onEnd)
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
        if (fds[k].revents != 0) readSlot(*m_slots[k], onEnd);
}

void UdpExchangePool::readSlot(Slot& slot, const OnEnd& onEnd)
{
    for (;;) {
        Datagram datagram;
        if (const int error = receiveDatagram(slot.fd, m_buffer, datagram)) {
            if (error == ECONNREFUSED) continue; // a refusal names no exchange
            return; // nothing more waits (or the socket failed: its exchanges time out)
        }
        if (datagram.dropsSoFar && *datagram.dropsSoFar != slot.drops) {
            const std::uint32_t more = *datagram.dropsSoFar - slot.drops;
            slot.drops = *datagram.dropsSoFar;
            m_dropped += more;
            m_pacer.dropped(Clock::now(), static_cast<int>(std::min<std::uint32_t>(more, 1u << 30)));
        }
        const auto waiting = slot.waiting.find(endpointKey(datagram.from));
        if (waiting == slot.waiting.end()) continue;
        const int id = waiting->second;
        const Exchange& exchange = m_exchanges.at(id);
        const std::chrono::nanoseconds age = datagram.ageSince(exchange.sent);
        if (age < std::chrono::nanoseconds::zero() || age > m_timeout) continue;
        m_pacer.replied(exchange.sent.steady,
                        exchange.sent.steady + std::chrono::duration_cast<SendPacer::Duration>(age));
        std::string reply = datagram.size > static_cast<std::size_t>(BufferSize)
                                ? std::string()
                                : m_buffer.substr(0, datagram.size);
        end(id, std::move(reply), onEnd);
    }
}

} // namespace korvane

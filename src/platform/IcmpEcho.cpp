#include "platform/IcmpEcho.h"

#include "platform/MessageHeader.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <linux/errqueue.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace korvane {

std::uint32_t parseDottedAddress(const std::string& text)
{
    return ::inet_addr(text.c_str());
}

std::string dottedAddress(std::uint32_t address)
{
    char text[INET_ADDRSTRLEN] = {};
    in_addr in{};
    in.s_addr = address;
    ::inet_ntop(AF_INET, &in, text, sizeof text);
    return text;
}

std::uint32_t icmpErrorStatus(int type, int code)
{
    switch (type) {
    case 3: // destination unreachable
        switch (code) {
        case 0:
        case 6:
        case 9:
        case 11:
            return IcmpDestNetUnreachable;
        case 2:
            return IcmpDestProtUnreachable;
        case 3:
            return IcmpDestPortUnreachable;
        case 4:
            return IcmpPacketTooBig;
        case 5:
            return IcmpBadRoute;
        default:
            return IcmpDestHostUnreachable;
        }
    case 4:
        return IcmpSourceQuench;
    case 11: // time exceeded
        return code == 1 ? IcmpTtlExpiredReassem : IcmpTtlExpiredTransit;
    case 12:
        return IcmpParamProblem;
    default:
        return IcmpGeneralFailure;
    }
}

namespace {

constexpr int EchoRequest = 8;
constexpr int EchoReply = 0;
constexpr std::size_t IcmpHeaderSize = 8;

std::uint32_t statusOfErrno(int error)
{
    switch (error) {
    case ENETUNREACH:
    case ENETDOWN:
        return IcmpDestNetUnreachable;
    case EHOSTUNREACH:
    case EHOSTDOWN:
        return IcmpDestHostUnreachable;
    case EMSGSIZE:
        return IcmpPacketTooBig;
    case ENOBUFS:
    case ENOMEM:
        return IcmpNoResources;
    case EACCES:
    case EADDRNOTAVAIL:
        return IcmpBadDestination;
    case EINVAL:
        return IcmpBadReq;
    default:
        return IcmpGeneralFailure;
    }
}

std::uint16_t checksum(const unsigned char* bytes, std::size_t size)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<std::uint32_t>(bytes[i] << 8 | bytes[i + 1]);
    if (size % 2) sum += static_cast<std::uint32_t>(bytes[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return htons(static_cast<std::uint16_t>(~sum));
}

std::uint16_t read16(const unsigned char* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

std::int64_t realtimeNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// Raw sockets see every ICMP message of the host, so each raw request carries
// an identifier of its own; ping sockets get theirs from the kernel (the
// socket's port, known once the first request has gone).
std::atomic<std::uint16_t> nextIdentifier{static_cast<std::uint16_t>(::getpid())};

class LinuxIcmpHandle : public IcmpHandle
{
public:
    LinuxIcmpHandle(int fd, bool raw) : m_fd(fd), m_raw(raw), m_id(raw ? nextIdentifier++ : 0) {}
    ~LinuxIcmpHandle() override { ::close(m_fd); }

    int sendEcho(std::uint32_t address, const std::string& data, const IpOptions& options,
                 std::vector<unsigned char>& replyBuffer, int timeoutMs) override;
    std::uint32_t lastError() const override { return m_lastError; }

private:
    // What one received message means for the request under way.
    enum class Seen { Other, Reply, Error };
    Seen inspect(const unsigned char* message, std::size_t size, std::uint32_t from);
    Seen inspectErrorQueue();
    void applyOptions(const IpOptions& options);
    int fail(std::uint32_t status, std::vector<unsigned char>& replyBuffer);

    int m_fd;
    bool m_raw;
    std::uint16_t m_id;
    std::uint16_t m_sequence = 0;
    std::uint32_t m_to = InvalidAddress; // where the request under way went
    std::uint32_t m_lastError = IcmpSuccess;
    IcmpEchoReply m_reply;
    const unsigned char* m_replyData = nullptr;
    std::size_t m_replyDataSize = 0;
};

void LinuxIcmpHandle::applyOptions(const IpOptions& options)
{
    const int ttl = options.Ttl == 0 ? -1 : options.Ttl; // -1: the system's default
    ::setsockopt(m_fd, IPPROTO_IP, IP_TTL, &ttl, sizeof ttl);
    const int tos = options.Tos;
    ::setsockopt(m_fd, IPPROTO_IP, IP_TOS, &tos, sizeof tos);
    const int discovery = (options.Flags & IpFlagDontFragment) ? IP_PMTUDISC_DO : IP_PMTUDISC_DONT;
    ::setsockopt(m_fd, IPPROTO_IP, IP_MTU_DISCOVER, &discovery, sizeof discovery);
}

int LinuxIcmpHandle::fail(std::uint32_t status, std::vector<unsigned char>& replyBuffer)
{
    m_lastError = status;
    m_reply.Status = status;
    if (replyBuffer.size() >= sizeof m_reply) std::memcpy(replyBuffer.data(), &m_reply, sizeof m_reply);
    return 0;
}

LinuxIcmpHandle::Seen LinuxIcmpHandle::inspect(const unsigned char* message, std::size_t size,
                                               std::uint32_t from)
{
    if (m_raw) {
        // A raw socket hands over the IP header too.
        if (size < 20) return Seen::Other;
        const std::size_t header = static_cast<std::size_t>(message[0] & 0x0F) * 4;
        if (size < header + IcmpHeaderSize) return Seen::Other;
        m_reply.Options[0] = message[8];
        m_reply.Options[1] = message[1];
        message += header;
        size -= header;
    }
    const int type = message[0];
    if (type == EchoReply) {
        // Anyone can send an echo reply: only the pinged host's own, to this
        // request, is the answer.
        if (from != m_to || read16(message + 4) != m_id || read16(message + 6) != m_sequence)
            return Seen::Other;
        m_reply.Address = from;
        m_replyData = message + IcmpHeaderSize;
        m_replyDataSize = size - IcmpHeaderSize;
        return Seen::Reply;
    }
    // Errors quote the request's IP header and the first 8 bytes of its ICMP message.
    if (!m_raw || (type != 3 && type != 4 && type != 11 && type != 12)) return Seen::Other;
    const unsigned char* quoted = message + IcmpHeaderSize;
    const std::size_t quotedSize = size - IcmpHeaderSize;
    if (quotedSize < 20) return Seen::Other;
    const std::size_t quotedHeader = static_cast<std::size_t>(quoted[0] & 0x0F) * 4;
    if (quoted[9] != IPPROTO_ICMP || quotedSize < quotedHeader + IcmpHeaderSize) return Seen::Other;
    const unsigned char* request = quoted + quotedHeader;
    std::uint32_t quotedTo = 0;
    std::memcpy(&quotedTo, quoted + 16, sizeof quotedTo);
    if (quotedTo != m_to || request[0] != EchoRequest || read16(request + 4) != m_id ||
        read16(request + 6) != m_sequence)
        return Seen::Other;
    m_reply.Address = from;
    m_reply.Status = icmpErrorStatus(type, message[1]);
    return Seen::Error;
}

// A ping socket hears of ICMP errors through its error queue.
LinuxIcmpHandle::Seen LinuxIcmpHandle::inspectErrorQueue()
{
    unsigned char body[576];
    alignas(cmsghdr) unsigned char control[512];
    iovec part{body, sizeof body};
    msghdr message = messageHeader(part, nullptr, 0, control, sizeof control);
    if (::recvmsg(m_fd, &message, MSG_ERRQUEUE | MSG_DONTWAIT) < 0) return Seen::Other;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_RECVERR) continue;
        sock_extended_err error{};
        std::memcpy(&error, CMSG_DATA(c), sizeof error);
        if (error.ee_origin == SO_EE_ORIGIN_ICMP) {
            m_reply.Status = icmpErrorStatus(error.ee_type, error.ee_code);
            sockaddr_in offender{};
            std::memcpy(&offender, SO_EE_OFFENDER(reinterpret_cast<sock_extended_err*>(CMSG_DATA(c))),
                        sizeof offender);
            m_reply.Address = offender.sin_addr.s_addr;
        } else {
            m_reply.Status = statusOfErrno(static_cast<int>(error.ee_errno));
        }
        return Seen::Error;
    }
    return Seen::Other;
}

int LinuxIcmpHandle::sendEcho(std::uint32_t address, const std::string& data, const IpOptions& options,
                              std::vector<unsigned char>& replyBuffer, int timeoutMs)
{
    m_reply = IcmpEchoReply{};
    m_replyData = nullptr;
    m_replyDataSize = 0;
    if (replyBuffer.size() < sizeof m_reply) {
        m_lastError = IcmpBufferTooSmall;
        return 0;
    }
    applyOptions(options);

    std::vector<unsigned char> request(IcmpHeaderSize + data.size());
    request[0] = EchoRequest;
    ++m_sequence;
    request[4] = static_cast<unsigned char>(m_id >> 8);
    request[5] = static_cast<unsigned char>(m_id);
    request[6] = static_cast<unsigned char>(m_sequence >> 8);
    request[7] = static_cast<unsigned char>(m_sequence);
    std::copy(data.begin(), data.end(), request.begin() + IcmpHeaderSize);
    const std::uint16_t sum = checksum(request.data(), request.size());
    std::memcpy(&request[2], &sum, sizeof sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = address;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    const std::int64_t sentNs = realtimeNs();
    m_to = address;
    if (::sendto(m_fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0)
        return fail(statusOfErrno(errno), replyBuffer);
    if (!m_raw) {
        sockaddr_in bound{};
        socklen_t length = sizeof bound;
        if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&bound), &length) == 0)
            m_id = ntohs(bound.sin_port);
    }

    unsigned char received[65536];
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return fail(IcmpReqTimedOut, replyBuffer);
        pollfd wait{m_fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return fail(statusOfErrno(errno), replyBuffer);
        if (ready == 0) continue;
        if (wait.revents & POLLERR) {
            if (inspectErrorQueue() == Seen::Error) return fail(m_reply.Status, replyBuffer);
            continue;
        }

        sockaddr_in from{};
        iovec part{received, sizeof received};
        alignas(cmsghdr) unsigned char control[256];
        msghdr message = messageHeader(part, &from, sizeof from, control, sizeof control);
        const ssize_t size = ::recvmsg(m_fd, &message, MSG_DONTWAIT);
        if (size < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
            return fail(statusOfErrno(errno), replyBuffer);
        }
        // The time the reply reached the socket, as the socket reports it.
        std::int64_t receivedNs = 0;
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
                timespec stamp{};
                std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
                receivedNs = std::int64_t{stamp.tv_sec} * 1'000'000'000 + stamp.tv_nsec;
            } else if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_TTL) {
                int ttl = 0;
                std::memcpy(&ttl, CMSG_DATA(c), sizeof ttl);
                m_reply.Options[0] = static_cast<std::uint8_t>(ttl);
            }
        }
        if (static_cast<std::size_t>(size) < IcmpHeaderSize) continue;
        const Seen seen = inspect(received, static_cast<std::size_t>(size), from.sin_addr.s_addr);
        if (seen == Seen::Error) return fail(m_reply.Status, replyBuffer);
        if (seen != Seen::Reply) continue;

        if (receivedNs == 0) receivedNs = realtimeNs();
        m_reply.RoundTripTime =
            static_cast<std::uint32_t>(std::max<std::int64_t>(0, receivedNs - sentNs) / 1'000'000);
        const std::size_t room = replyBuffer.size() - sizeof m_reply;
        const std::size_t copied = std::min(room, m_replyDataSize);
        m_reply.DataSize = static_cast<std::uint16_t>(copied);
        m_reply.Data = sizeof m_reply;
        m_reply.Status = IcmpSuccess;
        std::memcpy(replyBuffer.data(), &m_reply, sizeof m_reply);
        std::copy_n(m_replyData, copied, replyBuffer.begin() + sizeof m_reply);
        m_lastError = IcmpSuccess;
        return 1;
    }
}

class LinuxIcmpEcho : public IcmpEcho
{
public:
    explicit LinuxIcmpEcho(IcmpSocketKind kind) : m_kind(kind) {}

    std::unique_ptr<IcmpHandle> createHandle() override
    {
        int fd = -1;
        bool raw = false;
        if (m_kind != IcmpSocketKind::Raw) fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd < 0 && m_kind != IcmpSocketKind::Datagram) {
            fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
            raw = true;
        }
        if (fd < 0) throw IcmpSetUpError{IcmpSetUpFailure::Handle};
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
        ::setsockopt(fd, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
        if (!raw) ::setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
        return std::make_unique<LinuxIcmpHandle>(fd, raw);
    }

    std::optional<HostEntry> resolveName(const std::string& name, std::uint32_t& error) override
    {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_RAW;
        hints.ai_flags = AI_CANONNAME;
        addrinfo* found = nullptr;
        const int result = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
        if (result != 0 || !found) {
            switch (result) {
            case EAI_AGAIN:
                error = TryAgain;
                break;
            case EAI_FAIL:
                error = NoRecovery;
                break;
            case EAI_NODATA:
            case EAI_ADDRFAMILY:
                error = NoData;
                break;
            default:
                error = HostNotFound;
            }
            return std::nullopt;
        }
        HostEntry entry;
        entry.officialName = found->ai_canonname ? found->ai_canonname : name;
        entry.address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
        ::freeaddrinfo(found);
        return entry;
    }

    std::optional<std::string> nameOf(std::uint32_t address) override
    {
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = address;
        char name[NI_MAXHOST] = {};
        if (::getnameinfo(reinterpret_cast<sockaddr*>(&from), sizeof from, name, sizeof name, nullptr, 0,
                          NI_NAMEREQD) != 0)
            return std::nullopt;
        return std::string(name);
    }

private:
    IcmpSocketKind m_kind;
};

} // namespace

std::shared_ptr<IcmpEcho> makeLinuxIcmpEcho(IcmpSocketKind kind)
{
    return std::make_shared<LinuxIcmpEcho>(kind);
}

} // namespace korvane

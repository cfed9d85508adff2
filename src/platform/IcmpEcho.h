#pragma once
// The system's ICMP echo service as the reachability checks expect it: open a
// handle, send one echo request with data, TTL, flags and a time-out, read the
// reply record and the service's status code, close the handle. On Linux an
// unprivileged ping socket where net.ipv4.ping_group_range allows it, a raw
// socket (root or CAP_NET_RAW) otherwise.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Status codes of the echo service.
enum IcmpStatus : std::uint32_t {
    IcmpSuccess = 0,
    IcmpBufferTooSmall = 11001,
    IcmpDestNetUnreachable = 11002,
    IcmpDestHostUnreachable = 11003,
    IcmpDestProtUnreachable = 11004,
    IcmpDestPortUnreachable = 11005,
    IcmpNoResources = 11006,
    IcmpBadOption = 11007,
    IcmpHwError = 11008,
    IcmpPacketTooBig = 11009,
    IcmpReqTimedOut = 11010,
    IcmpBadReq = 11011,
    IcmpBadRoute = 11012,
    IcmpTtlExpiredTransit = 11013,
    IcmpTtlExpiredReassem = 11014,
    IcmpParamProblem = 11015,
    IcmpSourceQuench = 11016,
    IcmpOptionTooBig = 11017,
    IcmpBadDestination = 11018,
    IcmpAddrDeleted = 11019,
    IcmpSpecMtuChange = 11020,
    IcmpMtuChange = 11021,
    IcmpGeneralFailure = 11050,
    IcmpPending = 11255,
};

// Codes of a failed name look-up.
enum ResolverStatus : std::uint32_t {
    HostNotFound = 11001,
    TryAgain = 11002,
    NoRecovery = 11003,
    NoData = 11004,
};

// IPv4 addresses are kept in network byte order; all bits set is no address.
inline constexpr std::uint32_t InvalidAddress = 0xFFFFFFFFu;
// A dotted address ("127.0.0.1", also the short forms "127.1"), else InvalidAddress.
std::uint32_t parseDottedAddress(const std::string& text);
std::string dottedAddress(std::uint32_t address);

inline constexpr std::uint8_t IpFlagDontFragment = 0x02;

struct IpOptions
{
    std::uint8_t Ttl = 64;
    std::uint8_t Tos = 0;
    std::uint8_t Flags = 0;
};

// The record at the start of the reply buffer; the reply's data follows it.
struct IcmpEchoReply
{
    std::uint32_t Address = 0; // source of the reply
    std::uint32_t Status = 0;
    std::uint32_t RoundTripTime = 0; // ms
    std::uint16_t DataSize = 0;
    std::uint16_t Reserved = 0;
    std::uint32_t Data = 0;       // offset of the data in the reply buffer
    std::uint8_t Options[8] = {}; // TTL, TOS, flags of the reply
};
static_assert(sizeof(IcmpEchoReply) == 28);

// One open handle; closed when destroyed.
class IcmpHandle
{
public:
    virtual ~IcmpHandle() = default;
    // Sends data to address and waits at most timeoutMs for the reply. Returns
    // the number of replies, 0 or 1; the reply record and data go into
    // replyBuffer and the status into lastError() also on failure.
    virtual int sendEcho(std::uint32_t address, const std::string& data, const IpOptions& options,
                         std::vector<unsigned char>& replyBuffer, int timeoutMs) = 0;
    virtual std::uint32_t lastError() const = 0;
};

// Why no handle could be had.
enum class IcmpSetUpFailure { Sockets, Library, EntryPoints, Handle };
struct IcmpSetUpError
{
    IcmpSetUpFailure failure;
};

struct HostEntry
{
    std::string officialName;
    std::uint32_t address = InvalidAddress; // the first IPv4 address
};

// Safe to use from several threads at once.
class IcmpEcho
{
public:
    virtual ~IcmpEcho() = default;
    // Throws IcmpSetUpError.
    virtual std::unique_ptr<IcmpHandle> createHandle() = 0;
    // Name to address; without one, error takes a ResolverStatus.
    virtual std::optional<HostEntry> resolveName(const std::string& name, std::uint32_t& error) = 0;
    // Address to name.
    virtual std::optional<std::string> nameOf(std::uint32_t address) = 0;
};

enum class IcmpSocketKind { Any, Datagram, Raw };
std::shared_ptr<IcmpEcho> makeLinuxIcmpEcho(IcmpSocketKind kind = IcmpSocketKind::Any);

// The status an ICMP error message of this type and code stands for.
std::uint32_t icmpErrorStatus(int type, int code);

} // namespace korvane

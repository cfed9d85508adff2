#include "net/TICMP.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace korvane {

std::string echoRequestData(int size)
{
    std::string data(static_cast<std::size_t>(std::max(size, 0)), ' ');
    const std::size_t text = std::min(data.size(), sizeof EchoRequestText - 1);
    std::copy_n(EchoRequestText, text, data.begin());
    return data;
}

std::string icmpErrorText(std::uint32_t code)
{
    switch (code) {
    case IcmpSuccess:
        return "No error";
    case IcmpBufferTooSmall:
        return "Buffer too small";
    case IcmpDestNetUnreachable:
        return "Destination network unreachable";
    case IcmpDestHostUnreachable:
        return "Destination host unreachable";
    case IcmpDestProtUnreachable:
        return "Destination protocol unreachable";
    case IcmpDestPortUnreachable:
        return "Destination port unreachable";
    case IcmpNoResources:
        return "No resources";
    case IcmpBadOption:
        return "Bad option";
    case IcmpHwError:
        return "Hardware error";
    case IcmpPacketTooBig:
        return "Packet too big";
    case IcmpReqTimedOut:
        return "Request timed out";
    case IcmpBadReq:
        return "Bad request";
    case IcmpBadRoute:
        return "Bad route";
    case IcmpTtlExpiredTransit:
        return "TTL expired in transit";
    case IcmpTtlExpiredReassem:
        return "TTL expired in reassembly";
    case IcmpParamProblem:
        return "Parameter problem";
    case IcmpSourceQuench:
        return "Source quench";
    case IcmpOptionTooBig:
        return "Option too big";
    case IcmpBadDestination:
        return "Bad Destination";
    case IcmpAddrDeleted:
        return "Address deleted";
    case IcmpSpecMtuChange:
        return "Spec MTU change";
    case IcmpMtuChange:
        return "MTU change";
    case IcmpGeneralFailure:
        return "General failure";
    case IcmpPending:
        return "Pending";
    default:
        return "ICMP error #" + std::to_string(code);
    }
}

namespace {

std::string setUpMessage(IcmpSetUpFailure failure)
{
    switch (failure) {
    case IcmpSetUpFailure::Sockets:
        return "Error initialising Winsock";
    case IcmpSetUpFailure::Library:
        return "Unable to register icmp.dll";
    case IcmpSetUpFailure::EntryPoints:
        return "Error loading dll functions";
    case IcmpSetUpFailure::Handle:
        break;
    }
    return "Unable to get ping handle";
}

} // namespace

TICMP::TICMP(IcmpEcho& service) : m_service(service)
{
    try {
        m_handle = service.createHandle();
    } catch (const IcmpSetUpError& error) {
        throw TICMPException(setUpMessage(error.failure));
    }
    if (!m_handle) throw TICMPException(setUpMessage(IcmpSetUpFailure::Handle));
}

TICMP::~TICMP() = default;

void TICMP::setAddress(const std::string& address)
{
    if (address == m_address) return;
    m_address = address;
    m_resolved = false;
}

void TICMP::ResolveHost()
{
    m_ip = parseDottedAddress(m_address);
    if (m_ip == InvalidAddress) {
        std::uint32_t error = HostNotFound;
        const std::optional<HostEntry> entry = m_service.resolveName(m_address, error);
        if (!entry) {
            LastError = error;
            return;
        }
        m_ip = entry->address;
        m_hostName = entry->officialName;
    } else {
        m_hostName = m_address;
    }
    m_hostIP = dottedAddress(m_ip);
    m_resolved = true;
}

int TICMP::SendEcho()
{
    LastError = 0;
    if (!m_resolved) ResolveHost();
    if (m_ip == InvalidAddress) {
        LastError = IcmpBadDestination;
        return 0;
    }
    const std::string data = echoRequestData(Size);
    std::vector<unsigned char> replyBuffer(data.size() + sizeof(IcmpEchoReply), 0);
    IpOptions options;
    options.Ttl = static_cast<std::uint8_t>(TTL);
    options.Flags = static_cast<std::uint8_t>(Flags);
    const int replies = m_handle->sendEcho(m_ip, data, options, replyBuffer, TimeOut);
    LastError = m_handle->lastError();
    std::memcpy(&Reply, replyBuffer.data(), sizeof Reply);
    return replies;
}

} // namespace korvane

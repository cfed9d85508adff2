#pragma once
// One ICMP echo through the system's echo service: resolve the host, send the
// request, keep the reply record, and say in words what a failure status means.

#include "platform/IcmpEcho.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace korvane {

// ICMP could not be set up.
class TICMPException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What every request carries, as much of it as the data size holds.
inline constexpr char EchoRequestText[] = "Korvane 1.11 asks: is this game server alive?";
static_assert(sizeof EchoRequestText == 46);

// size bytes of blanks, the request text written over their start.
std::string echoRequestData(int size);

// The service's message for a status code.
std::string icmpErrorText(std::uint32_t code);

class TICMP
{
public:
    // Opens a handle of the service; throws TICMPException when it cannot.
    explicit TICMP(IcmpEcho& service);
    ~TICMP();
    TICMP(const TICMP&) = delete;
    TICMP& operator=(const TICMP&) = delete;

    const std::string& Address() const { return m_address; }
    // A different text must be resolved anew; the same text changes nothing.
    void setAddress(const std::string& address);
    bool Resolved() const { return m_resolved; }
    std::uint32_t IPAddress() const { return m_ip; }
    const std::string& HostName() const { return m_hostName; }
    const std::string& HostIP() const { return m_hostIP; }

    int Size = 56;
    int TimeOut = 4000; // ms
    int TTL = 64;
    int Flags = 0;
    IcmpEchoReply Reply;
    std::uint32_t LastError = 0;

    // A dotted address is taken as it is; anything else is looked up by name.
    void ResolveHost();
    // The number of replies; 0 with LastError set on failure.
    int SendEcho();
    std::string ErrorText() const { return icmpErrorText(LastError); }

private:
    IcmpEcho& m_service;
    std::unique_ptr<IcmpHandle> m_handle;
    std::string m_address;
    bool m_resolved = false;
    std::uint32_t m_ip = InvalidAddress;
    std::string m_hostName;
    std::string m_hostIP;
};

} // namespace korvane

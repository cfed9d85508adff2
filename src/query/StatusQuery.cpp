#include "query/StatusQuery.h"

#include "platform/Convert.h"

namespace korvane {

std::string QueryStatus(UdpClient& client, const std::string& ip, const std::string& portText, bool reset,
                        int timeoutMs)
{
    try {
        if (reset) client.close();
        client.open();
        client.setPeer(ip, strToInt(portText));
        client.send(StatusRequest);
        return client.receive(timeoutMs);
    } catch (...) {
        // A failed exchange is simply no reply; the caller's answer test decides.
        return {};
    }
}

void SendStatusRequest(UdpClient& client, const std::string& ip, const std::string& portText)
{
    client.setPeer(ip, strToInt(portText));
    client.open();
    client.send(StatusRequest);
}

std::string WaitStatusReply(UdpClient& client, int timeoutMs)
{
    try {
        return client.receive(timeoutMs);
    } catch (...) {
        return {};
    }
}

std::string QueryStatusLookup(UdpClient& client, const std::string& ip, const std::string& portText,
                              int timeoutMs)
{
    SendStatusRequest(client, ip, portText);
    return WaitStatusReply(client, timeoutMs);
}

bool IsSelectionAnswer(const std::string& reply)
{
    return containsNoCase(reply, "statusresponse");
}

bool IsScanAnswer(const std::string& reply)
{
    return reply.find("\xFF\xFF\xFF\xFF") != std::string::npos;
}

bool IsLookupAnswer(const std::string& reply)
{
    return reply.size() >= MinReplyLength;
}

bool IsQuickAddAnswer(const std::string& reply)
{
    return IsLookupAnswer(reply) && containsNoCase(reply, "sv_hostname\\");
}

} // namespace korvane

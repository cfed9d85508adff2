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
        return client.receiveReply(timeoutMs);
    } catch (...) {
        // A failed exchange is simply no reply; the caller's answer test decides.
        return {};
    }
}

std::string queryStatusLookup(UdpClient& client, const std::string& ip, const std::string& portText,
                              int timeoutMs, const std::function<void(int port)>& chosen)
{
    const int port = strToInt(portText);
    client.setPeer(ip, port);
    if (chosen) chosen(port);
    client.open();
    client.send(StatusRequest);
    try {
        return client.receiveReply(timeoutMs);
    } catch (...) {
        return {};
    }
}

bool isSelectionAnswer(const std::string& reply)
{
    return containsNoCase(reply, "statusresponse");
}

bool isScanAnswer(const std::string& reply)
{
    return reply.find("\xFF\xFF\xFF\xFF") != std::string::npos;
}

bool isLookupAnswer(const std::string& reply)
{
    return reply.size() >= MinReplyLength;
}

bool isQuickAddAnswer(const std::string& reply)
{
    return isLookupAnswer(reply) && containsNoCase(reply, "sv_hostname\\");
}

} // namespace korvane

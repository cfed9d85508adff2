#include "master/MasterReply.h"

#include "master/BackslashPairs.h"
#include "platform/Convert.h"

#include <algorithm>
#include <set>

namespace korvane {

namespace {

constexpr std::string_view FinalMark = "\\final\\";
constexpr std::string_view EchoKey = "\\echo\\";
constexpr std::string_view IpKey = "\\ip\\";

// Words from the network for a message: printable ASCII only, kept short.
std::string shown(std::string_view text)
{
    std::string result;
    for (const char c : trimmed(text).substr(0, 120))
        result += c >= 0x20 && c < 0x7F ? c : '?';
    return result;
}

// Adds one entry unless it is unusable, repeated or beyond the cap.
class Collector
{
public:
    Collector(MasterReply& reply, std::size_t maxServers) : m_reply(reply), m_max(maxServers) {}
    // False once the cap is reached: nothing more is taken.
    bool add(std::uint32_t ip, int port)
    {
        if (!isServerAddress(ip) || port <= 0 || port > 65535) {
            ++m_reply.skipped;
            return true;
        }
        const ListedServer server{ip, port};
        if (!m_seen.insert(server).second) {
            ++m_reply.repeated;
            return true;
        }
        if (m_reply.servers.size() >= m_max) {
            m_reply.cut = true;
            return false;
        }
        m_reply.servers.push_back(server);
        return true;
    }
    void skip() { ++m_reply.skipped; }

private:
    MasterReply& m_reply;
    std::size_t m_max;
    std::set<ListedServer> m_seen;
};

MasterReply bad(std::string why)
{
    MasterReply reply;
    reply.kind = MasterReply::Kind::Bad;
    reply.text = std::move(why);
    return reply;
}

// N x 6 bytes before the end mark; the binary part may hold any byte, so it
// is never searched.
MasterReply compressedList(std::string_view reply, std::size_t maxServers)
{
    if (!reply.ends_with(FinalMark)) return bad("the list has no end mark (cut short?)");
    const std::size_t body = reply.size() - FinalMark.size();
    if (body % 6 != 0) return bad("the list is not a whole number of 6-byte entries");
    MasterReply result;
    result.kind = MasterReply::Kind::List;
    Collector collect(result, maxServers);
    for (std::size_t at = 0; at < body; at += 6) {
        const auto byte = [&](std::size_t k) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(reply[at + k]));
        };
        const std::uint32_t ip = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        if (!collect.add(ip, static_cast<int>(byte(4) << 8 | byte(5)))) break;
    }
    return result;
}

// "\ip\a.b.c.d:port" pairs before the end mark; other keys are passed over.
MasterReply plainList(std::string_view reply, std::size_t maxServers)
{
    if (!reply.ends_with(FinalMark)) return bad("the list has no end mark (cut short?)");
    const std::string_view body = reply.substr(0, reply.size() - FinalMark.size());
    MasterReply result;
    result.kind = MasterReply::Kind::List;
    Collector collect(result, maxServers);
    forEachPair(body, [&](std::string_view key, std::string_view value) {
        if (key != "ip") return true;
        const std::size_t colon = value.rfind(':');
        std::uint32_t ip = 0;
        if (colon == std::string_view::npos || !parseIpv4(value.substr(0, colon), ip)) {
            collect.skip();
            return true;
        }
        return collect.add(ip, portNumber(value.substr(colon + 1)));
    });
    return result;
}

} // namespace

std::string ListedServer::address() const
{
    return std::to_string(ip >> 24) + "." + std::to_string(ip >> 16 & 0xFF) + "." +
           std::to_string(ip >> 8 & 0xFF) + "." + std::to_string(ip & 0xFF);
}

std::string ListedServer::text() const
{
    return address() + ":" + std::to_string(queryPort);
}

bool parseIpv4(std::string_view text, std::uint32_t& ip)
{
    std::uint32_t result = 0;
    int parts = 0;
    std::size_t at = 0;
    while (parts < 4) {
        std::size_t digits = 0;
        std::uint32_t part = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
            part = part * 10 + static_cast<std::uint32_t>(text[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0 || part > 255) return false;
        result = result << 8 | part;
        if (++parts < 4) {
            if (at >= text.size() || text[at] != '.') return false;
            ++at;
        }
    }
    if (at != text.size()) return false;
    ip = result;
    return true;
}

bool isServerAddress(std::uint32_t ip)
{
    const std::uint32_t first = ip >> 24;
    return first != 0 && first < 224;
}

namespace {

MasterReply parseBody(std::string_view reply, std::size_t maxServers)
{
    if (reply == FinalMark) {
        MasterReply empty;
        empty.kind = MasterReply::Kind::List;
        return empty;
    }
    if (reply.starts_with(EchoKey)) {
        MasterReply refused;
        refused.kind = MasterReply::Kind::Refused;
        const std::string_view words = reply.substr(EchoKey.size());
        refused.text = shown(words.substr(0, words.find('\\')));
        if (refused.text.empty()) refused.text = "it echoed the request back";
        return refused;
    }
    if (reply.starts_with(IpKey)) {
        MasterReply plain = plainList(reply, maxServers);
        // Only a compressed list whose first server is 92.105.112.92 could
        // look like this; the one that reads as a list wins.
        if (plain.kind == MasterReply::Kind::List && !plain.servers.empty()) return plain;
        MasterReply compressed = compressedList(reply, maxServers);
        return compressed.kind == MasterReply::Kind::List ? compressed : plain;
    }
    return compressedList(reply, maxServers);
}

} // namespace

MasterReply parseMasterReply(std::string_view reply, std::size_t maxServers)
{
    if (reply.size() > MaxMasterReplyBytes)
        return bad("the reply is longer than " + std::to_string(MaxMasterReplyBytes / 1024) + " KiB");
    if (reply.empty()) {
        MasterReply refused;
        refused.kind = MasterReply::Kind::Refused;
        refused.text = "closed without a list";
        return refused;
    }
    if (reply.size() > FinalMark.size() && reply.starts_with(FinalMark)) {
        // Most likely the greeting's end mark came late; a compressed list
        // whose first server is 92.102.105.110 begins the same way.
        MasterReply afterGreeting = parseBody(reply.substr(FinalMark.size()), maxServers);
        if (afterGreeting.kind == MasterReply::Kind::List) return afterGreeting;
        MasterReply whole = parseBody(reply, maxServers);
        return whole.kind == MasterReply::Kind::List ? whole : afterGreeting;
    }
    return parseBody(reply, maxServers);
}

} // namespace korvane

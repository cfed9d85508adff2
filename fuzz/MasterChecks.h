#pragma once
// Properties the master-list parsers keep for any bytes at all; the fuzzer
// and the corpus replay test both check them.

#include "master/GameSpyStatus.h"
#include "master/MasterProtocol.h"
#include "master/MasterReply.h"
#include "master/MastersFile.h"
#include "master/QueryPortResolver.h"

#include <set>
#include <string>

namespace korvane::checks {

inline std::string CheckMasterReply(const std::string& bytes)
{
    const MasterReply reply = parseMasterReply(bytes);
    if (reply.kind != MasterReply::Kind::List) {
        if (!reply.servers.empty()) return "servers without a list";
        if (reply.text.empty()) return "no list and no reason";
    } else {
        if (!bytes.ends_with("\\final\\")) return "a list without the end mark";
        if (reply.servers.size() > MaxServersPerMaster) return "more servers than the cap";
    }
    if (bytes.size() > MaxMasterReplyBytes && reply.kind != MasterReply::Kind::Bad) return "oversize taken";
    const bool compressedShape = !bytes.empty() && bytes[0] != '\\' && bytes.size() <= MaxMasterReplyBytes &&
                                 bytes.ends_with("\\final\\") && (bytes.size() - 7) % 6 == 0;
    if (compressedShape && reply.kind != MasterReply::Kind::List) return "a compressed list refused";
    std::set<ListedServer> seen;
    for (const ListedServer& server : reply.servers) {
        if (!isServerAddress(server.ip) || server.queryPort < 1 || server.queryPort > 65535)
            return "an unusable entry taken";
        if (!seen.insert(server).second) return "an entry taken twice";
        std::uint32_t ip = 0;
        if (!parseIpv4(server.address(), ip) || ip != server.ip) return "address text does not read back";
    }
    // A smaller cap keeps the first servers of the same reply.
    const MasterReply capped = parseMasterReply(bytes, 3);
    if (capped.kind != reply.kind) return "the cap changed the kind";
    if (capped.servers.size() > 3) return "the cap was passed";
    for (std::size_t i = 0; i < capped.servers.size(); ++i)
        if (capped.servers[i] != reply.servers[i]) return "the cap changed the order";
    if (reply.servers.size() > 3 && !capped.cut) return "a cut list not said to be cut";
    return {};
}

inline std::string CheckGameSpyStatus(const std::string& bytes)
{
    const GameSpyStatus status = parseGameSpyStatus(bytes);
    if (status.answered && bytes[0] != '\\') return "an answer that does not start with a backslash";
    if (status.hostPort != 0) {
        if (!status.hostPortSent) return "a port without its key";
        if (std::to_string(status.hostPort) !=
            status.hostPortText.substr(status.hostPortText.find_first_not_of('0')))
            return "a port that is not its text";
    }
    for (const std::string& value : {status.hostName, status.gameName, status.hostPortText})
        if (value.find('\\') != std::string::npos) return "a value holds a backslash";
    for (const int queryPort : {1, 97, 98, 12300, 65535}) {
        const std::optional<ResolvedServer> resolved =
            resolveFromReply({0x7F000001, queryPort}, bytes, nullptr);
        if (resolved.has_value() != (status.answered && (status.hostPort > 0 || queryPort > QueryPortOffset)))
            return "resolved when it should not be, or the other way";
        if (resolved && (resolved->gamePort < 1 || resolved->gamePort > 65535))
            return "a game port out of range";
        if (resolved && resolved->source == GamePortSource::HostPort && resolved->gamePort != status.hostPort)
            return "not the server's own port";
    }
    return {};
}

inline std::string CheckMasterTexts(const std::string& bytes)
{
    std::size_t consumed = 0;
    if (const std::optional<std::string> challenge = greetingChallenge(bytes, consumed)) {
        if (challenge->size() > 6) return "a challenge longer than 6";
        if (consumed > bytes.size()) return "consumed more than came";
        if (bytes.find("\\secure\\") == std::string::npos) return "a challenge without its key";
        const std::string answer = validateAnswer(*challenge, "M5Fdwc");
        if (answer.size() != (challenge->size() * 4 + 2) / 3) return "an answer of the wrong length";
    }
    if (const std::optional<MasterAddress> address = parseMasterAddress(bytes)) {
        if (address->port < 1 || address->port > 65535) return "a master port out of range";
        if (parseMasterAddress(address->text()) != address) return "a master address that does not read back";
    }
    return {};
}

inline std::string CheckMaster(const std::string& bytes)
{
    for (const auto check : {CheckMasterReply, CheckGameSpyStatus, CheckMasterTexts})
        if (std::string broken = check(bytes); !broken.empty()) return broken;
    return {};
}

} // namespace korvane::checks

#pragma once
// Properties every reply operation keeps for any bytes at all; the fuzzer and
// the corpus replay test both check them.

#include "platform/Convert.h"
#include "platform/Errors.h"
#include "query/RconRequest.h"
#include "query/ScanReply.h"
#include "query/StatusQuery.h"
#include "query/StatusReply.h"

#include <string>
#include <vector>

namespace korvane::checks {

// The first property the reply breaks, or empty text.
inline std::string CheckReply(const std::string& reply)
{
    for (const std::string& key : {KeyHostName, KeyMapName, KeyMaxClients, KeyMapList, KeyVersion, KeyUrl}) {
        const std::string value = ExtractValue(reply, key);
        if (value.find('\\') != std::string::npos) return "a value holds a backslash";
        if (!value.empty() && reply.find(key + value) == std::string::npos)
            return "a value is not in the reply";
    }

    const std::string game = DetectGame(reply);
    if (game != GameSpearhead && game != GameMedalOfHonor && game != GameBreakthrough) return "unknown game";

    const std::vector<PlayerEntry> entries = playerEntries(reply);
    const std::vector<PlayerEntry> players = ParsePlayers(reply);
    if (players.size() + (entries.empty() ? 0 : 1) != entries.size())
        return "not exactly the last entry dropped";
    for (std::size_t i = 0; i < players.size(); ++i)
        if (!(players[i] == entries[i])) return "players are not the entries in order";
    for (const PlayerEntry& e : entries) {
        if (e.name.find('"') != std::string::npos) return "a name holds a quote";
        if (e.firstField.find(' ') != std::string::npos) return "a first field holds a blank";
        if (e.name.size() + 2 > reply.size() && !e.name.empty())
            return "a name reaches the last two characters";
    }

    const std::string maximum = ExtractValue(reply, KeyMaxClients);
    if (playerCountText(players.size(), maximum).rfind("Players: ", 0) != 0)
        return "count text without its label";
    try {
        isFull(players.size(), maximum);
        if (!tryStrToInt(maximum)) return "full test accepted a maximum that is no integer";
    } catch (const ConvertError&) {
        if (tryStrToInt(maximum)) return "full test refused an integer maximum";
    }

    const ScanReply scan = evaluateScanReply(reply);
    if (scan.answered != isScanAnswer(reply)) return "scan answer test differs";
    if (scan.answered) {
        if (scan.names.size() != entries.size()) return "scan entries differ from the walk";
        int count = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (scan.names[i] != entries[i].name) return "scan names differ from the walk";
            if (!scan.names[i].empty()) ++count;
        }
        if (count != scan.playerCount) return "scan player count is not the non-empty names";
        if (scan.map != ExtractValue(reply, KeyMapName)) return "scan map differs";
    } else if (!scan.names.empty() || scan.playerCount || !scan.map.empty() || !scan.game.empty()) {
        return "a no-response has data";
    }
    try {
        const ScanOutcome outcome = decideScanOutcome(scan);
        if (scanCaption(scan, outcome).empty()) return "empty scan caption";
    } catch (const ConvertError&) {
        if (!scan.answered) return "a no-response raised an error";
    }

    const std::string mapList = ExtractValue(reply, KeyMapList);
    std::string joined;
    const std::vector<std::string> rotation = mapRotation(reply);
    for (std::size_t i = 0; i < rotation.size(); ++i) {
        if (rotation[i].find(' ') != std::string::npos) return "a rotation map holds a blank";
        joined += (i ? " " : "") + rotation[i];
    }
    if (!mapList.empty() && mapList.back() == ' ') joined += ' ';
    if (joined != mapList) return "rotation does not rebuild the map list";

    const ServerLink link = linkOf(reply);
    if (link.address.empty()) return "link without an address";
    if (link.caption == NoLinkCaption && link.address != SupportAddress)
        return "no-link caption with an address";

    const std::string stripped = stripMapFolders(scan.map);
    const bool stock = containsNoCase(stripped, "obj_team") || containsNoCase(stripped, "mohdm");
    if (mapInstalledIn(scan.map, {}) != stock) return "map installed without any file";

    const std::string prepared = prepareSelectionReply(reply);
    if (prepared.find('\xFF') != std::string::npos || prepared.size() > reply.size())
        return "selection preparation kept an FF byte";

    const std::string cleaned = cleanRconReply(reply);
    if (cleaned.find('\xFF') != std::string::npos) return "console cleaning kept an FF byte";
    const std::vector<std::string> lines = rconReplyLines(reply);
    if (lines.empty()) return "console shows nothing for a reply";
    for (const std::string& line : lines)
        if (line.find('\n') != std::string::npos) return "a console line holds a line feed";

    return {};
}

// The selection parses the prepared reply, so the properties must hold for
// that too.
inline std::string CheckReplyAndPrepared(const std::string& reply)
{
    const std::string broken = CheckReply(reply);
    if (!broken.empty()) return broken;
    const std::string brokenPrepared = CheckReply(prepareSelectionReply(reply));
    if (!brokenPrepared.empty()) return brokenPrepared + " (after preparation)";
    return {};
}

} // namespace korvane::checks

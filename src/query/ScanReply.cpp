#include "query/ScanReply.h"

#include "platform/Convert.h"
#include "query/StatusQuery.h"
#include "query/StatusReply.h"

namespace korvane {

ScanReply evaluateScanReply(const std::string& reply)
{
    ScanReply result;
    result.answered = isScanAnswer(reply);
    if (!result.answered) return result;
    result.game = DetectGame(reply);
    result.map = ExtractValue(reply, KeyMapName);
    result.maxClients = ExtractValue(reply, KeyMaxClients);
    result.names = playerEntryNames(reply);
    for (const std::string& name : result.names)
        if (!name.empty()) ++result.playerCount;
    return result;
}

ScanOutcome decideScanOutcome(const ScanReply& reply)
{
    if (!reply.answered) return ScanOutcome::NoResponse;
    return strToInt(reply.maxClients) == reply.playerCount ? ScanOutcome::Full : ScanOutcome::Answered;
}

std::string scanCaption(const ScanReply& reply, ScanOutcome outcome)
{
    switch (outcome) {
    case ScanOutcome::Full:
        return "FULL";
    case ScanOutcome::Answered:
        return std::to_string(reply.playerCount) + "/" + reply.maxClients;
    case ScanOutcome::NoResponse:
        break;
    }
    return "no response";
}

} // namespace korvane

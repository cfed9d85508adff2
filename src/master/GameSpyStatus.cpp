#include "master/GameSpyStatus.h"

#include "master/BackslashPairs.h"
#include "platform/Convert.h"

namespace korvane {

GameSpyStatus parseGameSpyStatus(std::string_view reply)
{
    GameSpyStatus status;
    bool hostNameSeen = false;
    bool gameNameSeen = false;
    forEachPair(reply, [&](std::string_view keyText, std::string_view value) {
        const std::string key = lowerCase(std::string(keyText));
        if (key == "final") {
            status.final = true;
            return false;
        }
        if (key.empty()) return true;
        status.answered = true;
        if (key == "hostname" && !hostNameSeen) {
            hostNameSeen = true;
            status.hostName = value;
        } else if (key == "gamename" && !gameNameSeen) {
            gameNameSeen = true;
            status.gameName = value;
        } else if (key == "hostport" && !status.hostPortSent) {
            status.hostPortSent = true;
            status.hostPortText = value;
            status.hostPort = portNumber(value);
        }
        return true;
    });
    return status;
}

} // namespace korvane

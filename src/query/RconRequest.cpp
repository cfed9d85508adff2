#include "query/RconRequest.h"

#include "platform/Convert.h"

namespace korvane {

std::string RconDatagram(const std::string& password, const std::string& command)
{
    std::string datagram = "\xFF\xFF\xFF\xFF\x02rcon ";
    datagram += password;
    datagram += ' ';
    datagram += command;
    datagram += '\n';
    datagram += '\0';
    return datagram;
}

bool rconExpectsReply(const std::string& datagram)
{
    return !containsNoCase(datagram, "quit");
}

bool rconClearsConsole(const std::string& command)
{
    return command == "clear" || command == "clr";
}

std::string cleanRconReply(const std::string& reply)
{
    return removeAllNoCase(withoutByte(reply, '\xFF'), "\x01print");
}

std::vector<std::string> splitConsoleLines(const std::string& cleaned)
{
    return splitPieces(cleaned, '\n');
}

std::vector<std::string> rconReplyLines(const std::string& reply)
{
    const std::string cleaned = cleanRconReply(reply);
    if (cleaned.empty()) return {RconNoResponseLine};
    return splitConsoleLines(cleaned);
}

} // namespace korvane

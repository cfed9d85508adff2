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

bool RconExpectsReply(const std::string& datagram)
{
    return !containsNoCase(datagram, "quit");
}

bool RconClearsConsole(const std::string& command)
{
    return command == "clear" || command == "clr";
}

std::string CleanRconReply(const std::string& reply)
{
    return removeAllNoCase(withoutByte(reply, '\xFF'), "\x01print");
}

std::vector<std::string> SplitConsoleLines(const std::string& cleaned)
{
    return splitPieces(cleaned, '\n');
}

std::vector<std::string> RconReplyLines(const std::string& reply)
{
    const std::string cleaned = CleanRconReply(reply);
    if (cleaned.empty()) return {RconNoResponseLine};
    return SplitConsoleLines(cleaned);
}

} // namespace korvane

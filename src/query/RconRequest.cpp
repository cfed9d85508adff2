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

bool rconExpectsReply(const std::string& command)
{
    return !containsNoCase(command, "quit");
}

bool rconClearsConsole(const std::string& command)
{
    return command == "clear" || command == "clr";
}

std::string cleanRconReply(const std::string& reply)
{
    // Quake III servers send the print header without the direction byte.
    static const std::string plainHeader = "\xFF\xFF\xFF\xFFprint";
    std::string text = reply;
    if (lowerCase(text.substr(0, plainHeader.size())) == plainHeader) text.erase(4, 5);
    return removeAllNoCase(withoutByte(text, '\xFF'), "\x01print");
}

std::vector<std::string> splitConsoleLines(const std::string& cleaned)
{
    return splitPieces(cleaned, '\n');
}

std::vector<std::string> rconReplyLines(const std::string& reply)
{
    return rconReplyLines(std::vector<std::string>{reply});
}

std::vector<std::string> rconReplyLines(const std::vector<std::string>& datagrams)
{
    std::vector<std::string> lines;
    for (const std::string& datagram : datagrams)
        for (std::string& line : splitConsoleLines(cleanRconReply(datagram)))
            lines.push_back(std::move(line));
    if (lines.empty()) lines.push_back(RconNoResponseLine);
    return lines;
}

} // namespace korvane

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
    std::string cleaned;
    cleaned.reserve(reply.size());
    for (char c : reply)
        if (c != '\xFF') cleaned += c;
    return removeAllNoCase(cleaned, "\x01print");
}

std::vector<std::string> SplitConsoleLines(const std::string& cleaned)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t lf = cleaned.find('\n'); lf != std::string::npos; lf = cleaned.find('\n', start)) {
        lines.push_back(cleaned.substr(start, lf - start));
        start = lf + 1;
    }
    if (start < cleaned.size()) lines.push_back(cleaned.substr(start));
    return lines;
}

std::vector<std::string> RconReplyLines(const std::string& reply)
{
    const std::string cleaned = CleanRconReply(reply);
    if (cleaned.empty()) return {RconNoResponseLine};
    return SplitConsoleLines(cleaned);
}

} // namespace korvane

#include "admin/PingGraph.h"

#include "platform/Convert.h"

namespace korvane {

std::optional<std::string> pingTextOf(const std::string& line)
{
    const std::size_t at = lowerCase(line).find(" in ");
    if (at == std::string::npos) return std::nullopt;
    std::string text;
    const std::size_t start = at + 4;
    const std::size_t end = line.size() >= 2 ? line.size() - 2 : 0;
    if (start < line.size() && line[start] == 'm') return text;
    for (std::size_t i = start; i < end; ++i) {
        text += line[i];
        if (line[i] == 'm') break;
    }
    return text;
}

PingColour pingFieldColour(const std::string& text)
{
    const std::optional<int> ms = tryStrToInt(text);
    if (!ms) return PingColour::Black;
    return *ms >= 100 ? PingColour::Red : PingColour::Green;
}

GraphLevel graphLevel(int ms)
{
    GraphLevel level{};
    if (ms < 50)
        level = {20 - ms / 10, PingColour::Navy};
    else if (ms < 100)
        level = {18 - ms / 10, PingColour::Green};
    else if (ms <= 1000)
        level = {16 - ms / 100, PingColour::Purple};
    else
        level = {20 - ms / 1000 - ms / 100, PingColour::Red};
    if (level.y < 1) level = {1, PingColour::Red};
    return level;
}

} // namespace korvane

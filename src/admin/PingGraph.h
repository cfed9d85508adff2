#pragma once
// The rules of the properties window's ping display: what a host-checker log
// line shows in the ping field and where the graph plots a ping time.

#include <optional>
#include <string>

namespace korvane {

enum class PingColour { Black, Green, Red, Navy, Purple };

// The graph starts at its right edge and moves one pixel left per log line.
inline constexpr int GraphRight = 250;

// What a line adds to the ping text: the characters after its first " in "
// (any case), up to and including the first "m", never its last two
// characters; an "m" right after " in " gives nothing. None without " in ".
// For "Ping for a, received 1 bytes from a in 23ms" that is "23".
std::optional<std::string> pingTextOf(const std::string& line);

// Red from 100 ms, green below, black for a text that is no number.
PingColour pingFieldColour(const std::string& text);

struct GraphLevel
{
    int y; // y grows downwards; the box is 22 high
    PingColour pen;
    bool operator==(const GraphLevel&) const = default;
};

// The level scale is not monotonic: each range has a band of its own.
GraphLevel graphLevel(int ms);

} // namespace korvane

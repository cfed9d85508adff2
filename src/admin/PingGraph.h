#pragma once
// The rules of the properties window's ping display: what a host-checker log
// line shows in the ping field and where the graph plots a ping time.

#include <optional>
#include <string>

namespace korvane {

enum class PingColour { Black, Green, Red, Navy, Purple };

// The graph: GraphWidth by GraphHeight pixels. It starts at its right edge
// and moves one pixel left per log line of the host checker, which pings
// once per graphStepMs: a pixel stands for the user's reply time-out, and a
// full width for GraphRight of them.
inline constexpr int GraphRight = 250;
inline constexpr int GraphWidth = GraphRight + 1;
inline constexpr int GraphHeight = 22;
inline constexpr int graphStepMs(int timeoutMs)
{
    return timeoutMs;
}
// Where the pen of a graph restarted for another server stands, whatever
// column its next step goes to.
inline constexpr int GraphRestartPenX = 97;

// What a line adds to the ping text: the characters after its first " in "
// (any case), up to and including the first "m", never its last two
// characters; an "m" right after " in " gives nothing. None without " in ".
// For "Ping for a, received 1 bytes from a in 23ms" that is "23".
std::optional<std::string> pingTextOf(const std::string& line);

// Red from 100 ms, green below, black for a text that is no number.
PingColour pingFieldColour(const std::string& text);

struct GraphLevel
{
    int y; // y grows downwards in the graph's GraphHeight
    PingColour pen;
    bool operator==(const GraphLevel&) const = default;
};

// The level scale is not monotonic: each range has a band of its own.
GraphLevel graphLevel(int ms);

} // namespace korvane

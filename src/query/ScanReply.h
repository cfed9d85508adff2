#pragma once
// The scan's reading of one status reply, as plain data: the worker turns it
// into a table row and runs the buddy matching over the entry names.

#include <string>
#include <vector>

namespace korvane {

struct ScanReply
{
    bool answered = false;  // the reply holds FF FF FF FF anywhere
    std::string game;       // DetectGame
    std::string map;        // value of "mapname\"
    std::string maxClients; // value of "sv_maxclients\", as text
    // Every entry's name in reply order, the empty one started by the reply's
    // final line feed included: the matching runs once per entry.
    std::vector<std::string> names;
    int playerCount = 0; // entries with a non-empty name
};

enum class ScanOutcome { NoResponse, Answered, Full };

// Empty fields when the reply is no answer.
ScanReply evaluateScanReply(const std::string& reply);

// Full when the player count equals max-clients read as an integer; throws
// ConvertError when max-clients is not one (the row then reads "sends shit").
ScanOutcome decideScanOutcome(const ScanReply& reply);

// The row caption: "<count>/<max-clients>", "FULL" or "no response".
std::string scanCaption(const ScanReply& reply, ScanOutcome outcome);

} // namespace korvane

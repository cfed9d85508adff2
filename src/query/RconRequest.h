#pragma once
// The remote console's datagram and the reading of its replies.

#include <string>
#include <vector>

namespace korvane {

inline constexpr int RconReplyTimeoutMs = 10000;
inline const std::string RconNoResponseLine = "no response from server";

// FF FF FF FF 02 "rcon " password " " command 0A 00, sent whole.
std::string RconDatagram(const std::string& password, const std::string& command);

// A datagram naming "quit" anywhere (any case) gets no wait for a reply.
bool RconExpectsReply(const std::string& datagram);

// "clear" and "clr", exactly, empty the console (the command is still sent).
bool RconClearsConsole(const std::string& command);

// Every FF byte removed, then every 01 byte followed by "print" (any case).
std::string CleanRconReply(const std::string& reply);

// The console lines of a cleaned reply: split at every LF (a CR before it
// stays), a non-empty last piece is a line too. Empty for an empty reply.
std::vector<std::string> SplitConsoleLines(const std::string& cleaned);

// What the console shows for a raw reply: its lines, or RconNoResponseLine
// when nothing is left after cleaning.
std::vector<std::string> RconReplyLines(const std::string& reply);

} // namespace korvane

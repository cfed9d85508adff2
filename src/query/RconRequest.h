#pragma once
// The remote console's datagram and the reading of its replies.

#include <string>
#include <vector>

namespace korvane {

inline constexpr int RconReplyTimeoutMs = 10000;
inline const std::string RconNoResponseLine = "no response from server";

// FF FF FF FF 02 "rcon " password " " command 0A 00, sent whole.
std::string RconDatagram(const std::string& password, const std::string& command);

// A command naming "quit" anywhere (any case) gets no wait for a reply. Only
// the command counts: a password holding "quit" must not cut every wait short.
bool rconExpectsReply(const std::string& command);

// "clear" and "clr", exactly, empty the console (the command is still sent).
bool rconClearsConsole(const std::string& command);

// Every FF byte removed, then every 01 byte followed by "print" (any case);
// a "print" right after the leading FF FF FF FF goes too (the Quake III form).
std::string cleanRconReply(const std::string& reply);

// The console lines of a cleaned reply: split at every LF (a CR before it
// stays), a non-empty last piece is a line too. Empty for an empty reply.
std::vector<std::string> splitConsoleLines(const std::string& cleaned);

// What the console shows for a raw reply: its lines, or RconNoResponseLine
// when nothing is left after cleaning.
std::vector<std::string> rconReplyLines(const std::string& reply);

// The same for a reply in several datagrams: each cleaned and split on its
// own, the lines in order; RconNoResponseLine only when no line is left.
std::vector<std::string> rconReplyLines(const std::vector<std::string>& datagrams);

} // namespace korvane

#pragma once
// Number conversions with the classic rules and error text.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Decimal (or $/0x hexadecimal) 32-bit integer; leading blanks and a sign are
// allowed, anything else throws ConvertError("'<text>' is not a valid integer value").
int strToInt(const std::string& text);

// The same rules without throwing.
std::optional<int> tryStrToInt(const std::string& text);

std::string intToStr(long long value);

// Windows-1252 case folding, byte for byte (foldByte of Charset.h).
std::string lowerCase(std::string text);
bool containsNoCase(const std::string& haystack, const std::string& needle);
// Every separator ends one piece (two in a row give an empty one); a
// non-empty rest after the last separator is the final piece.
std::vector<std::string> splitPieces(const std::string& text, char separator);

// text without the blanks (any of those bytes) at either end.
std::string_view trimmed(std::string_view text, std::string_view blanks = " ");

// Control bytes (below 0x20, and 0x7F) as "?", for a message naming a file or line.
std::string printable(std::string text);

// Every occurrence of byte removed.
std::string withoutByte(const std::string& text, char byte);

// Every occurrence of needle (any case) removed, left to right.
std::string removeAllNoCase(std::string text, const std::string& needle);

} // namespace korvane

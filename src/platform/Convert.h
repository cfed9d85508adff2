#pragma once
// Number conversions with the classic rules and error text.

#include <optional>
#include <string>

namespace korvane {

// Decimal (or $/0x hexadecimal) 32-bit integer; leading blanks and a sign are
// allowed, anything else throws ConvertError("'<text>' is not a valid integer value").
int strToInt(const std::string& text);

// The same rules without throwing.
std::optional<int> tryStrToInt(const std::string& text);

std::string intToStr(long long value);

// ASCII-only case folding; texts are single-byte and never converted.
std::string lowerCase(std::string text);
bool containsNoCase(const std::string& haystack, const std::string& needle);
// Every occurrence of needle (any case) removed, left to right.
std::string removeAllNoCase(std::string text, const std::string& needle);

} // namespace korvane

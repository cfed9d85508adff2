#include "platform/Convert.h"

#include "platform/Charset.h"
#include "platform/Errors.h"

#include <algorithm>
#include <climits>

namespace korvane {

std::optional<int> tryStrToInt(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Decimal only: "$12C" and "0x1F4" are not numbers in any file or field.
    if (i >= text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

int strToInt(const std::string& text)
{
    if (auto value = tryStrToInt(text)) return *value;
    throw ConvertError(text);
}

std::string intToStr(long long value)
{
    return std::to_string(value);
}

std::string lowerCase(std::string text)
{
    return foldCase(std::move(text));
}

bool containsNoCase(const std::string& haystack, const std::string& needle)
{
    return lowerCase(haystack).find(lowerCase(needle)) != std::string::npos;
}

std::vector<std::string> splitPieces(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end = text.find(separator); end != std::string::npos;
         end = text.find(separator, start)) {
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size()) pieces.push_back(text.substr(start));
    return pieces;
}

std::string_view trimmed(std::string_view text, std::string_view blanks)
{
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string printable(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

std::string withoutByte(const std::string& text, char byte)
{
    std::string result = text;
    result.erase(std::remove(result.begin(), result.end(), byte), result.end());
    return result;
}

std::string removeAllNoCase(std::string text, const std::string& needle)
{
    if (needle.empty()) return text;
    const std::string lowNeedle = lowerCase(needle);
    std::string result;
    result.reserve(text.size());
    const std::string low = lowerCase(text);
    // Jumping from match to match; comparing at every byte made every reply
    // cost its length times the needle's.
    size_t pos = 0;
    for (;;) {
        const size_t at = low.find(lowNeedle, pos);
        result.append(text, pos, at == std::string::npos ? std::string::npos : at - pos);
        if (at == std::string::npos) return result;
        pos = at + lowNeedle.size();
    }
}

} // namespace korvane

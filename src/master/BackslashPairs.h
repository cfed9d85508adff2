#pragma once
// The backslash-separated "\key\value\key\value" text the GameSpy family of
// protocols speaks, and the port numbers inside it.

#include <string_view>

namespace korvane {

// Calls take(key, value) for each pair of text that starts with a backslash,
// until it returns false; a last key without a value gets an empty one.
template <typename Take> void forEachPair(std::string_view text, Take&& take)
{
    if (text.empty() || text[0] != '\\') return;
    text.remove_prefix(1);
    while (!text.empty()) {
        const std::size_t keyEnd = text.find('\\');
        const std::string_view key = text.substr(0, keyEnd);
        std::string_view value;
        if (keyEnd == std::string_view::npos) {
            text = {};
        } else {
            text.remove_prefix(keyEnd + 1);
            const std::size_t valueEnd = text.find('\\');
            value = text.substr(0, valueEnd);
            text.remove_prefix(valueEnd == std::string_view::npos ? text.size() : valueEnd + 1);
        }
        if (!take(key, value)) return;
    }
}

// A port as decimal digits only, 1 to 65535; 0 for anything else.
inline int portNumber(std::string_view text)
{
    if (text.empty() || text.size() > 5) return 0;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value <= 65535 ? value : 0;
}

} // namespace korvane

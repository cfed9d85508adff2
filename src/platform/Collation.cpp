#include "platform/Collation.h"

#include <algorithm>

namespace korvane {

namespace {

unsigned char fold(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) // Latin-1 capitals
        return static_cast<unsigned char>(c + 32);
    return c;
}

} // namespace

std::string foldCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(fold(static_cast<unsigned char>(c)));
    return text;
}

int compareCaptions(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = fold(static_cast<unsigned char>(a[i]));
        const unsigned char y = fold(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    // Same letters: lower case goes first, as the desktop's word sort has it.
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y) return x > y ? -1 : 1;
    }
    return 0;
}

namespace {

// The byte toBytes gives for one character: beyond Latin-1, '?'.
unsigned char latin1(QChar c)
{
    return c.unicode() <= 0xFF ? static_cast<unsigned char>(c.unicode()) : static_cast<unsigned char>('?');
}

} // namespace

// The byte comparison above, read straight from the texts: sorting compares
// captions a million times and must not convert them each time.
int compareCaptions(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char x = fold(latin1(a[i]));
        const unsigned char y = fold(latin1(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char x = latin1(a[i]);
        const unsigned char y = latin1(b[i]);
        if (x != y) return x > y ? -1 : 1;
    }
    return 0;
}

} // namespace korvane

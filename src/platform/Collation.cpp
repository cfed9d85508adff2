#include "platform/Collation.h"

#include "platform/Charset.h"

#include <algorithm>

namespace korvane {

int compareCaptions(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = foldByte(static_cast<unsigned char>(a[i]));
        const unsigned char y = foldByte(static_cast<unsigned char>(b[i]));
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

// The byte toBytes gives for one character.
unsigned char byteOf(QChar c)
{
    return singleByteOf(c).value_or('?');
}

} // namespace

// The byte comparison above, read straight from the texts: sorting compares
// captions a million times and must not convert them each time.
int compareCaptions(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char x = foldByte(byteOf(a[i]));
        const unsigned char y = foldByte(byteOf(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char x = byteOf(a[i]);
        const unsigned char y = byteOf(b[i]);
        if (x != y) return x > y ? -1 : 1;
    }
    return 0;
}

} // namespace korvane

#pragma once
// Caption order of the sorted list views: the same under every locale, LANG=C
// included. Letters compare without case first (alice before Bob); equal texts
// then put lower case first; other bytes compare by value. Letters and their
// case are Windows-1252's (Charset.h).

#include <QString>
#include <string>

namespace korvane {

int compareCaptions(const std::string& a, const std::string& b);
int compareCaptions(const QString& a, const QString& b);
inline bool captionLess(const QString& a, const QString& b)
{
    return compareCaptions(a, b) < 0;
}

} // namespace korvane

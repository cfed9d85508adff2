#pragma once
// Caption order of the sorted list views: the same under every locale, LANG=C
// included. Letters compare without case first (alice before Bob); equal texts
// then put lower case first; other bytes compare by value.

#include <QString>
#include <string>

namespace korvane {

int compareCaptions(const std::string& a, const std::string& b);
// Lower case by the same letter table (foldByte): A-Z and the Windows-1252 capitals.
std::string foldCase(std::string text);
int compareCaptions(const QString& a, const QString& b);
inline bool captionLess(const QString& a, const QString& b)
{
    return compareCaptions(a, b) < 0;
}

} // namespace korvane

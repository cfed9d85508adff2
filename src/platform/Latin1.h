#pragma once
// Texts are single-byte and never converted: widgets get them through
// Latin-1 and give them back the same way, so every byte round-trips.

#include <QString>

#include <string>

namespace korvane {

inline QString toQString(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string toBytes(const QString& text)
{
    return text.toLatin1().toStdString();
}

// A path a file dialog chose, in the system's own encoding, as files are opened.
inline std::string toLocalPath(const QString& path)
{
    return path.toLocal8Bit().toStdString();
}

} // namespace korvane

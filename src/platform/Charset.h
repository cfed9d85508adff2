#pragma once
// Every conversion between bytes and text, in one place.
//
// The program's text (server and player names, the settings, the list and
// buddy files) is single-byte Windows-1252, the Western code page its players
// write in: Latin-1 plus printable letters where Latin-1 has control codes
// (0x8A is S caron). Bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) stand for themselves, so every byte round-trips.
//
// File names are the file system's bytes, and a file is always opened by the
// exact bytes it was found under. A name is shown as UTF-8 where it is valid
// UTF-8 and as Windows-1252 text otherwise; a name the program makes is
// written in the system's file-name encoding (UTF-8). The settings file keeps
// names and paths as Windows-1252 text, and reads them back as the file that
// exists under either form.

#include <QChar>
#include <QString>

#include <optional>
#include <string>

namespace korvane {

// Windows-1252 to text; every byte has a character.
QString toQString(const std::string& bytes);
// Text to Windows-1252; '?' for a character it has no byte for.
std::string toBytes(const QString& text);
// The byte of a character, or nothing.
std::optional<unsigned char> singleByteOf(QChar c);
inline bool fitsSingleByte(QChar c)
{
    return singleByteOf(c).has_value();
}
bool fitsSingleByte(const QString& text);
// Lower case of one byte: A-Z, the Latin-1 capitals and S, OE, Z, Y of Windows-1252.
unsigned char foldByte(unsigned char c);
std::string foldCase(std::string text);

// A file name or path as the user sees it, each part on its own (UTF-8 or Windows-1252).
QString fileNameText(const std::string& fileName);
// The file a name or path typed, chosen or kept in the settings stands for:
// each part in the system's encoding, or as its Windows-1252 bytes where only
// that form exists. Relative paths are found from base (the current directory
// when empty).
std::string fileNameOf(const QString& text, const std::string& base = {});
inline std::string fileNameFromSettings(const std::string& text, const std::string& base = {})
{
    return fileNameOf(toQString(text), base);
}
// The settings file's text for a file name or path: nothing when it has a
// character Windows-1252 cannot hold, or when its text would read back as
// another file.
std::optional<std::string> settingsTextOf(const std::string& fileName, const std::string& base = {});

} // namespace korvane

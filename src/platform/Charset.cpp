#include "platform/Charset.h"

#include "platform/Paths.h"

#include <QFile>
#include <QStringDecoder>

#include <array>
#include <sys/stat.h>

namespace korvane {

namespace {

// The characters of 0x80 to 0x9F; an undefined byte keeps its own code.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char16_t characterOf(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? HighControls[byte - 0x80] : char16_t(byte);
}

constexpr std::array<unsigned char, 256> makeFoldTable()
{
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) table[c] = static_cast<unsigned char>(c + 32);
    table[0x8A] = 0x9A; // S caron
    table[0x8C] = 0x9C; // OE
    table[0x8E] = 0x9E; // Z caron
    table[0x9F] = 0xFF; // Y diaeresis
    return table;
}

constexpr std::array<unsigned char, 256> FoldTable = makeFoldTable();

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool isUtf8(const std::string& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

QString partText(const std::string& part)
{
    return isUtf8(part) ? QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size()))
                        : toQString(part);
}

bool exists(const std::string& base, const std::string& path)
{
    if (path.find('\0') != std::string::npos) return false;
    std::string full = nativePath(path);
    if (!base.empty() && (full.empty() || full.front() != '/')) full = base + "/" + full;
    struct stat info
    {};
    return ::lstat(full.c_str(), &info) == 0;
}

} // namespace

QString toQString(const std::string& bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes)
        *out++ = QChar(characterOf(static_cast<unsigned char>(c)));
    return text;
}

std::optional<unsigned char> singleByteOf(QChar c)
{
    const char16_t code = c.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<unsigned char>(code);
    for (unsigned char byte = 0x80; byte <= 0x9F; ++byte)
        if (HighControls[byte - 0x80] == code) return byte;
    return std::nullopt;
}

std::string toBytes(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text)
        bytes += static_cast<char>(singleByteOf(c).value_or('?'));
    return bytes;
}

bool fitsSingleByte(const QString& text)
{
    for (const QChar c : text)
        if (!fitsSingleByte(c)) return false;
    return true;
}

unsigned char foldByte(unsigned char c)
{
    return FoldTable[c];
}

std::string foldCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(FoldTable[static_cast<unsigned char>(c)]);
    return text;
}

QString fileNameText(const std::string& fileName)
{
    QString text;
    size_t start = 0;
    for (size_t i = 0; i <= fileName.size(); ++i) {
        if (i < fileName.size() && !isSeparator(fileName[i])) continue;
        text += partText(fileName.substr(start, i - start));
        if (i < fileName.size()) text += QLatin1Char(fileName[i]);
        start = i + 1;
    }
    return text;
}

std::string fileNameOf(const QString& text, const std::string& base)
{
    std::string resolved;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isSeparator(text[i])) continue;
        const QString part = text.mid(start, i - start);
        const QByteArray system = QFile::encodeName(part);
        std::string name(system.constData(), static_cast<size_t>(system.size()));
        // A name kept from an old Windows install exists only as its single-byte form.
        if (fitsSingleByte(part)) {
            const std::string single = toBytes(part);
            if (single != name && !exists(base, resolved + name) && exists(base, resolved + single))
                name = single;
        }
        resolved += name;
        if (i < text.size()) resolved += static_cast<char>(text[i].unicode());
        start = i + 1;
    }
    return resolved;
}

std::optional<std::string> settingsTextOf(const std::string& fileName, const std::string& base)
{
    std::string text;
    size_t start = 0;
    for (size_t i = 0; i <= fileName.size(); ++i) {
        if (i < fileName.size() && !isSeparator(fileName[i])) continue;
        const std::string part = fileName.substr(start, i - start);
        if (isUtf8(part)) {
            const QString shown = QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size()));
            if (!fitsSingleByte(shown)) return std::nullopt;
            text += toBytes(shown);
        } else {
            text += part;
        }
        if (i < fileName.size()) text += fileName[i];
        start = i + 1;
    }
    // Read back, the text must not name another file that is there.
    const std::string back = fileNameFromSettings(text, base);
    if (back != fileName && exists(base, back)) return std::nullopt;
    return text;
}

} // namespace korvane

#include "scan/ScanOutput.h"

#include <cstdio>

namespace korvane {

std::string escapeField(const std::string& field)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(field.size());
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\t':
            result += "\\t";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\\':
            result += "\\\\";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                result += "\\x";
                result += Hex[byte >> 4];
                result += Hex[byte & 0xF];
            } else {
                result += c;
            }
        }
    }
    return result;
}

std::string outputLine(std::initializer_list<std::string> fields)
{
    std::string line;
    for (const std::string& field : fields) {
        if (&field != fields.begin()) line += '\t';
        line += escapeField(field);
    }
    line += '\n';
    return line;
}

bool printLine(std::initializer_list<std::string> fields)
{
    const std::string line = outputLine(fields);
    return std::fwrite(line.data(), 1, line.size(), stdout) == line.size();
}

} // namespace korvane

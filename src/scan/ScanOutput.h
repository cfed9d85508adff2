#pragma once
// korvane-scan's output: tab-separated fields, one record a line. Fields come
// from the network, so the bytes that would split a field or a line are escaped.

#include <initializer_list>
#include <string>

namespace korvane {

// TAB, CR, LF and backslash as \t, \r, \n, \\; other control bytes (0x00-0x1F,
// 0x7F) as \xHH with upper-case hex digits; every other byte as it is.
std::string escapeField(const std::string& field);

// The fields escaped, joined by TAB, ended by LF.
std::string outputLine(std::initializer_list<std::string> fields);
// That line on standard output; false when it cannot be written.
bool printLine(std::initializer_list<std::string> fields);

} // namespace korvane

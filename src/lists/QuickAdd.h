#pragma once
// Rules of quick add and "delete server": an address typed in one piece (in
// quick add and the Server List Editor alike), the name a server gives itself,
// and the texts the two actions show.

#include <QString>

#include <optional>
#include <string>

namespace korvane {

struct TypedAddress
{
    std::string ip;
    std::string port;
    bool operator==(const TypedAddress&) const = default;
};

// "1.2.3.4:203" typed into an IP edit: the text before the first ":" and
// everything after it (further ":" included); nothing without a ":".
std::optional<TypedAddress> splitTypedAddress(const std::string& ipText);

// The server's own name in a status reply: the value of sv_hostname up to the
// next backslash or the end of the settings line, whichever comes first.
// Empty unless the reply passes quick add's answer test.
std::string serverNameOf(const std::string& reply);

// add server to "Standard" list, naming the last part of the list's path.
QString addButtonCaption(const std::string& currentList);

// "Delete server", a line feed, the name and " ?".
std::string deleteQuestion(const std::string& name);

} // namespace korvane

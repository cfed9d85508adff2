#pragma once
// The GameSpy status exchange on a server's query port: the request, and the
// few values of the backslash-separated reply an import needs.

#include <string>
#include <string_view>

namespace korvane {

inline const std::string GameSpyStatusRequest = "\\status\\";

// A query port one above the game port by 97 is the games' default layout
// (12203 and 12300); it stands in when a server does not say its game port.
inline constexpr int QueryPortOffset = 97;

struct GameSpyStatus
{
    bool answered = false;     // "\key\value..." pairs: a GameSpy reply
    bool final = false;        // the pairs ended with "\final\"
    std::string hostName;      // "hostname", as sent
    std::string gameName;      // "gamename"
    bool hostPortSent = false; // a "hostport" key was there
    int hostPort = 0;          // its value, 0 when it is not a port (1 to 65535, digits only)
    std::string hostPortText;  // the value as sent
};

// Keys are compared in any letter case; the first of a repeated key counts;
// everything after "\final\" is ignored.
GameSpyStatus parseGameSpyStatus(std::string_view reply);

} // namespace korvane

#pragma once
// Facts picked out of a game server's status reply. Replies are byte strings
// searched as a whole; nothing here converts or trusts their structure.

#include <string>
#include <vector>

namespace korvane {

// The key texts exactly as searched, backslashes included.
inline const std::string KeyHostName = "sv_hostname\\";
inline const std::string KeyMapName = "mapname\\";
inline const std::string KeyMaxClients = "sv_maxclients\\";
inline const std::string KeyMapList = "\\sv_maplist\\";
inline const std::string KeyVersion = "\\version\\";
inline const std::string KeyUrl = "URL\\";
inline const std::string KeyGameName = "\\gamename\\";

inline const std::string GameSpearhead = "Spearhead";
inline const std::string GameMedalOfHonor = "Medal of Honor";
inline const std::string GameBreakthrough = "Breakthrough";

inline const std::string NoLinkCaption = "no link available";
// Where the link points when a server gives no web address of its own.
inline const std::string SupportAddress = "https://korvane.sourceforge.io/support";

struct PlayerEntry
{
    std::string name;
    std::string firstField; // the score, on real servers
    bool operator==(const PlayerEntry&) const = default;
};

struct ServerLink
{
    std::string caption;
    std::string address;
    bool operator==(const ServerLink&) const = default;
};

// Text after the first exact occurrence of key up to the next backslash (or
// the end); empty when the key does not occur.
std::string ExtractValue(const std::string& reply, const std::string& key);

// The server's host name: the value of sv_hostname up to the next backslash or
// the end of the settings line, whichever comes first. With sv_hostname last on
// the settings line the value would run on through every player line.
std::string hostNameOf(const std::string& reply);

// GameBreakthrough when the reply's version names Breakthrough or its game
// name is mohaab (any case), else GameSpearhead when the reply names "medal of
// honor spearhead" (any case), else GameMedalOfHonor.
std::string DetectGame(const std::string& reply);

// Every line feed from the 26th character on starts an entry, the final one
// included; see ParsePlayers for the dropped last entry.
std::vector<PlayerEntry> playerEntries(const std::string& reply);
// The names of playerEntries alone.
std::vector<std::string> playerEntryNames(const std::string& reply);

// playerEntries without its last entry (the one the reply's closing line feed starts).
std::vector<PlayerEntry> ParsePlayers(const std::string& reply);

// "Players: <count>/<maximum>".
std::string playerCountText(std::size_t count, const std::string& maximum);

// Whether count equals the maximum read as an integer; throws ConvertError
// when the maximum is not one.
bool isFull(std::size_t count, const std::string& maximum);

// The maps of sv_maplist in order; every blank ends a name (two blanks give an
// empty one), a non-empty rest after the last blank is the final name.
std::vector<std::string> mapRotation(const std::string& reply);

// The server's web link, or NoLinkCaption and SupportAddress.
ServerLink linkOf(const std::string& reply);

// The address a web link may hand to the desktop, blanks around it trimmed:
// http and https addresses as they are, one without a scheme ("www.clan.de",
// "www.clan.de:8080/forum") as http; "" for any other scheme (file:, smb:,
// javascript:), which a server must never get opened.
std::string openableWebAddress(const std::string& address);

// What the properties window shows of a reply besides the ping.
struct ReplyFacts
{
    std::string version;
    ServerLink link;
    std::vector<std::string> rotation;
    bool operator==(const ReplyFacts&) const = default;
};
ReplyFacts replyFacts(const std::string& reply);

// The map name with every "obj/" and "dm/" removed (any case).
std::string stripMapFolders(const std::string& map);

// Whether the map counts as installed given the file names of the game's
// "main" folder. Maps every installation has always count.
bool mapInstalledIn(const std::string& map, const std::vector<std::string>& fileNames);

// The same against the "main" folder beside the Allied Assault executable
// (both games share it). A missing folder lists nothing.
bool mapInstalled(const std::string& map, const std::string& aaPath);

// The selection's preparation of a reply before parsing: every FF byte
// removed, then every 01 byte followed by "statusresponse" (any case).
std::string prepareSelectionReply(const std::string& reply);

} // namespace korvane

#include "query/StatusReply.h"

#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cctype>

namespace korvane {

namespace {

// Case-insensitive find, ASCII only: replies are bytes, not text in a locale.
std::size_t findNoCase(const std::string& haystack, const std::string& needle)
{
    return lowerCase(haystack).find(lowerCase(needle));
}

std::string valueFrom(const std::string& reply, std::size_t start)
{
    const std::size_t end = reply.find('\\', start);
    return reply.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

std::string ExtractValue(const std::string& reply, const std::string& key)
{
    const std::size_t at = reply.find(key);
    if (at == std::string::npos) return {};
    return valueFrom(reply, at + key.size());
}

namespace {

// A key's value that ends with the settings line when the key is its last.
std::string settingsLineValue(const std::string& reply, const std::string& key)
{
    const std::string value = ExtractValue(reply, key);
    return value.substr(0, value.find_first_of("\r\n"));
}

} // namespace

std::string hostNameOf(const std::string& reply)
{
    return settingsLineValue(reply, KeyHostName);
}

std::string DetectGame(const std::string& reply)
{
    // A Breakthrough server names its game in its version ("Medal of Honor
    // Breakthrough 2.40b ..."); engines that give the game's short name call
    // it mohaab. Only those two values are read, so a host name, a map or a
    // player called Breakthrough changes nothing.
    if (containsNoCase(settingsLineValue(reply, KeyVersion), "breakthrough") ||
        lowerCase(settingsLineValue(reply, KeyGameName)) == "mohaab")
        return GameBreakthrough;
    return containsNoCase(reply, "medal of honor spearhead") ? GameSpearhead : GameMedalOfHonor;
}

namespace {

// The entry walk; without first fields a scan of a reply of many line feeds
// and no blank copies nothing but the names.
template <bool WithFirstFields> std::vector<PlayerEntry> walkEntries(const std::string& reply)
{
    // Positions are 0-based here; the walk starts at the 26th character, and
    // the quote searches never look at the reply's last two characters.
    const std::size_t length = reply.size();
    const std::size_t searchEnd = length >= 2 ? length - 2 : 0;
    std::vector<PlayerEntry> entries;
    // The first blank at or after the walk; searched again only once passed,
    // so a reply of line feeds without blanks is not searched to its end each time.
    std::size_t blank = 0;
    for (std::size_t i = 25; i < length; ++i) {
        if (reply[i] != '\n') continue;
        PlayerEntry entry;
        if constexpr (WithFirstFields) {
            if (blank != std::string::npos && blank < i + 1) blank = reply.find(' ', i + 1);
            entry.firstField =
                reply.substr(i + 1, blank == std::string::npos ? std::string::npos : blank - i - 1);
        }
        std::size_t j = i + 1;
        while (j < searchEnd && reply[j] != '"')
            ++j;
        ++j; // past the opening quote, or past the end of the search
        const std::size_t start = j;
        while (j < searchEnd && reply[j] != '"')
            ++j;
        if (j > start && start < length) entry.name = reply.substr(start, j - start);
        entries.push_back(std::move(entry));
        i = j; // the walk goes on after the closing quote
    }
    return entries;
}

} // namespace

std::vector<PlayerEntry> playerEntries(const std::string& reply)
{
    return walkEntries<true>(reply);
}

std::vector<std::string> playerEntryNames(const std::string& reply)
{
    std::vector<std::string> names;
    for (PlayerEntry& entry : walkEntries<false>(reply))
        names.push_back(std::move(entry.name));
    return names;
}

std::vector<PlayerEntry> ParsePlayers(const std::string& reply)
{
    std::vector<PlayerEntry> entries = playerEntries(reply);
    if (!entries.empty()) entries.pop_back();
    return entries;
}

std::string playerCountText(std::size_t count, const std::string& maximum)
{
    return "Players: " + std::to_string(count) + "/" + maximum;
}

bool isFull(std::size_t count, const std::string& maximum)
{
    const int max = strToInt(maximum);
    return max >= 0 && static_cast<std::size_t>(max) == count;
}

std::vector<std::string> mapRotation(const std::string& reply)
{
    return splitPieces(ExtractValue(reply, KeyMapList), ' ');
}

ServerLink linkOf(const std::string& reply)
{
    const std::size_t at = findNoCase(reply, KeyUrl);
    if (at == std::string::npos) return {NoLinkCaption, SupportAddress};
    const std::string value = valueFrom(reply, at + KeyUrl.size());
    if (!containsNoCase(value, "www") && !containsNoCase(value, "http:"))
        return {NoLinkCaption, SupportAddress};
    return {removeAllNoCase(value, "http://"), value};
}

namespace {

bool isScheme(const std::string& text)
{
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

bool isPort(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

} // namespace

std::string openableWebAddress(const std::string& link)
{
    // Blanks around a link are no part of it.
    const std::string address(trimmed(link));
    if (address.empty()) return {};
    // Only a scheme right before "://" names one; "www.clan.example:8080" is
    // a host with its port, and a colon further on (a query's own address) is
    // no scheme either.
    const std::size_t separator = address.find("://");
    if (separator != std::string::npos && isScheme(address.substr(0, separator))) {
        const std::string scheme = lowerCase(address.substr(0, separator));
        return scheme == "http" || scheme == "https" ? address : std::string();
    }
    // "name:" without a port after it is another scheme's address (mailto:, javascript:).
    const std::size_t colon = address.find(':');
    const std::size_t hostEnd = address.find_first_of("/?#");
    if (colon < hostEnd && !isPort(address.substr(colon + 1, hostEnd - colon - 1))) return {};
    return "http://" + address;
}

ReplyFacts replyFacts(const std::string& reply)
{
    return {ExtractValue(reply, KeyVersion), linkOf(reply), mapRotation(reply)};
}

std::string stripMapFolders(const std::string& map)
{
    return removeAllNoCase(removeAllNoCase(map, "obj/"), "dm/");
}

bool mapInstalledIn(const std::string& map, const std::vector<std::string>& fileNames)
{
    const std::string name = stripMapFolders(map);
    if (containsNoCase(name, "obj_team") || containsNoCase(name, "mohdm")) return true;
    // An empty map text is contained in every name but names no map.
    if (name.empty()) return false;
    for (const std::string& file : fileNames)
        if (containsNoCase(file, name)) return true;
    return false;
}

bool mapInstalled(const std::string& map, const std::string& aaPath)
{
    std::vector<std::string> files;
    if (!aaPath.empty()) {
        const std::string folder = folderOf(aaPath);
        const std::string mainFolder = folder.empty() ? dataPath("main") : nativePath(folder + "\\main");
        try {
            files = listFiles(mainFolder, "*.*");
        } catch (const IoError&) {
            // No "main" folder: nothing is installed beyond the stock maps.
        }
    }
    return mapInstalledIn(map, files);
}

std::string prepareSelectionReply(const std::string& reply)
{
    return removeAllNoCase(withoutByte(reply, '\xFF'), "\x01statusresponse");
}

} // namespace korvane

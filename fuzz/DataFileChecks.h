#pragma once
// Properties the data-file readers keep for any bytes in any file, and
// korvane-scan's output escaping for any field; the data-file fuzzer and the
// corpus replay test both check them. The files are written into the current
// directory, which the caller makes a scratch folder.

#include "admin/PasswordFile.h"
#include "app/AppState.h"
#include "app/ServerListFile.h"
#include "app/ServerListIndex.h"
#include "app/SettingsFile.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "scan/ScanOutput.h"
#include "scan/WatchLists.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace korvane::checks {

inline void writeRaw(const std::string& relative, const std::string& bytes)
{
    if (std::FILE* file = std::fopen(dataPath(relative).c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

// Reverses escapeField; "" and false when the text holds a stray backslash.
inline bool unescapeField(const std::string& text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size()) return false;
        switch (text[i]) {
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case '\\':
            out += '\\';
            break;
        case 'x':
            if (i + 2 >= text.size()) return false;
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
            break;
        default:
            return false;
        }
    }
    return true;
}

inline std::string CheckEscaping(const std::string& bytes)
{
    const std::string escaped = escapeField(bytes);
    for (const char c : escaped) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return "an escaped field holds a control byte";
    }
    std::string back;
    if (!unescapeField(escaped, back) || back != bytes) return "an escaped field does not read back";
    const std::string line = outputLine({bytes, bytes, bytes, bytes, "1"});
    if (line.back() != '\n' || line.find('\n') != line.size() - 1) return "an output record is not one line";
    if (std::count(line.begin(), line.end(), '\t') != 4) return "a server line has not five fields";
    return {};
}

// Any bytes as each data file in turn: the readers either read or throw a
// KorvaneError, and what they read is consistent.
inline std::string CheckDataFiles(const std::string& bytes)
{
    if (std::string broken = CheckEscaping(bytes); !broken.empty()) return broken;

    writeRaw("Config", bytes);
    try {
        AppState state;
        readSettings(state, [] {});
        const SettingsValues values = settingsOf(state, false);
        if (values.currentList.find_first_of("\r\n") != std::string::npos)
            return "a setting holds a line end";
    } catch (const KorvaneError&) {
    }

    writeRaw("Serverlists/Standard", bytes);
    try {
        const std::string path = listFilePath("Standard");
        const std::vector<ServerEntry> servers = readServers(path);
        const std::vector<std::string> names = readServerNames(path);
        if (names.size() != servers.size()) return "names and records disagree";
        for (std::size_t i = 0; i < servers.size(); ++i) {
            if (names[i] != servers[i].name) return "a name differs from its record";
            if (!lookupServer(path, servers[i].name).found) return "a listed name is not found";
        }
        // Kept across inputs, so each one is also a change the index must see.
        static ServerListIndex index;
        std::vector<std::string> lines = readAllLines(path);
        lines.resize(std::min<std::size_t>(lines.size(), 64));
        lines.push_back("");
        for (const std::string& line : lines) {
            const ServerAddress indexed = index.lookup(path, line);
            const ServerAddress walked = lookupServer(path, line);
            if (indexed.found != walked.found || indexed.ip != walked.ip || indexed.port != walked.port)
                return "the index and the file walk disagree";
        }
    } catch (const KorvaneError&) {
    }

    writeRaw("Passwords.txt", bytes);
    writeRaw("Buddys.txt", bytes);
    writeRaw("clantags.txt", bytes);
    try {
        const std::string key = bytes.substr(0, bytes.find_first_of("\r\n"));
        const std::optional<std::string> server = FindServerPassword(key);
        if (server && containsNoCase(*server, "rcon:")) return "an rcon value found as a server password";
        const WatchLists lists = readWatchLists();
        for (const std::string& name : lists.buddies)
            if (!name.empty() && matchPlayer(name, lists, false).empty())
                return "a buddy does not match itself";
        static WatchListReader reader;
        const PreparedWatchLists& prepared = reader.current();
        for (std::size_t i = 0; i < std::min<std::size_t>(lists.buddies.size(), 64); ++i)
            if (matchPlayer(lists.buddies[i], prepared, true) != matchPlayer(lists.buddies[i], lists, true))
                return "prepared and plain matching disagree";
    } catch (const KorvaneError&) {
    }
    return {};
}

} // namespace korvane::checks

#pragma once
// Server list files: one file per list in "Serverlists", three lines per
// server (name, IP, port). Paths are full native paths (listFilePath()).

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace korvane {

struct ServerEntry
{
    std::string name;
    std::string ip;
    std::string port;
    bool operator==(const ServerEntry&) const = default;
};

struct ServerAddress
{
    bool found = false; // the name matched some line
    std::string ip;
    std::string port;
};

inline constexpr const char* ServerListFolder = "Serverlists";
inline constexpr const char* DefaultListName = "Standard";

// The current list as the settings keep it, "Serverlists\Standard", from the
// list's name, and the name (the part after the last "\") from the current list.
std::string currentListOf(const std::string& listName);
std::string listNameOf(const std::string& currentList);

// Current directory + "\" + CurrentList.
std::string currentListPath(const std::string& currentList);
// The file of the list with that name; throws IoError for a name that is not
// one file name (empty, ".", "..", a separator or a control byte in it).
std::string listFilePath(const std::string& listName);

// The list a typed or chosen name stands for: its file name in the system's
// encoding, or an existing list's that shows the same name (Charset.h).
std::string listNameFor(const QString& typed);
// Why no list can be made or made current under that name, "" when one can:
// not one file name, longer than the file system takes, or a name the settings
// file cannot keep.
QString listNameRefusal(const std::string& listName);

// List names (extension-less regular files), in file-system order.
std::vector<std::string> enumerateLists();

std::vector<std::string> readServerNames(const std::string& path);
// The same names one at a time, none of them kept: lists run to 100,000 servers.
void readServerNames(const std::string& path, const std::function<void(const std::string&)>& take);
std::vector<ServerEntry> readServers(const std::string& path);

// Compares every line with the name; the last match wins.
ServerAddress lookupServer(const std::string& path, const std::string& name);

void appendServer(const std::string& path, const ServerEntry& server);
// Atomic: readers see the old or the new list.
void writeServerList(const std::string& path, const std::vector<ServerEntry>& servers);
// Drops every record whose name line equals the name; the old list stays whole on failure.
void removeServer(const std::string& path, const std::string& name);

void createList(const std::string& listName);
void deleteList(const std::string& listName);

} // namespace korvane

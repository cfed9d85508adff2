#include "app/ServerListFile.h"

#include "app/SettingsFile.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <algorithm>

namespace korvane {

std::string currentListOf(const std::string& listName)
{
    return std::string(ServerListFolder) + "\\" + listName;
}

std::string listNameOf(const std::string& currentList)
{
    const std::size_t slash = currentList.rfind('\\');
    return slash == std::string::npos ? currentList : currentList.substr(slash + 1);
}

std::string currentListPath(const std::string& currentList)
{
    return dataPath(currentList);
}

namespace {

// One file inside the lists folder, never a way out of it ("..\\Config").
bool isOneFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F;
    });
}

} // namespace

std::string listFilePath(const std::string& listName)
{
    if (!isOneFileName(listName))
        throw IoError("'" + toBytes(fileNameText(printable(listName))) + "' is not a valid list name");
    return currentListPath(currentListOf(listName));
}

std::string listNameFor(const QString& typed)
{
    return fileNameOf(typed, dataPath(ServerListFolder));
}

QString listNameRefusal(const std::string& listName)
{
    if (!isOneFileName(listName))
        return QLatin1Char('\'') + fileNameText(printable(listName)) +
               QStringLiteral("' is not a valid list name");
    const QString shown = fileNameText(listName);
    if (listName.size() > longestFileName(dataPath(ServerListFolder)))
        return QStringLiteral("The list name ") + shown + QStringLiteral(" is too long for the file system.");
    return settingsRefusal(currentListOf(listName), QStringLiteral("The list name ") + shown);
}

std::vector<std::string> enumerateLists()
{
    return listFiles(dataPath(ServerListFolder), "*.");
}

std::vector<std::string> readServerNames(const std::string& path)
{
    std::vector<std::string> names;
    readServerNames(path, [&](const std::string& name) { names.push_back(name); });
    return names;
}

void readServerNames(const std::string& path, const std::function<void(const std::string&)>& take)
{
    TextReader file(path);
    while (!file.eof()) {
        take(file.readLine());
        file.readLine();
        file.readLine();
    }
}

std::vector<ServerEntry> readServers(const std::string& path)
{
    TextReader file(path);
    std::vector<ServerEntry> servers;
    while (!file.eof()) {
        ServerEntry entry;
        entry.name = file.readLine();
        entry.ip = file.readLine();
        entry.port = file.readLine();
        servers.push_back(std::move(entry));
    }
    return servers;
}

ServerAddress lookupServer(const std::string& path, const std::string& name)
{
    TextReader file(path);
    ServerAddress address;
    while (!file.eof()) {
        if (file.readLine() == name) {
            address.found = true;
            address.ip = file.readLine();
            address.port = file.readLine();
        }
    }
    return address;
}

void appendServer(const std::string& path, const ServerEntry& server)
{
    // All three lines or none, so the list keeps its three-line records.
    appendFileLines(path, {server.name, server.ip, server.port});
}

void writeServerList(const std::string& path, const std::vector<ServerEntry>& servers)
{
    std::vector<std::string> lines;
    lines.reserve(servers.size() * 3);
    for (const ServerEntry& server : servers) {
        lines.push_back(server.name);
        lines.push_back(server.ip);
        lines.push_back(server.port);
    }
    replaceFileLines(path, lines);
}

void removeServer(const std::string& path, const std::string& name)
{
    std::vector<ServerEntry> kept;
    for (ServerEntry& server : readServers(path))
        if (server.name != name) kept.push_back(std::move(server));
    writeServerList(path, kept);
}

void createList(const std::string& listName)
{
    createEmptyFile(listFilePath(listName));
}

void deleteList(const std::string& listName)
{
    deleteFile(listFilePath(listName));
}

} // namespace korvane

#include "lists/ListFormats.h"

#include "admin/PasswordFile.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

namespace korvane {

namespace {

const std::string ServerMark = "Server=";
const std::string EmptyPasswordMark = "\"\"";
const std::string ByteOrderMark = "\xEF\xBB\xBF";

// The text from pos up to the delimiter; pos moves past the delimiter, or to
// the end when the delimiter does not come.
std::string scanTo(const std::string& line, std::size_t& pos, char delimiter)
{
    if (pos >= line.size()) {
        pos = line.size();
        return {};
    }
    const std::size_t end = line.find(delimiter, pos);
    const std::size_t stop = end == std::string::npos ? line.size() : end;
    std::string text = line.substr(pos, stop - pos);
    pos = end == std::string::npos ? line.size() : end + 1;
    return text;
}

// Files saved by editors on other systems may start with a UTF-8 signature.
std::vector<std::string> withoutByteOrderMark(std::vector<std::string> lines)
{
    if (!lines.empty() && lines.front().starts_with(ByteOrderMark))
        lines.front().erase(0, ByteOrderMark.size());
    return lines;
}

} // namespace

std::string importedListName(const std::string& chosenPath, const std::string& extension)
{
    return removeAllNoCase(namePartOf(chosenPath), extension);
}

ImportTarget importTarget(const QString& chosenPath, const std::string& extension)
{
    ImportTarget target;
    const QString name = fileNameText(importedListName(fileNameOf(chosenPath), extension));
    target.listName = listNameFor(name);
    target.refusal = listNameRefusal(target.listName);
    // Only a list that exists under another form of the name is taken instead of the new name.
    target.replacesAnother = target.listName != QFile::encodeName(name).toStdString();
    return target;
}

std::optional<SslfServer> parseSslfLine(const std::string& line)
{
    if (!containsNoCase(line, ServerMark)) return std::nullopt;
    // Positions count from a line that begins with "Server=": the game tag starts at 8.
    std::size_t pos = ServerMark.size();
    if (pos < line.size() && line[pos] == '"') {
        ++pos;
        scanTo(line, pos, '"');
    } else {
        scanTo(line, pos, ' ');
    }
    SslfServer result;
    result.server.ip = withoutByte(scanTo(line, pos, ':'), ' ');
    result.server.port = withoutByte(scanTo(line, pos, ' '), ' ');
    if (pos < line.size() && line[pos] == '"') {
        // No password. The mark and its blank are not part of the name, or
        // every export and import would add a blank in front of it.
        if (line.compare(pos, EmptyPasswordMark.size(), EmptyPasswordMark) == 0) {
            pos += EmptyPasswordMark.size();
            if (pos < line.size() && line[pos] == ' ') ++pos;
        }
    } else {
        result.password = withoutByte(scanTo(line, pos, ' '), ' ');
    }
    result.server.name = withoutByte(line.substr(pos), '"');
    return result;
}

std::vector<SslfServer> parseSslfLines(const std::vector<std::string>& lines)
{
    std::vector<SslfServer> servers;
    for (const std::string& line : withoutByteOrderMark(lines))
        if (auto server = parseSslfLine(line)) servers.push_back(std::move(*server));
    return servers;
}

std::vector<std::string> sslfFileLines(const std::vector<SslfServer>& servers)
{
    std::vector<std::string> lines = {
        "SSLF - Shared Server List Format - Version 1.01",
        " ",
        "// Create by HLSW (" + SslfPublisherAddress + ")",
        "// Dateiformatsinformationen auf " + SslfPublisherAddress + " unter Developer",
        " ",
        // The product's support site.
        "Name=\"" + SupportAddress + " - serverlist\"",
        " ",
    };
    for (const SslfServer& s : servers) {
        const std::string password = s.password && !s.password->empty() ? *s.password : EmptyPasswordMark;
        lines.push_back("Server=MoHAA " + s.server.ip + ":" + s.server.port + " " + password + " \"" +
                        s.server.name + "\"");
    }
    return lines;
}

ServerEntry parseAseLine(const std::string& line)
{
    const std::size_t colon = line.rfind(':');
    if (colon == std::string::npos) return {"", "", line};
    ServerEntry entry;
    entry.port = line.substr(colon + 1);
    const std::size_t bar = line.rfind('|', colon);
    if (bar == std::string::npos) {
        entry.ip = line.substr(0, colon);
    } else {
        entry.name = line.substr(0, bar);
        entry.ip = line.substr(bar + 1, colon - bar - 1);
    }
    return entry;
}

std::vector<ServerEntry> parseAseLines(const std::vector<std::string>& lines)
{
    std::vector<ServerEntry> servers;
    for (const std::string& line : withoutByteOrderMark(lines))
        servers.push_back(parseAseLine(line));
    return servers;
}

void importSslf(const std::string& chosenPath, const std::string& listName)
{
    const std::string listPath = listFilePath(listName);
    // Everything is read and parsed before anything is written.
    const std::vector<SslfServer> servers = parseSslfLines(readAllLines(chosenPath));
    std::vector<ServerEntry> entries;
    std::vector<PasswordRecord> passwords;
    for (const SslfServer& s : servers) {
        entries.push_back(s.server);
        if (s.password) passwords.push_back({PasswordKey(s.server.ip, s.server.port), *s.password});
    }
    std::optional<std::uint64_t> passwordsBefore;
    if (!passwords.empty()) passwordsBefore = addServerPasswords(passwords);
    try {
        writeServerList(listPath, entries);
    } catch (...) {
        // Passwords of servers that never reached a list are taken back.
        if (passwordsBefore) {
            try {
                truncatePasswordFile(*passwordsBefore);
            } catch (const IoError&) {
            }
        }
        throw;
    }
}

void exportSslf(const std::string& listName, const std::string& chosenPath)
{
    std::vector<SslfServer> servers;
    // Read once for the whole list, and only when some server needs it.
    std::optional<PasswordBook> passwords;
    for (ServerEntry& entry : readServers(listFilePath(listName))) {
        if (!passwords) passwords.emplace();
        std::optional<std::string> password = passwords->find(PasswordKey(entry.ip, entry.port)).server;
        servers.push_back({std::move(entry), std::move(password)});
    }
    replaceFileLines(chosenPath + ".sslf", sslfFileLines(servers));
}

void importAse(const std::string& chosenPath, const std::string& listName)
{
    const std::string listPath = listFilePath(listName);
    writeServerList(listPath, parseAseLines(readAllLines(chosenPath)));
}

} // namespace korvane

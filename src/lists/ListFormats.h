#pragma once
// Server list exchange formats: SSLF (read and written, with server passwords)
// and the ASE server list text (read). Imports replace the list named after the
// chosen file; no import or export ever leaves a half-written file: the list
// and the exported file are replaced atomically, and the passwords an SSLF
// import appends are cut off again when its list cannot be written, so the
// list and Passwords.txt always agree. Failures throw IoError.

#include "app/ServerListFile.h"
#include "query/StatusReply.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Where SSLF comes from (header lines 3 and 4 of an export).
inline const std::string SslfPublisherAddress = "http://www.hlsw.net";

// The list name an import gives: the file-name part of the chosen path with every
// occurrence of extension (".sslf" or ".txt") removed, any letter case.
std::string importedListName(const std::string& chosenPath, const std::string& extension);

// The list an import of the chosen file (a path as the file dialog gives it) writes.
struct ImportTarget
{
    std::string listName;
    QString refusal;              // why no list can have that name, or ""
    bool replacesAnother = false; // an existing list of another file name shows this name
};
ImportTarget importTarget(const QString& chosenPath, const std::string& extension);

// SSLF import of the chosen file into the list listName (replaced without a question);
// server passwords go to the password file, which must exist when there are any.
void importSslf(const std::string& chosenPath, const std::string& listName);
// SSLF export of the list listName to chosenPath + ".sslf" (always appended).
// Only server passwords are written, never remote-console ones.
void exportSslf(const std::string& listName, const std::string& chosenPath);
// ASE import of the chosen file into the list listName.
void importAse(const std::string& chosenPath, const std::string& listName);

struct SslfServer
{
    ServerEntry server;
    std::optional<std::string> password;
    bool operator==(const SslfServer&) const = default;
};

// nullopt: not a server line (no "Server=" in any case).
std::optional<SslfServer> parseSslfLine(const std::string& line);
// The server lines of a whole file, a UTF-8 byte-order mark on the first line ignored.
std::vector<SslfServer> parseSslfLines(const std::vector<std::string>& lines);
// The export's header followed by one server line per server; an empty
// password is written as the empty-password mark.
std::vector<std::string> sslfFileLines(const std::vector<SslfServer>& servers);

// Split from the right: port after the last ":", IP after the last "|" before it.
ServerEntry parseAseLine(const std::string& line);
// One server per line, a UTF-8 byte-order mark on the first line ignored.
std::vector<ServerEntry> parseAseLines(const std::vector<std::string>& lines);

} // namespace korvane

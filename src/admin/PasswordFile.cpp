#include "admin/PasswordFile.h"

#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <sys/stat.h>

namespace korvane {

namespace {

const std::string RconMark = "rcon:";

void appendRecord(const std::string& key, const std::string& value)
{
    // Both lines or neither: half a record would pair every later key with the wrong value.
    appendFileLines(dataPath(PasswordFileName), {key, value});
}

} // namespace

std::string PasswordKey(const std::string& ip, const std::string& port)
{
    return ip + port;
}

PasswordBook::PasswordBook() : m_lines(readAllLines(dataPath(PasswordFileName)))
{
    m_positions.reserve(m_lines.size());
    for (std::size_t line = 0; line < m_lines.size(); ++line)
        m_positions[m_lines[line]].push_back(line);
}

StoredPasswords PasswordBook::find(const std::string& key) const
{
    StoredPasswords found;
    const auto hit = m_positions.find(key);
    if (hit == m_positions.end()) return found;
    // The file walk compares every line with the key except the value it takes
    // after a match, so a value equal to a key is taken as a key; replayed over
    // this key's lines alone, a line right after a match is its value.
    std::size_t next = 0;
    for (const std::size_t line : hit->second) {
        if (line < next) continue;
        // A read past the end gives empty text.
        const std::string value = line + 1 < m_lines.size() ? m_lines[line + 1] : std::string();
        if (containsNoCase(value, RconMark))
            found.rcon = removeAllNoCase(value, RconMark);
        else
            found.server = value;
        next = line + 2;
    }
    return found;
}

StoredPasswords findPasswords(const std::string& key)
{
    return PasswordBook().find(key);
}

std::optional<std::string> FindServerPassword(const std::string& key)
{
    return findPasswords(key).server;
}

std::optional<std::string> FindRconPassword(const std::string& key)
{
    return findPasswords(key).rcon;
}

void AddServerPassword(const std::string& key, const std::string& password)
{
    appendRecord(key, password);
}

void AddRconPassword(const std::string& key, const std::string& password)
{
    appendRecord(key, RconMark + password);
}

std::uint64_t addServerPasswords(const std::vector<PasswordRecord>& records)
{
    std::vector<std::string> lines;
    lines.reserve(records.size() * 2);
    for (const PasswordRecord& record : records) {
        lines.push_back(record.key);
        lines.push_back(record.password);
    }
    return appendFileLines(dataPath(PasswordFileName), lines);
}

void truncatePasswordFile(std::uint64_t size)
{
    truncateFile(dataPath(PasswordFileName), size);
}

void ResetPasswords()
{
    const std::string path = dataPath(PasswordFileName);
    const bool created = !fileExists(path);
    replaceFileLines(path, {"// Korvane 1.11 password list", "//", ""});
    // The file holds secrets; one the user already has keeps the mode they gave it.
    if (created) ::chmod(path.c_str(), S_IRUSR | S_IWUSR);
}

} // namespace korvane

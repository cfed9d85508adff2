#pragma once
// Passwords.txt: per-server join and remote-console passwords. Records are
// only ever appended and the last record of each kind wins; only the reset
// shrinks (and creates) the file. Every operation opens and closes the file
// itself; a missing file is an IoError ("File not found") for all but the reset.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvane {

inline constexpr const char* PasswordFileName = "Passwords.txt";

// IP text immediately followed by port text: 10.0.0.5 + 203 -> "10.0.0.5203".
std::string PasswordKey(const std::string& ip, const std::string& port);

struct StoredPasswords
{
    std::optional<std::string> server;
    std::optional<std::string> rcon; // "rcon:" already removed
};

// Both kinds in one pass, for windows that show both.
StoredPasswords findPasswords(const std::string& key);

// The file read once, for many look-ups (an export asks for every server).
class PasswordBook
{
public:
    PasswordBook(); // reads the file; throws as findPasswords
    // What findPasswords(key) gives for the file as it was read.
    StoredPasswords find(const std::string& key) const;

private:
    std::vector<std::string> m_lines;
    // Line text to the numbers of the lines holding it, ascending.
    std::unordered_map<std::string, std::vector<std::size_t>> m_positions;
};

std::optional<std::string> FindServerPassword(const std::string& key);
std::optional<std::string> FindRconPassword(const std::string& key);

void AddServerPassword(const std::string& key, const std::string& password);
void AddRconPassword(const std::string& key, const std::string& password);

struct PasswordRecord
{
    std::string key;
    std::string password;
};

// Server-password records appended all or none. Returns the file's size
// before them, so a caller whose next step fails can take them back.
std::uint64_t addServerPasswords(const std::vector<PasswordRecord>& records);
void truncatePasswordFile(std::uint64_t size);

// Rewrites the file with its three header lines only.
void ResetPasswords();

} // namespace korvane

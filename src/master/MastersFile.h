#pragma once
// The masters an import asks: a plain text file in the data folder, one
// "host:port" a line, made with the community masters the first time it is
// needed. Blank lines and lines starting with "#" are passed over.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline constexpr const char* MastersFileName = "Masters.txt";

struct MasterAddress
{
    std::string host; // a name, an IPv4 address or an IPv6 address without brackets
    int port = 0;
    std::string text() const; // "host:port", "[v6]:port"
    bool operator==(const MasterAddress&) const = default;
};

const std::vector<MasterAddress>& defaultMasters();

// "host:port", "[IPv6]:port" or "host" alone (the masters' usual port);
// nothing for anything else (blanks or control bytes in the name, a port
// that is not 1 to 65535).
std::optional<MasterAddress> parseMasterAddress(std::string_view text);

struct MastersList
{
    std::vector<MasterAddress> masters; // in file order, each once
    std::vector<std::string> problems;  // one text per line that is no address
};

// Throws IoError as every data file does ("File not found" when missing).
MastersList readMasters(const std::string& path);
// Atomic: readers see the old or the new file.
void writeMasters(const std::string& path, const std::vector<MasterAddress>& masters);
// The data folder's masters file, or the defaults when it is missing; writes nothing.
MastersList readDataFolderMasters();
// The data folder's masters file, written with the defaults first when missing.
MastersList loadMasters();

} // namespace korvane

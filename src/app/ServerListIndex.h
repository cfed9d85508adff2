#pragma once
// Look-ups by name in one list file, many per pass, at the cost of one read
// of the list rather than one per look-up. One per thread: nothing is locked.

#include "app/ServerListFile.h"
#include "platform/TextFile.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvane {

class ServerListIndex
{
public:
    // What lookupServer(path, name) gives, errors included; the file is read
    // and indexed again only when it is not the one read last time.
    ServerAddress lookup(const std::string& path, const std::string& name);

private:
    void rebuild();

    FileSnapshot m_file;
    std::vector<std::string> m_lines;
    // Line text to the numbers of the lines holding it, ascending.
    std::unordered_map<std::string, std::vector<std::size_t>> m_positions;
};

} // namespace korvane

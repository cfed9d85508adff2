#include "app/ServerListIndex.h"

namespace korvane {

ServerAddress ServerListIndex::lookup(const std::string& path, const std::string& name)
{
    // No regular file to know: the plain look-up fails (or not) in its own words.
    const std::optional<FileIdentity> identity = regularFileIdentity(path);
    if (!identity) {
        m_file.forget();
        return lookupServer(path, name);
    }
    if (m_file.refresh(path, identity)) {
        try {
            rebuild();
        } catch (...) {
            m_file.forget();
            throw;
        }
    }

    ServerAddress address;
    const auto hit = m_positions.find(name);
    if (hit == m_positions.end()) return address;
    // The file walk compares every line except the two it takes after a
    // match; replayed over this name's lines alone, the last taken match wins.
    std::size_t next = 0;
    std::size_t match = 0;
    for (const std::size_t line : hit->second) {
        if (line < next) continue;
        address.found = true;
        match = line;
        next = line + 3;
    }
    if (address.found) {
        // Reads past the end give empty text.
        if (match + 1 < m_lines.size()) address.ip = m_lines[match + 1];
        if (match + 2 < m_lines.size()) address.port = m_lines[match + 2];
    }
    return address;
}

void ServerListIndex::rebuild()
{
    m_lines.clear();
    m_positions.clear();
    const std::string& data = m_file.bytes();
    std::size_t pos = 0;
    while (pos < data.size())
        m_lines.push_back(nextTextLine(data, pos));
    m_positions.reserve(m_lines.size());
    for (std::size_t line = 0; line < m_lines.size(); ++line)
        m_positions[m_lines[line]].push_back(line);
}

} // namespace korvane

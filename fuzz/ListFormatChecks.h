#pragma once
// Properties the SSLF and ASE readers keep for any bytes at all, and the SSLF
// round trip; the list-format fuzzer and the corpus replay test both check them.

#include "lists/ListFormats.h"
#include "platform/Convert.h"

#include <string>
#include <vector>

namespace korvane::checks {

// The first property one line breaks in either reader, or empty text.
inline std::string CheckListLine(const std::string& line)
{
    const std::optional<SslfServer> sslf = parseSslfLine(line);
    if (sslf.has_value() != containsNoCase(line, "Server=")) return "server line test differs";
    if (sslf) {
        if (sslf->server.ip.find(' ') != std::string::npos) return "an SSLF IP holds a blank";
        if (sslf->server.port.find(' ') != std::string::npos) return "an SSLF port holds a blank";
        if (sslf->password && sslf->password->find(' ') != std::string::npos)
            return "a password holds a blank";
        if (sslf->server.name.find('"') != std::string::npos) return "an SSLF name holds a quote";
        if (!withoutByte(line, '"').ends_with(sslf->server.name)) return "an SSLF name is not the line's end";
    }

    const ServerEntry ase = parseAseLine(line);
    if (line.find(':') == std::string::npos) {
        if (!(ase == ServerEntry{"", "", line})) return "a line without a colon is not all port";
        return {};
    }
    if (ase.port.find(':') != std::string::npos) return "an ASE port holds a colon";
    if (ase.ip.find('|') != std::string::npos) return "an ASE IP holds a bar";
    const bool withoutName = ase.name.empty() && ase.ip + ":" + ase.port == line;
    if (!withoutName && ase.name + "|" + ase.ip + ":" + ase.port != line)
        return "ASE fields do not make the line";
    return {};
}

// A server list drawn from any bytes: one server a line, fields split by tabs
// (name, IP, port, password), with what the format cannot carry left out.
inline std::vector<SslfServer> ServersFromBytes(const std::string& bytes)
{
    auto without = [](std::string text, const std::string& bytesToDrop) {
        for (char c : bytesToDrop)
            text = withoutByte(text, c);
        return text;
    };
    std::vector<SslfServer> servers;
    for (const std::string& line : splitPieces(bytes, '\n')) {
        const std::vector<std::string> fields = splitPieces(line, '\t');
        auto field = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string(); };
        SslfServer s;
        s.server.name = without(field(0), "\r\"");
        s.server.ip = without(field(1), "\r :");
        s.server.port = without(field(2), "\r ");
        std::string password = without(field(3), "\r ");
        while (password.starts_with('"'))
            password.erase(0, 1);
        if (!password.empty()) s.password = password;
        servers.push_back(std::move(s));
    }
    return servers;
}

// Written as SSLF and read back, the servers come back exactly.
inline std::string CheckSslfRoundTrip(const std::vector<SslfServer>& servers)
{
    const std::vector<std::string> lines = sslfFileLines(servers);
    if (lines.size() != servers.size() + 7) return "not one line per server after the header";
    if (parseSslfLines(lines) != servers) return "SSLF round trip differs";
    return {};
}

inline std::string CheckListFormats(const std::string& bytes)
{
    for (const std::string& line : splitPieces(bytes, '\n')) {
        const std::string broken = CheckListLine(withoutByte(line, '\r'));
        if (!broken.empty()) return broken;
    }
    return CheckSslfRoundTrip(ServersFromBytes(bytes));
}

} // namespace korvane::checks

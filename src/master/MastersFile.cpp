#include "master/MastersFile.h"

#include "master/BackslashPairs.h"
#include "master/MasterProtocol.h"
#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cctype>

namespace korvane {

namespace {

bool hostByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte > 0x20 && byte < 0x7F && c != '\\' && c != '/' && c != ',' && c != '[' && c != ']';
}

} // namespace

std::string MasterAddress::text() const
{
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

const std::vector<MasterAddress>& defaultMasters()
{
    static const std::vector<MasterAddress> masters = {
        {"master.333networks.com", DefaultMasterPort}, {"master.errorist.eu", DefaultMasterPort},
        {"master.gonespy.com", DefaultMasterPort},     {"master.newbiesplayground.net", DefaultMasterPort},
        {"master.gametir.com", DefaultMasterPort},
    };
    return masters;
}

std::optional<MasterAddress> parseMasterAddress(std::string_view text)
{
    MasterAddress address;
    std::string_view host = text;
    std::string_view port;
    bool hasPort = false;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') return std::nullopt;
            port = rest.substr(1);
            hasPort = true;
        }
        const bool v6 = !host.empty() && host.find(':') != std::string_view::npos &&
                        std::all_of(host.begin(), host.end(), [](char c) {
                            return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
                        });
        if (!v6) return std::nullopt;
    } else {
        const std::size_t colon = text.find(':');
        if (colon != std::string_view::npos) {
            host = text.substr(0, colon);
            port = text.substr(colon + 1);
            hasPort = true;
        }
        if (host.empty() || !std::all_of(host.begin(), host.end(), hostByte)) return std::nullopt;
    }
    address.host = host;
    address.port = hasPort ? portNumber(port) : DefaultMasterPort;
    if (address.port == 0) return std::nullopt;
    return address;
}

MastersList readMasters(const std::string& path)
{
    MastersList list;
    const std::vector<std::string> lines = readAllLines(path);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = trimmed(lines[i], " \t");
        if (line.empty() || line.starts_with('#')) continue;
        const std::optional<MasterAddress> address = parseMasterAddress(line);
        if (!address) {
            list.problems.push_back(std::string(MastersFileName) + " line " + std::to_string(i + 1) + ": '" +
                                    printable(std::string(line.substr(0, 80))) + "' is not HOST:PORT");
            continue;
        }
        if (std::find(list.masters.begin(), list.masters.end(), *address) == list.masters.end())
            list.masters.push_back(*address);
    }
    return list;
}

void writeMasters(const std::string& path, const std::vector<MasterAddress>& masters)
{
    std::vector<std::string> lines;
    for (const MasterAddress& master : masters)
        lines.push_back(master.text());
    replaceFileLines(path, lines);
}

MastersList readDataFolderMasters()
{
    const std::string path = dataPath(MastersFileName);
    if (!fileExists(path)) return {defaultMasters(), {}};
    return readMasters(path);
}

MastersList loadMasters()
{
    const std::string path = dataPath(MastersFileName);
    if (!fileExists(path)) writeMasters(path, defaultMasters());
    return readDataFolderMasters();
}

} // namespace korvane

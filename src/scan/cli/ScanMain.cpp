// korvane-scan: one scan pass of the current list, headless, run in a data
// folder; prints the final server table, the buddies found and the status text.
// With --master, the public servers of a game from the masters instead.

#include "app/AppState.h"
#include "app/ServerListFile.h"
#include "app/SettingsFile.h"
#include "master/MasterProtocol.h"
#include "master/MastersFile.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/Process.h"
#include "platform/TextFile.h"
#include "scan/ScanOutput.h"
#include "scan/ScanRun.h"
#include "scan/ScanTable.h"
#include "scan/WatchLists.h"
#include "scan/cli/MasterListing.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

using namespace korvane;

namespace {

const char* const Usage =
    "Usage: korvane-scan [OPTION]...\n"
    "  or:  korvane-scan --master GAMENAME [--masters HOST:PORT[,HOST:PORT...]]\n"
    "Scan the current server list of the Korvane data folder in the working directory once,\n"
    "with the settings of its Config, and print the result; or, with --master, print the\n"
    "public servers of a game as the masters list them.\n"
    "\n"
    "      --in-flight K       keep at most K servers under way at once (1 to 65536, default 4096);\n"
    "                          requests leave only as fast as the line brings the replies back\n"
    "      --master GAMENAME   mohaa (Allied Assault), mohaas (Spearhead) or mohaab (Breakthrough)\n"
    "      --masters LIST      the masters to ask instead of those of the data folder's Masters.txt\n"
    "      --help              display this help and exit\n"
    "      --version           output version information and exit\n"
    "\n"
    "Output: one line per server (caption, map, host, game, icon), one line per buddy\n"
    "found (\"buddy\", name, host), tab-separated, then the final status text.\n"
    "With --master: one line per server (IP:GAMEPORT, query port), sorted by address,\n"
    "then one line per master (\"master\", HOST:PORT, result).\n"
    "Exit status: 0 after a complete pass (with --master: when a master gave a list),\n"
    "1 on failure, 2 on a wrong option.\n"
    "\n"
    "Home page: <https://korvane.sourceforge.io>\n";

const char* const Version =
    "korvane-scan (Korvane) 1.11\n"
    "Copyright (C) 2026 the Korvane developers.\n"
    "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n";

// GNU style: a short hint rather than the whole usage text.
int usageError(const std::string& text)
{
    std::cerr << "korvane-scan: " << text << "\nTry 'korvane-scan --help' for more information.\n";
    return 2;
}

// Error texts may carry bytes of a list or a reply: escaped like the output.
int fail(const std::string& text)
{
    std::cerr << escapeField(text) << "\n";
    return 1;
}

// An error's whole text: the program's own errors may hold NUL bytes.
int fail(const std::exception& error)
{
    const auto* own = dynamic_cast<const KorvaneError*>(&error);
    return fail(own ? own->text() : std::string(error.what()));
}

} // namespace

int main(int argc, char** argv)
{
    int inFlight = DefaultInFlight;
    bool inFlightGiven = false;
    std::optional<std::string> gameName;
    std::optional<std::vector<MasterAddress>> masters;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // "--name VALUE" or "--name=VALUE"; nothing when arg is not that option.
        std::string missing;
        auto valueOf = [&](const std::string& name) -> std::optional<std::string> {
            if (arg == name) {
                if (i + 1 < argc) return std::string(argv[++i]);
                missing = name;
                return std::nullopt;
            }
            if (arg.starts_with(name + "=")) return arg.substr(name.size() + 1);
            return std::nullopt;
        };
        if (const std::optional<std::string> text = valueOf("--in-flight")) {
            char* end = nullptr;
            const long value = std::strtol(text->c_str(), &end, 10);
            if (text->empty() || *end != '\0' || value < 1 || value > MaxInFlight)
                return usageError("--in-flight needs 1 to " + std::to_string(MaxInFlight) + ", not '" +
                                  *text + "'");
            inFlight = static_cast<int>(value);
            inFlightGiven = true;
        } else if (const std::optional<std::string> name = valueOf("--master")) {
            if (!findMasterGame(*name))
                return usageError("--master needs mohaa, mohaas or mohaab, not '" + escapeField(*name) + "'");
            gameName = *name;
        } else if (const std::optional<std::string> list = valueOf("--masters")) {
            masters.emplace();
            for (const std::string& piece : splitPieces(*list + ",", ',')) {
                const std::optional<MasterAddress> address = parseMasterAddress(piece);
                if (!address) return usageError("'" + escapeField(piece) + "' in --masters is not HOST:PORT");
                if (std::find(masters->begin(), masters->end(), *address) == masters->end())
                    masters->push_back(*address);
            }
        } else if (!missing.empty()) {
            return usageError("option '" + missing + "' requires an argument");
        } else if (arg == "--help" || arg == "-h") {
            std::cout << Usage;
            return 0;
        } else if (arg == "--version") {
            std::cout << Version;
            return 0;
        } else if (arg.starts_with("-")) {
            return usageError("unrecognized option '" + arg + "'");
        } else {
            return usageError("extra operand '" + arg + "'");
        }
    }
    if (masters && !gameName) return usageError("--masters goes with --master");
    if (gameName && inFlightGiven) return usageError("--in-flight does not go with --master");

    if (gameName) {
        try {
            return printMasterListing(*gameName, masters ? *masters : dataFolderMasters());
        } catch (const std::exception& error) {
            return fail(error);
        }
    }

    raiseOpenFileLimit(WantedOpenFiles);
    ScanTable table;
    try {
        AppState state;
        readSettings(state, [] {});
        const std::string path = currentListPath(state.CurrentList);
        if (!fileExists(path)) return fail("Please select a server list !");
        table.loadServers(readServerNames(path));
        table.list = state.CurrentList;
        table.timeout = state.TimeoutMs;
        table.clantags = state.CheckClantags;
    } catch (const std::exception& error) {
        return fail(error);
    }

    // The pass still runs as the window's would (players' servers then show
    // "sends shit"), but a script should hear why.
    try {
        readWatchLists();
    } catch (const std::exception& error) {
        std::cerr << "korvane-scan: warning: " << BuddyFileName << " or " << ClantagFileName << ": "
                  << escapeField(error.what()) << "\n";
    }

    ScanControl control;
    const PassResult result = runScanPass(table, control, inFlight);
    if (result.end != PassEnd::Complete) return fail(result.error.empty() ? "scan halted" : result.error);
    // Replies lost on this machine show as silent servers: say why.
    if (const std::uint64_t dropped = control.dropped.load())
        std::cerr << "korvane-scan: warning: the system dropped " << dropped
                  << " replies for want of receive buffer room\n";

    bool written = true;
    for (const ScanRow& row : table.rows)
        written = written && printLine({row.caption, row.map, row.host, row.game, std::to_string(row.image)});
    for (const BuddyItem& buddy : table.buddies)
        written = written && printLine({"buddy", buddy.caption, buddy.host});
    written = written && printLine({table.statusText});
    if (!written || std::fflush(stdout) != 0)
        return fail(std::string("standard output: ") + std::strerror(errno));
    return 0;
}

// korvane-scan: one scan pass of the current list, headless, run in a data
// folder; prints the final server table, the buddies found and the status text.

#include "app/AppState.h"
#include "app/ServerListFile.h"
#include "app/SettingsFile.h"
#include "platform/TextFile.h"
#include "scan/ScanRun.h"
#include "scan/ScanTable.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>

using namespace korvane;

namespace {

const char* const Usage =
    "usage: korvane-scan [--in-flight K]\n"
    "Run in a Korvane data folder: scans the current list once with the settings of Config\n"
    "and prints one line per server (caption, map, host, game, icon; tab-separated),\n"
    "one line per buddy found (\"buddy\", name, host) and the final status text.\n";

int fail(const std::string& text)
{
    std::cerr << text << "\n";
    return 1;
}

void printLine(std::initializer_list<std::string> fields)
{
    std::string line;
    bool first = true;
    for (const std::string& field : fields) {
        if (!first) line += '\t';
        line += field;
        first = false;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

} // namespace

int main(int argc, char** argv)
{
    int inFlight = DefaultInFlight;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--in-flight" && i + 1 < argc) {
            char* end = nullptr;
            const long value = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || value < 1 || value > 4096)
                return fail("korvane-scan: --in-flight needs 1 to 4096");
            inFlight = static_cast<int>(value);
        } else if (arg == "--help" || arg == "-h") {
            std::cout << Usage;
            return 0;
        } else {
            std::cerr << Usage;
            return 2;
        }
    }

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
        return fail(error.what());
    }

    ScanControl control;
    const PassResult result = runScanPass(table, control, inFlight);
    if (result.end != PassEnd::Complete) return fail(result.error.empty() ? "scan halted" : result.error);

    for (const ScanRow& row : table.rows)
        printLine({row.caption, row.map, row.host, row.game, std::to_string(row.image)});
    for (const BuddyItem& buddy : table.buddies)
        printLine({"buddy", buddy.caption, buddy.host});
    printLine({table.statusText});
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// libFuzzer target: any bytes as the settings, list, password and watch-list
// files, and as korvane-scan output fields; a broken property aborts like a crash.

#include "DataFileChecks.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // One scratch data folder for the whole run, made current once: corpus
    // folders must be given as absolute paths (scripts/fuzz.sh does).
    static QTemporaryDir folder;
    static const bool ready =
        QDir(folder.path()).mkpath(QStringLiteral("Serverlists")) && QDir::setCurrent(folder.path());
    if (!ready) std::abort();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string broken = korvane::checks::CheckDataFiles(bytes);
    if (!broken.empty()) {
        std::fprintf(stderr, "broken property: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

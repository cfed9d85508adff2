#include "launch/EngineSearch.h"

#include "platform/Convert.h"
#include "platform/Process.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace korvane {

namespace {

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The folders directly inside folder, in name order.
std::vector<std::string> subfolders(const std::string& folder)
{
    std::vector<std::string> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_directory(error)) found.push_back(it->path().string());
    std::sort(found.begin(), found.end());
    return found;
}

// Lower is better: the game's launcher, the engine, an AppImage.
int rank(const EngineName& name, Game game)
{
    switch (name.form) {
    case EngineForm::Launcher:
        return name.launcherGame == game ? 0 : -1;
    case EngineForm::Engine:
        return 1;
    case EngineForm::AppImage:
        return 2;
    case EngineForm::None:
        break;
    }
    return -1;
}

} // namespace

SearchEnvironment currentSearchEnvironment()
{
    return {environmentValue("HOME"), environmentValue("PATH"), environmentValue("XDG_DATA_HOME")};
}

std::vector<std::string> engineSearchFolders(const SearchEnvironment& environment)
{
    std::vector<std::string> folders;
    // Relative PATH entries depend on where Korvane was started: left out.
    for (const std::string& entry : splitPieces(environment.path, ':'))
        if (!entry.empty() && entry.front() == '/') folders.push_back(entry);
    if (!environment.home.empty()) {
        for (const char* place : {"/Applications", "/AppImages", "/.local/bin", "/bin", "/Downloads"})
            folders.push_back(environment.home + place);
    }
    const std::string dataHome = !environment.xdgDataHome.empty() ? environment.xdgDataHome
                                 : !environment.home.empty()      ? environment.home + "/.local/share"
                                                                  : std::string();
    if (!dataHome.empty()) {
        const std::string own = dataHome + "/openmohaa";
        folders.push_back(own);
        for (const std::string& inside : subfolders(own))
            folders.push_back(inside);
    }
    folders.push_back("/opt/openmohaa");
    return folders;
}

std::string findEngine(Game game, const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        std::string best;
        int bestRank = 3;
        std::error_code error;
        for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            const std::string path = it->path().string();
            const int r = rank(engineNameOf(path), game);
            // Names decide the order among equals, so the choice never depends on the listing.
            if (r < 0 || r > bestRank || (r == bestRank && path >= best)) continue;
            if (inspectProgram(path) != ProgramFile::Executable) continue;
            best = path;
            bestRank = r;
        }
        if (!best.empty()) return best;
    }
    return {};
}

} // namespace korvane

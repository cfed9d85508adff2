#pragma once
// Finding an installed OpenMoHAA: on PATH (a distribution's package), in the
// folders AppImages are usually kept in, and in the engine's own data folder
// (~/.local/share/openmohaa and the folders inside it, where a release
// archive is often unpacked).

#include "launch/GameLaunch.h"

#include <string>
#include <vector>

namespace korvane {

struct SearchEnvironment
{
    std::string home;        // $HOME
    std::string path;        // $PATH
    std::string xdgDataHome; // $XDG_DATA_HOME, "" when unset
};

SearchEnvironment currentSearchEnvironment();

// The folders looked in, in order; folders that do not exist are kept (they
// simply hold nothing).
std::vector<std::string> engineSearchFolders(const SearchEnvironment& environment);

// The first folder that holds a program for the game decides; inside it the
// game's own launcher comes before the engine, and the engine before an
// AppImage. Only executable files count. "" when there is none.
std::string findEngine(Game game, const std::vector<std::string>& folders);

} // namespace korvane

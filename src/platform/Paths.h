#pragma once
// Every data file is "current directory + relative name"; relative names may
// carry backslashes (as the settings file stores them) and keep them in every
// text the user sees. They are mapped to the native separator only here.

#include <string>

namespace korvane {

// Current directory + separator + relative name, backslashes mapped.
std::string dataPath(const std::string& relativeName);

// Maps backslashes of any path (absolute game paths too) to the native separator.
std::string nativePath(const std::string& path);

// The folder part of a path: everything before its last separator (either kind).
std::string folderOf(const std::string& path);
// The name part of a path: everything after its last separator (either kind).
std::string namePartOf(const std::string& path);

std::string currentDirectory();

} // namespace korvane

#include "platform/Paths.h"

#include <climits>
#include <unistd.h>

namespace korvane {

std::string nativePath(const std::string& path)
{
    std::string result = path;
    for (char& c : result)
        if (c == '\\') c = '/';
    return result;
}

std::string currentDirectory()
{
    // The folder's own bytes: a name that is not valid in the locale's encoding still opens.
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

std::string dataPath(const std::string& relativeName)
{
    std::string relative = nativePath(relativeName);
    if (!relative.empty() && relative.front() == '/') relative.erase(0, 1);
    return currentDirectory() + "/" + relative;
}

std::string folderOf(const std::string& path)
{
    const size_t pos = path.find_last_of("/\\");
    return pos == std::string::npos ? std::string() : path.substr(0, pos);
}

std::string namePartOf(const std::string& path)
{
    const size_t pos = path.find_last_of("/\\");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

} // namespace korvane

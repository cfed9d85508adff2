#include "platform/Paths.h"

#include <QDir>

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
    return QDir::currentPath().toLocal8Bit().toStdString();
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

} // namespace korvane

#include "scan/WatchLists.h"

#include "platform/Collation.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace korvane {

WatchLists readWatchLists()
{
    WatchLists lists;
    lists.buddies = readAllLines(dataPath(BuddyFileName));
    lists.clantags = readAllLines(dataPath(ClantagFileName));
    return lists;
}

std::vector<std::string> matchPlayer(const std::string& name, const WatchLists& lists, bool checkClantags)
{
    std::vector<std::string> captions;
    if (name.empty()) return captions;
    // Player names are Latin-1: "JÖRG" is the buddy "jörg".
    const std::string lowerName = foldCase(name);
    for (const std::string& line : lists.buddies)
        if (foldCase(line) == lowerName) captions.push_back(line);
    if (checkClantags)
        for (const std::string& tag : lists.clantags)
            if (!tag.empty() && lowerName.find(foldCase(tag)) != std::string::npos) captions.push_back(name);
    return captions;
}

void rewriteWatchFile(const std::string& fileName, const std::vector<std::string>& entries)
{
    const std::string path = dataPath(fileName);
    if (!fileExists(path)) throw IoError(FileNotFoundText);
    replaceFileLines(path, entries);
}

std::string buddyColumnCaption(int itemCount)
{
    if (itemCount <= 0) return "No Buddys online";
    return std::to_string(itemCount) + " Buddys online";
}

} // namespace korvane

#include "scan/WatchLists.h"

#include "platform/Charset.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <algorithm>

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
    // Player names are Windows-1252: "JÖRG" is the buddy "jörg", "ŠIMON" the buddy "šimon".
    const std::string lowerName = foldCase(name);
    for (const std::string& line : lists.buddies)
        if (foldCase(line) == lowerName) captions.push_back(line);
    if (checkClantags)
        for (const std::string& tag : lists.clantags)
            if (!tag.empty() && lowerName.find(foldCase(tag)) != std::string::npos) captions.push_back(name);
    return captions;
}

namespace {

std::vector<std::string> linesOf(const std::string& data)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < data.size())
        lines.push_back(nextTextLine(data, pos));
    return lines;
}

void prepareBuddies(PreparedWatchLists& prepared, const std::vector<std::string>& buddies)
{
    prepared.buddies.clear();
    for (const std::string& line : buddies)
        if (!line.empty()) prepared.buddies[foldCase(line)].push_back(line);
}

void prepareClantags(PreparedWatchLists& prepared, const std::vector<std::string>& clantags)
{
    // A player gets the name once per tag line it holds, so equal tags count
    // together; a tag longer than the name cannot be in it.
    std::unordered_map<std::string, std::size_t> counts;
    for (const std::string& tag : clantags)
        if (!tag.empty()) ++counts[foldCase(tag)];
    prepared.clantags.assign(counts.begin(), counts.end());
    std::sort(prepared.clantags.begin(), prepared.clantags.end(),
              [](const auto& a, const auto& b) { return a.first.size() < b.first.size(); });
}

} // namespace

PreparedWatchLists prepareWatchLists(const WatchLists& lists)
{
    PreparedWatchLists prepared;
    prepareBuddies(prepared, lists.buddies);
    prepareClantags(prepared, lists.clantags);
    return prepared;
}

std::vector<std::string> matchPlayer(const std::string& name, const PreparedWatchLists& lists,
                                     bool checkClantags)
{
    std::vector<std::string> captions;
    if (name.empty()) return captions;
    const std::string lowerName = foldCase(name);
    if (const auto hit = lists.buddies.find(lowerName); hit != lists.buddies.end()) captions = hit->second;
    if (checkClantags) {
        for (const auto& [tag, count] : lists.clantags) {
            if (tag.size() > lowerName.size()) break;
            if (lowerName.find(tag) != std::string::npos) captions.insert(captions.end(), count, name);
        }
    }
    return captions;
}

const PreparedWatchLists& WatchListReader::current()
{
    const std::string buddyPath = dataPath(BuddyFileName);
    const std::string tagPath = dataPath(ClantagFileName);
    const std::optional<FileIdentity> buddyIdentity = regularFileIdentity(buddyPath);
    const std::optional<FileIdentity> tagIdentity =
        buddyIdentity ? regularFileIdentity(tagPath) : std::nullopt;
    if (!buddyIdentity || !tagIdentity) {
        // The plain read fails (or not) in its own words.
        m_buddyFile.forget();
        m_tagFile.forget();
        m_lists = prepareWatchLists(readWatchLists());
        return m_lists;
    }
    try {
        if (m_buddyFile.refresh(buddyPath, buddyIdentity))
            prepareBuddies(m_lists, linesOf(m_buddyFile.bytes()));
        if (m_tagFile.refresh(tagPath, tagIdentity)) prepareClantags(m_lists, linesOf(m_tagFile.bytes()));
    } catch (...) {
        // Whatever was half done is redone from the files next time.
        m_buddyFile.forget();
        m_tagFile.forget();
        throw;
    }
    return m_lists;
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

#pragma once
// The buddy and clan-tag watch lists: their files and what a player entry
// matches in them.

#include "platform/TextFile.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace korvane {

inline constexpr const char* BuddyFileName = "Buddys.txt";
inline constexpr const char* ClantagFileName = "clantags.txt";

struct WatchLists
{
    std::vector<std::string> buddies;
    std::vector<std::string> clantags;
};

// Both files read afresh; either missing throws IoError ("File not found").
WatchLists readWatchLists();

// The buddies-list captions one player entry produces, in order: every buddy
// line equal to the name ignoring case (as written in the file), then the name
// as the server wrote it once per clan tag it contains ignoring case (only when
// checkClantags). An empty name and an empty line never match.
std::vector<std::string> matchPlayer(const std::string& name, const WatchLists& lists, bool checkClantags);

// Both lists ready for matching many player entries.
struct PreparedWatchLists
{
    // Buddy lines by their case-folded text, in file order; empty lines left out.
    std::unordered_map<std::string, std::vector<std::string>> buddies;
    // Case-folded non-empty tags and how many lines hold each, shortest first.
    std::vector<std::pair<std::string, std::size_t>> clantags;
};

PreparedWatchLists prepareWatchLists(const WatchLists& lists);

// matchPlayer's captions, in its order, from the prepared lists.
std::vector<std::string> matchPlayer(const std::string& name, const PreparedWatchLists& lists,
                                     bool checkClantags);

// Both files as readWatchLists() reads them at this moment, errors included,
// read again only when a file is not the one read last time. One per thread.
class WatchListReader
{
public:
    // Valid until the next call.
    const PreparedWatchLists& current();

private:
    FileSnapshot m_buddyFile;
    FileSnapshot m_tagFile;
    PreparedWatchLists m_lists;
};

// Replaces a list file with the entries, one per line. The file must exist
// (IoError "File not found" otherwise, and nothing is created); a reader at
// the same moment sees the old or the new contents.
void rewriteWatchFile(const std::string& fileName, const std::vector<std::string>& entries);

// "No Buddys online", or the count followed by " Buddys online".
std::string buddyColumnCaption(int itemCount);

} // namespace korvane

#pragma once
// The buddy and clan-tag watch lists: their files and what a player entry
// matches in them.

#include <string>
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

// Replaces a list file with the entries, one per line. The file must exist
// (IoError "File not found" otherwise, and nothing is created); a reader at
// the same moment sees the old or the new contents.
void rewriteWatchFile(const std::string& fileName, const std::vector<std::string>& entries);

// "No Buddys online", or the count followed by " Buddys online".
std::string buddyColumnCaption(int itemCount);

} // namespace korvane

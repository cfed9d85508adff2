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

// "No Buddys online", or the count followed by " Buddys online".
std::string buddyColumnCaption(int itemCount);

} // namespace korvane

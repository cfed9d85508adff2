#pragma once
// When to tell the player that a buddy or clan mate has come online: after a
// complete scan, about those who were on no server in the scan before, in
// one notification however many there are, and only while the main window
// is out of sight.

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace korvane {

// One entry of the buddies list: the caption and the server's list name.
struct FoundBuddy
{
    std::string name;
    std::string server;
};

struct BuddyAlert
{
    std::string title;
    std::string text;
    std::string server; // the first newcomer's, selected when the notification is clicked
    bool operator==(const BuddyAlert&) const = default;
};

// How many newcomers the text names; the rest are counted.
inline constexpr std::size_t AlertNamesShown = 5;

class BuddyWatch
{
public:
    // A complete scan's buddies list, in list order. A newcomer is a name
    // (any case) the previous scan's list did not hold; the list becomes the
    // previous one whether an alert is made or not.
    std::optional<BuddyAlert> scanEnded(const std::vector<FoundBuddy>& found, bool windowAway, bool alertsOn);

private:
    std::unordered_set<std::string> m_previous;
};

} // namespace korvane

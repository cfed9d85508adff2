#include "scan/BuddyAlerts.h"

#include "platform/Convert.h"

namespace korvane {

std::optional<BuddyAlert> BuddyWatch::scanEnded(const std::vector<FoundBuddy>& found, bool windowAway,
                                                bool alertsOn)
{
    std::unordered_set<std::string> current;
    std::vector<const FoundBuddy*> newcomers;
    for (const FoundBuddy& buddy : found) {
        const std::string key = lowerCase(buddy.name);
        // A name on two servers, or a buddy who is also a clan mate, is one newcomer.
        if (current.insert(key).second && !m_previous.count(key)) newcomers.push_back(&buddy);
    }
    m_previous = std::move(current);
    if (newcomers.empty() || !windowAway || !alertsOn) return std::nullopt;

    BuddyAlert alert;
    alert.server = newcomers.front()->server;
    if (newcomers.size() == 1) {
        alert.title = newcomers.front()->name + " is online";
        alert.text = newcomers.front()->name + " plays on " + newcomers.front()->server;
        return alert;
    }
    alert.title = std::to_string(newcomers.size()) + " Buddys online";
    for (std::size_t i = 0; i < newcomers.size() && i < AlertNamesShown; ++i)
        alert.text += (i ? "\n" : "") + newcomers[i]->name + " on " + newcomers[i]->server;
    if (newcomers.size() > AlertNamesShown)
        alert.text += "\nand " + std::to_string(newcomers.size() - AlertNamesShown) + " more";
    return alert;
}

} // namespace korvane

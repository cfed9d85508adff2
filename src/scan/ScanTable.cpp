#include "scan/ScanTable.h"

#include "scan/ScanRun.h"

#include "platform/Collation.h"
#include "scan/WatchLists.h"

#include <algorithm>

namespace korvane {

namespace {

template <typename T> bool captionOrder(const T& a, const T& b)
{
    return compareCaptions(a.caption, b.caption) < 0;
}

} // namespace

void ScanTable::loadServers(const std::vector<std::string>& names)
{
    serverBox = names;
    rows.clear();
    for (const std::string& name : names)
        rows.push_back({"not scanned", ImageNew, "", name, ""});
}

std::vector<std::string> ScanTable::rowHosts(int first, int count)
{
    std::vector<std::string> hosts;
    for (int row = first; row < first + count; ++row)
        hosts.push_back(row >= 0 && row < rowCount() ? rows[static_cast<std::size_t>(row)].host
                                                     : std::string());
    return hosts;
}

void ScanTable::startProgress()
{
    progressVisible = true;
    progressPosition = 0;
}

void ScanTable::addBuddy(const std::string& caption, const std::string& host)
{
    // The buddies list keeps itself sorted; an equal caption goes after its peers.
    BuddyItem item{caption, host};
    buddies.insert(std::upper_bound(buddies.begin(), buddies.end(), item, captionOrder<BuddyItem>), item);
}

void ScanTable::updateBuddyCaption()
{
    buddyCaption = buddyColumnCaption(static_cast<int>(buddies.size()));
}

void ScanTable::writeRow(int row, const ScanRow& contents)
{
    if (row < 0 || row >= rowCount()) return;
    rows[static_cast<std::size_t>(row)] = contents;
    if (tableSorted) std::stable_sort(rows.begin(), rows.end(), captionOrder<ScanRow>);
}

void ScanTable::sortPlayersAndBuddies()
{
    std::stable_sort(buddies.begin(), buddies.end(), captionOrder<BuddyItem>);
}

void ScanTable::sortTableByCaption()
{
    tableSorted = true;
    std::stable_sort(rows.begin(), rows.end(), captionOrder<ScanRow>);
}

void ScanTable::scrollToFirstPopulated()
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (showsPlayers(rows[i].caption)) {
            scrolledRow = static_cast<int>(i);
            return;
        }
}

void ScanTable::endScanning()
{
    scanning = false;
    progressVisible = false;
}

} // namespace korvane

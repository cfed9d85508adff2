#pragma once
// The parts of the main window a scan reads and changes, as plain data: the
// view of the headless scanner, and what tests compare passes with.

#include "scan/ScanView.h"

#include <string>
#include <vector>

namespace korvane {

struct BuddyItem
{
    std::string caption;
    std::string host;
    bool operator==(const BuddyItem&) const = default;
};

class ScanTable : public ScanView
{
public:
    // One "not scanned" row per name, as the main window's creation makes them.
    void loadServers(const std::vector<std::string>& names);

    // State, readable after (or during) a pass.
    std::vector<std::string> serverBox;
    std::vector<ScanRow> rows;      // in display order
    std::vector<BuddyItem> buddies; // in display order
    std::string buddyCaption = "No Buddys online";
    std::string statusText;
    std::string list;
    int timeout = 1000;
    bool clantags = false;
    bool scanning = true;
    bool tableSorted = true;
    bool progressVisible = false;
    int progressPosition = 0;
    int scrolledRow = -1; // the row last scrolled into view

    int serverBoxCount() override { return static_cast<int>(serverBox.size()); }
    int rowCount() override { return static_cast<int>(rows.size()); }
    std::vector<std::string> rowHosts(int first, int count) override;
    std::string currentList() override { return list; }
    int timeoutMs() override { return timeout; }
    bool checkClantags() override { return clantags; }

    void hideListEditors() override {}
    void unsortTable() override { tableSorted = false; }
    void clearBuddies() override { buddies.clear(); }
    void startProgress() override;
    void repaintBuddies() override {}
    void stepProgress() override { ++progressPosition; }
    void setStatusText(const std::string& text) override { statusText = text; }
    void repaintWindow() override {}
    void addBuddy(const std::string& caption, const std::string& host) override;
    void updateBuddyCaption() override;
    void writeRow(int row, const ScanRow& contents) override;
    void scrollToRow(int row) override { scrolledRow = row; }
    void hideProgress() override { progressVisible = false; }
    void sortPlayersAndBuddies() override;
    void sortTableByCaption() override;
    void scrollToFirstPopulated() override;
    void endScanning() override;
};

} // namespace korvane

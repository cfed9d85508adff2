#pragma once
// The scan worker's view of the main window: every read and change the worker
// makes, and nothing else. The window's implementation carries each call to
// the UI thread in the order the worker issues it; tests record the calls.

#include <string>
#include <vector>

namespace korvane {

// Icons of the server table rows.
enum ScanImage : int { ImageNew = 0, ImageAnswered = 1, ImageFull = 2, ImageNoResponse = 3 };

struct ScanRow
{
    std::string caption;
    int image = ImageNew;
    std::string map;
    std::string host;
    std::string game;
    bool operator==(const ScanRow&) const = default;
};

class ScanView
{
public:
    virtual ~ScanView() = default;

    // Reads.
    virtual int serverBoxCount() = 0;
    virtual int rowCount() = 0;
    // The hosts of count rows from first, in one read; empty for a row that
    // does not exist.
    virtual std::vector<std::string> rowHosts(int first, int count) = 0;
    virtual std::string currentList() = 0;
    virtual int timeoutMs() = 0;
    virtual bool checkClantags() = 0;

    // Changes, in the order the pass makes them.
    virtual void hideListEditors() = 0; // the Server List Editor and Options, when the editor shows
    virtual void unsortTable() = 0;
    virtual void clearBuddies() = 0;
    virtual void startProgress() = 0; // shown, at 0
    virtual void repaintBuddies() = 0;
    virtual void stepProgress() = 0;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void repaintWindow() = 0;
    virtual void addBuddy(const std::string& caption, const std::string& host) = 0;
    virtual void updateBuddyCaption() = 0; // from the buddies list's item count
    virtual void writeRow(int row, const ScanRow& contents) = 0;
    virtual void scrollToRow(int row) = 0;
    virtual void hideProgress() = 0;
    virtual void sortPlayersAndBuddies() = 0;
    virtual void sortTableByCaption() = 0;
    virtual void scrollToFirstPopulated() = 0;
    virtual void endScanning() = 0; // Scanning off, progress hidden, "scan now " back

    // The changes issued so far should reach the window now: the worker is
    // about to wait for the network, or the pass ends.
    virtual void flush() {}
    // The same, but the worker need not wait for the window to make them:
    // it goes on applying rows meanwhile.
    virtual void send() { flush(); }
};

} // namespace korvane

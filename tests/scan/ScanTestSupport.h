#pragma once
// A recording view of the scan, a running fleet and a data folder for it.

#include "fleet/Fleet.h"
#include "scan/ScanRun.h"
#include "scan/ScanTable.h"
#include "support/DataFolder.h"

#include <ostream>
#include <string>
#include <vector>

namespace korvane::test {

// Every change the worker makes, as text, on top of the plain table model.
class RecordingView : public ScanTable
{
public:
    std::vector<std::string> changes;

    void hideListEditors() override { note("hideListEditors"); }
    void unsortTable() override
    {
        note("unsortTable");
        ScanTable::unsortTable();
    }
    void clearBuddies() override
    {
        note("clearBuddies");
        ScanTable::clearBuddies();
    }
    void startProgress() override
    {
        note("startProgress");
        ScanTable::startProgress();
    }
    void repaintBuddies() override { note("repaintBuddies"); }
    void stepProgress() override
    {
        ScanTable::stepProgress();
        note("stepProgress " + std::to_string(progressPosition));
    }
    void setStatusText(const std::string& text) override
    {
        note("status " + text);
        ScanTable::setStatusText(text);
    }
    void repaintWindow() override { note("repaintWindow"); }
    void addBuddy(const std::string& caption, const std::string& host) override
    {
        note("addBuddy " + caption + "|" + host);
        ScanTable::addBuddy(caption, host);
    }
    void updateBuddyCaption() override
    {
        ScanTable::updateBuddyCaption();
        note("buddyCaption " + buddyCaption);
    }
    void writeRow(int row, const ScanRow& r) override
    {
        note("writeRow " + std::to_string(row) + " " + r.caption + "|" + std::to_string(r.image) + "|" +
             r.map + "|" + r.host + "|" + r.game);
        ScanTable::writeRow(row, r);
    }
    void scrollToRow(int row) override
    {
        note("scrollToRow " + std::to_string(row));
        ScanTable::scrollToRow(row);
    }
    void hideProgress() override
    {
        note("hideProgress");
        ScanTable::hideProgress();
    }
    void sortPlayersAndBuddies() override
    {
        note("sortPlayersAndBuddies");
        ScanTable::sortPlayersAndBuddies();
    }
    void sortTableByCaption() override
    {
        note("sortTableByCaption");
        ScanTable::sortTableByCaption();
    }
    void scrollToFirstPopulated() override
    {
        note("scrollToFirstPopulated");
        ScanTable::scrollToFirstPopulated();
    }
    void endScanning() override
    {
        note("endScanning");
        ScanTable::endScanning();
    }

private:
    void note(const std::string& change) { changes.push_back(change); }
};

using fleet::makeServer;

// The fleet's servers as the current list "Serverlists\Standard", with empty
// watch lists unless the test writes its own.
inline void writeScanData(const DataFolder& folder, const fleet::Fleet& servers)
{
    folder.write("Serverlists/Standard", servers.serverListText());
    folder.write("Buddys.txt", "");
    folder.write("clantags.txt", "");
}

// A table loaded from the fleet's list, as the window starts.
inline void loadTable(ScanTable& table, const fleet::Fleet& servers, int timeoutMs = 300)
{
    std::vector<std::string> names;
    for (const fleet::ServerConfig& s : servers.config().servers)
        names.push_back(s.listName);
    table.loadServers(names);
    table.list = "Serverlists\\Standard";
    table.timeout = timeoutMs;
}

} // namespace korvane::test

namespace korvane {

inline void PrintTo(const ScanRow& row, std::ostream* out)
{
    *out << "{" << row.caption << "|" << row.image << "|" << row.map << "|" << row.host << "|" << row.game
         << "}";
}
inline void PrintTo(const BuddyItem& item, std::ostream* out)
{
    *out << "{" << item.caption << "|" << item.host << "}";
}

} // namespace korvane

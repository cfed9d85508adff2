#pragma once
// The program's state that is not in any control; every window reads and
// writes it directly (the windows share one, see ui/widgets/FormBase.h). The
// scan worker reads a few fields from its own thread; those are atomics, read
// and written whole.

#include <atomic>
#include <memory>
#include <string>

namespace korvane {

class ScanRun;

struct AppState
{
    // Settings (the settings file's lines)
    std::string Nickname;
    std::string Password;
    std::string CurrentList;
    std::string AAPath;
    std::string SHPath;
    std::atomic<bool> CheckClantags{false};
    bool SaveScan = false;
    bool ReservedFlag = false;
    int UserTimeoutMs = 0;
    std::string BannerImage;
    // Kept apart from the settings file (app/AlertSetting.h).
    bool BuddyAlerts = true;

    // Reply time-out in force for every status query.
    std::atomic<int> TimeoutMs{0};

    // The selected server.
    std::string SelectedIP;
    std::string SelectedPort;

    // Scan state.
    std::atomic<bool> Scanning{false};
    std::shared_ptr<ScanRun> ScanThread; // the run started last; dropping it halts it

    bool FirstShow = true;

    // Ping display: the text so far and where the graph's next step goes
    // (the properties window's graph, admin/PingGraph.h; set at start).
    std::string PingText;
    int PingGraphX = 0;
    int PingGraphY = 0;
};

} // namespace korvane

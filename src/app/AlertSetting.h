#pragma once
// Whether buddy alerts are on, kept in a file of its own in the data folder so
// the settings file keeps its twelve fixed lines: "alerts off" turns them off;
// anything else, a missing file or one that cannot be read leaves them on.

namespace korvane {

inline constexpr const char* AlertSettingFileName = "Alerts.txt";
inline constexpr const char* AlertsOffLine = "alerts off";
inline constexpr const char* AlertsOnLine = "alerts on";

bool readAlertSetting();

// Replaces the file atomically; throws IoError when it cannot be written.
void writeAlertSetting(bool on);

} // namespace korvane

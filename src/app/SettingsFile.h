#pragma once
// The positional settings file "Config": twelve lines, no keys.

#include "app/AppState.h"

#include <QString>

#include <functional>
#include <string>

namespace korvane {

inline constexpr const char* SettingsFileName = "Config";
inline constexpr const char* SettingsCommentLine = "//Tessary Config - Dont change this file !";
inline constexpr int SaveScanTimeoutMs = 10000;
// In force until line 8 of the file is read, and when it cannot be.
inline constexpr int DefaultTimeoutMs = 1000;

// Reads the file in passes of twelve lines until its end, applying each line
// as it goes; enableTimer runs for every "timer on" line. The current list and
// the game paths are Windows-1252 text in the file and the files they name in
// AppState (Charset.h). The default time-out is in force until line 8 is read;
// a missing file or a line 8 that is not an integer throws, keeping what was
// applied before.
void readSettings(AppState& state, const std::function<void()>& enableTimer);

// What the twelve lines are written from, as the file's text.
struct SettingsValues
{
    bool autoScan = false;
    std::string currentList;
    bool checkClantags = false;
    std::string nickname;
    std::string password;
    std::string aaPath;
    std::string shPath;
    int userTimeoutMs = 0;
    bool saveScan = false;
    bool reservedFlag = false;
    std::string bannerImage;
};

SettingsValues settingsOf(const AppState& state, bool autoScan);

// Replaces the file atomically with the twelve lines.
void writeSettings(const SettingsValues& values);

// Why the settings file cannot keep a file name or path, "" when it can;
// what names it at the start of the message ("The path C:\\x").
QString settingsRefusal(const std::string& fileName, const QString& what);

} // namespace korvane

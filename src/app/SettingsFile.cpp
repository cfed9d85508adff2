#include "app/SettingsFile.h"

#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace korvane {

void readSettings(AppState& state, const std::function<void()>& enableTimer)
{
    TextReader file(dataPath(SettingsFileName));
    while (!file.eof()) {
        if (file.readLine() == "timer on") enableTimer();
        state.CurrentList = file.readLine();
        state.CheckClantags = file.readLine() == "clantags on";
        state.Nickname = file.readLine();
        state.Password = file.readLine();
        state.AAPath = file.readLine();
        state.SHPath = file.readLine();
        const std::string timeoutText = file.readLine();
        const std::optional<int> timeout = tryStrToInt(timeoutText);
        if (!timeout) {
            // What the next settings write puts back must not be a time-out of 0.
            state.UserTimeoutMs = DefaultTimeoutMs;
            state.TimeoutMs = DefaultTimeoutMs;
            strToInt(timeoutText); // the error the user is shown
        }
        state.UserTimeoutMs = *timeout;
        state.TimeoutMs = *timeout;
        state.SaveScan = file.readLine() == "save";
        if (state.SaveScan) state.TimeoutMs = SaveScanTimeoutMs;
        state.ReservedFlag = file.readLine() == "true";
        state.BannerImage = file.readLine();
        file.readLine(); // the comment line
    }
}

SettingsValues settingsOf(const AppState& state, bool autoScan)
{
    SettingsValues values;
    values.autoScan = autoScan;
    values.currentList = state.CurrentList;
    values.checkClantags = state.CheckClantags;
    values.nickname = state.Nickname;
    values.password = state.Password;
    values.aaPath = state.AAPath;
    values.shPath = state.SHPath;
    values.userTimeoutMs = state.UserTimeoutMs;
    values.saveScan = state.SaveScan;
    values.reservedFlag = state.ReservedFlag;
    values.bannerImage = state.BannerImage;
    return values;
}

void writeSettings(const SettingsValues& v)
{
    replaceFileLines(dataPath(SettingsFileName), {
                                                     v.autoScan ? "timer on" : "timer off",
                                                     v.currentList,
                                                     v.checkClantags ? "clantags on" : "clantags off",
                                                     v.nickname,
                                                     v.password,
                                                     v.aaPath,
                                                     v.shPath,
                                                     intToStr(v.userTimeoutMs),
                                                     v.saveScan ? "save" : "fast",
                                                     v.reservedFlag ? "true" : "false",
                                                     v.bannerImage,
                                                     SettingsCommentLine,
                                                 });
}

} // namespace korvane

#include "app/SettingsFile.h"

#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace korvane {

namespace {

// A name or path as the settings file keeps it; one that cannot be kept
// (refused where it was chosen) is kept as near as the text allows.
std::string settingsText(const std::string& fileName)
{
    return settingsTextOf(fileName).value_or(toBytes(fileNameText(fileName)));
}

} // namespace

void readSettings(AppState& state, const std::function<void()>& enableTimer)
{
    // What the next settings write puts back must not be a time-out of 0,
    // whatever stops the reading (no file, an empty one, a bad line 8).
    state.UserTimeoutMs = DefaultTimeoutMs;
    state.TimeoutMs = DefaultTimeoutMs;
    TextReader file(dataPath(SettingsFileName));
    while (!file.eof()) {
        if (file.readLine() == "timer on") enableTimer();
        state.CurrentList = fileNameFromSettings(file.readLine());
        state.CheckClantags = file.readLine() == "clantags on";
        state.Nickname = file.readLine();
        state.Password = file.readLine();
        state.AAPath = fileNameFromSettings(file.readLine());
        state.SHPath = fileNameFromSettings(file.readLine());
        const std::string timeoutText = file.readLine();
        const std::optional<int> timeout = tryStrToInt(timeoutText);
        if (!timeout) {
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
    values.currentList = settingsText(state.CurrentList);
    values.checkClantags = state.CheckClantags;
    values.nickname = state.Nickname;
    values.password = state.Password;
    values.aaPath = settingsText(state.AAPath);
    values.shPath = settingsText(state.SHPath);
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

QString settingsRefusal(const std::string& fileName, const QString& what)
{
    if (settingsTextOf(fileName)) return {};
    if (!fitsSingleByte(fileNameText(fileName)))
        return what +
               QStringLiteral(" cannot be kept in the settings, which hold Western European letters only.");
    return what + QStringLiteral(" cannot be kept in the settings: another file there has the same name.");
}

} // namespace korvane

#include "app/AlertSetting.h"

#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace korvane {

bool readAlertSetting()
{
    const std::string path = dataPath(AlertSettingFileName);
    if (!fileExists(path)) return true;
    try {
        const std::vector<std::string> lines = readAllLines(path);
        return lines.empty() || lines.front() != AlertsOffLine;
    } catch (const IoError&) {
        // An alert too many is better than a start-up that fails over it.
        return true;
    }
}

void writeAlertSetting(bool on)
{
    replaceFileLines(dataPath(AlertSettingFileName), {on ? AlertsOnLine : AlertsOffLine});
}

} // namespace korvane

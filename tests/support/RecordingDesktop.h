#pragma once
// The desktop for tests: records every address it is asked to open; its pings
// answer from a script.

#include "platform/gui/Desktop.h"
#include "support/ScriptedIcmpEcho.h"

#include <QStringList>

namespace korvane::test {

class RecordingDesktop : public Desktop
{
public:
    // No ping stays held past the test.
    ~RecordingDesktop() override { echo->release(); }
    void openAddress(const QString& address) override { opened.append(address); }
    std::shared_ptr<IcmpEcho> icmpEcho() override { return echo; }
    QStringList opened;
    std::shared_ptr<ScriptedIcmpEcho> echo = std::make_shared<ScriptedIcmpEcho>();
};

} // namespace korvane::test

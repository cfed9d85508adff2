#pragma once
// The desktop for tests: records every address it is asked to open.

#include "platform/gui/Desktop.h"

#include <QStringList>

namespace korvane::test {

class RecordingDesktop : public Desktop
{
public:
    void openAddress(const QString& address) override { opened.append(address); }
    QStringList opened;
};

} // namespace korvane::test

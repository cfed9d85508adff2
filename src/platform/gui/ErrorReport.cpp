#include "platform/gui/ErrorReport.h"

#include <QApplication>

namespace korvane {

void reportError(Dialogs& dialogs, const std::exception& error)
{
    dialogs.error(QApplication::activeWindow(), QString::fromLatin1(error.what()));
}

} // namespace korvane

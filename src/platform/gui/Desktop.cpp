#include "platform/gui/Desktop.h"

#include <QDesktopServices>
#include <QUrl>

namespace korvane {

void QtDesktop::openAddress(const QString& address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

} // namespace korvane

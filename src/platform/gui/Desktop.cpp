#include "platform/gui/Desktop.h"

#include "platform/IcmpEcho.h"

#include <QDesktopServices>
#include <QUrl>

namespace korvane {

QtDesktop::QtDesktop() : m_icmpEcho(makeLinuxIcmpEcho()) {}

void QtDesktop::openAddress(const QString& address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

} // namespace korvane

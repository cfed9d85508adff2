#pragma once
// The desktop's services the windows use besides dialogs, behind one
// interface so tests can record what would have been opened and script the
// replies of pings.

#include "platform/gui/TrayIcon.h"

#include <QString>

#include <memory>

namespace korvane {

class IcmpEcho;

class Desktop
{
public:
    virtual ~Desktop() = default;
    // Hands a web or mail address to the desktop's default handler.
    virtual void openAddress(const QString& address) = 0;
    // The ICMP echo service; ping workers share it and may outlive the desktop.
    virtual std::shared_ptr<IcmpEcho> icmpEcho() = 0;
    // The notification-area icon of the main window.
    virtual std::unique_ptr<TrayIconBackend> makeTrayIcon() { return makeDesktopTrayBackend(); }
};

// The real desktop.
class QtDesktop : public Desktop
{
public:
    QtDesktop();
    void openAddress(const QString& address) override;
    std::shared_ptr<IcmpEcho> icmpEcho() override { return m_icmpEcho; }

private:
    std::shared_ptr<IcmpEcho> m_icmpEcho;
};

} // namespace korvane

#pragma once
// The desktop for tests: records every address it is asked to open and every
// notification its tray icon shows; its pings answer from a script.

#include "platform/gui/Desktop.h"
#include "support/ScriptedIcmpEcho.h"

#include <QStringList>

namespace korvane::test {

// The tray icon: a notification area only when the test says so.
class RecordingTray : public TrayIconBackend
{
public:
    struct Notification
    {
        QString title;
        QString text;
    };
    bool isAvailable = false;
    QList<Notification> notifications;

    bool available() const override { return isAvailable; }
    void add(const QIcon&, const QString&) override {}
    void modify(const QIcon&, const QString&) override {}
    void remove() override {}
    void showMessage(const QString& title, const QString& text) override
    {
        notifications.append({title, text});
    }
};

class RecordingDesktop : public Desktop
{
public:
    // No ping stays held past the test.
    ~RecordingDesktop() override { echo->release(); }
    void openAddress(const QString& address) override { opened.append(address); }
    std::shared_ptr<IcmpEcho> icmpEcho() override { return echo; }
    // The main window's; it lives as long as the window.
    std::unique_ptr<TrayIconBackend> makeTrayIcon() override
    {
        auto made = std::make_unique<RecordingTray>();
        made->isAvailable = trayAvailable;
        tray = made.get();
        return made;
    }
    QStringList opened;
    std::shared_ptr<ScriptedIcmpEcho> echo = std::make_shared<ScriptedIcmpEcho>();
    bool trayAvailable = false;
    RecordingTray* tray = nullptr;
};

} // namespace korvane::test

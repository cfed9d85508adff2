#pragma once
// The desktop's notification-area icon, behind an interface so tests can
// stand in for it and record what it was asked to show.

#include <QIcon>
#include <QString>

#include <functional>
#include <memory>

namespace korvane {

class TrayIconBackend
{
public:
    enum class Click { Left, Double, Right };

    virtual ~TrayIconBackend() = default;
    // False where the desktop has no notification area.
    virtual bool available() const = 0;
    virtual void add(const QIcon& icon, const QString& tip) = 0;
    virtual void modify(const QIcon& icon, const QString& tip) = 0;
    virtual void remove() = 0;
    // A desktop notification coming from the icon.
    virtual void showMessage(const QString& title, const QString& text)
    {
        static_cast<void>(title);
        static_cast<void>(text);
    }

    // Set by the icon's owner: mouse actions on the icon, a click on its notification.
    std::function<void(Click)> clicked;
    std::function<void()> messageClicked;
};

// Qt's system-tray icon.
std::unique_ptr<TrayIconBackend> makeDesktopTrayBackend();

} // namespace korvane

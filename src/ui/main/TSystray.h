#pragma once
// Notification-area icon that stands in for the task-bar entry while the main
// window is minimised: minimising shows the icon and hides the entry,
// double-clicking the icon restores the window, the right button opens the
// popup menu at the mouse. Everything follows from the properties and from
// the window's minimise and restore; no other code calls it at run time.

#include "platform/gui/TrayIcon.h"

#include <QIcon>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace korvane {

class TSystray : public QObject
{
public:
    using Event = std::function<void(TSystray*)>;

    static constexpr int MaxTipLength = 63;

    // window: the main window whose minimise and restore drive the icon.
    explicit TSystray(QWidget* window, std::unique_ptr<TrayIconBackend> backend = makeDesktopTrayBackend());
    // As the main window's design sets it up.
    TSystray(QWidget* window, const QString& hint, QMenu* popupMenu,
             std::unique_ptr<TrayIconBackend> backend = makeDesktopTrayBackend());
    ~TSystray() override;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    const QIcon& Icon() const { return m_icon; }
    void setIcon(const QIcon& icon);
    const QString& Hint() const { return m_hint; }
    void setHint(const QString& hint);
    QMenu* PopupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }

    Event OnDblClick;
    Event OnLeftClick;
    Event OnRightClick;

    bool iconShown() const { return m_iconShown; }

    virtual void AppMinimize();
    virtual void AppRestore();
    virtual void DoDblClick();
    virtual void DoLeftClick();
    virtual void DoRightClick();

    // The default double-click: the window back from the notification area.
    void restoreApplication();
    // The default right click.
    void showPopupMenu();

    // A desktop notification from the icon, only while it is shown; a click
    // on it runs clicked (the latest notification's).
    void notify(const QString& title, const QString& text, std::function<void()> clicked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addIcon();
    void modifyIcon();
    void deleteIcon();
    QIcon iconToShow() const;
    QString tip() const;
    bool windowMinimised() const;
    void hideTaskbarEntry();
    void showTaskbarEntry();
    void clicked(TrayIconBackend::Click click);

    QWidget* m_window;
    std::unique_ptr<TrayIconBackend> m_backend;
    bool m_iconShown = false;
    bool m_enabled = true;
    QIcon m_icon;
    QString m_hint;
    QMenu* m_popupMenu = nullptr;
    bool m_switchingEntry = false;
    std::function<void()> m_messageClicked;
};

} // namespace korvane

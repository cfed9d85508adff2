#include "ui/main/TSystray.h"

#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace korvane {

TSystray::TSystray(QWidget* window, std::unique_ptr<TrayIconBackend> backend)
    : m_window(window), m_backend(std::move(backend))
{
    OnDblClick = [](TSystray* sender) { sender->restoreApplication(); };
    OnRightClick = [](TSystray* sender) { sender->showPopupMenu(); };
    m_backend->clicked = [this](TrayIconBackend::Click click) { this->clicked(click); };
    m_backend->messageClicked = [this] {
        if (m_messageClicked) m_messageClicked();
    };
    m_window->installEventFilter(this);
}

TSystray::TSystray(QWidget* window, const QString& hint, QMenu* popupMenu,
                   std::unique_ptr<TrayIconBackend> backend)
    : TSystray(window, std::move(backend))
{
    setHint(hint);
    setPopupMenu(popupMenu);
}

TSystray::~TSystray()
{
    m_backend->clicked = nullptr;
    m_backend->messageClicked = nullptr;
    if (m_iconShown) deleteIcon();
}

void TSystray::setEnabled(bool enabled)
{
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    if (!windowMinimised()) return;
    if (enabled) {
        if (!m_backend->available()) return;
        addIcon();
        hideTaskbarEntry();
    } else {
        deleteIcon();
        showTaskbarEntry();
    }
}

void TSystray::setIcon(const QIcon& icon)
{
    if (icon.cacheKey() != m_icon.cacheKey()) m_icon = icon;
    if (m_enabled && m_iconShown) modifyIcon();
}

void TSystray::setHint(const QString& hint)
{
    if (hint == m_hint) return;
    m_hint = hint;
    if (m_enabled && m_iconShown) modifyIcon();
}

void TSystray::AppMinimize()
{
    // Without a notification area the task-bar entry is the only way back.
    if (!m_enabled || m_iconShown || !m_backend->available()) return;
    addIcon();
    hideTaskbarEntry();
}

void TSystray::AppRestore()
{
    if (!m_enabled || !m_iconShown) return;
    deleteIcon();
    showTaskbarEntry();
}

void TSystray::DoDblClick()
{
    if (OnDblClick) OnDblClick(this);
}

void TSystray::DoLeftClick()
{
    if (OnLeftClick) OnLeftClick(this);
}

void TSystray::DoRightClick()
{
    if (OnRightClick) OnRightClick(this);
}

void TSystray::restoreApplication()
{
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    showTaskbarEntry();
}

void TSystray::showPopupMenu()
{
    if (m_popupMenu) m_popupMenu->popup(QCursor::pos());
}

void TSystray::notify(const QString& title, const QString& text, std::function<void()> clicked)
{
    if (!m_enabled || !m_iconShown) return;
    m_messageClicked = std::move(clicked);
    m_backend->showMessage(title, text);
}

bool TSystray::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window) return false;
    // The window's own show and hide handlers are for the program's showing
    // and hiding, not for the entry going to the notification area and back.
    if (m_switchingEntry && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) return true;
    if (event->type() == QEvent::WindowStateChange) {
        const bool was = static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized;
        const bool is = windowMinimised();
        if (!was && is)
            AppMinimize();
        else if (was && !is)
            AppRestore();
    }
    return false;
}

void TSystray::addIcon()
{
    if (m_iconShown) return;
    m_backend->add(iconToShow(), tip());
    m_iconShown = true;
}

void TSystray::modifyIcon()
{
    if (m_iconShown) m_backend->modify(iconToShow(), tip());
}

void TSystray::deleteIcon()
{
    if (!m_iconShown) return;
    m_backend->remove();
    m_iconShown = false;
}

QIcon TSystray::iconToShow() const
{
    return m_icon.isNull() ? m_window->windowIcon() : m_icon;
}

QString TSystray::tip() const
{
    return m_hint.left(MaxTipLength);
}

bool TSystray::windowMinimised() const
{
    return m_window->windowState() & Qt::WindowMinimized;
}

void TSystray::hideTaskbarEntry()
{
    // Later, not inside the minimise itself: showMinimized() makes the window
    // visible after announcing the state change.
    QTimer::singleShot(0, this, [this] {
        if (!m_iconShown || !windowMinimised() || !m_window->isVisible()) return;
        m_switchingEntry = true;
        m_window->hide();
        m_switchingEntry = false;
    });
}

void TSystray::showTaskbarEntry()
{
    if (!m_window->isVisible()) {
        m_switchingEntry = true;
        m_window->show();
        m_switchingEntry = false;
    }
    m_window->raise();
    m_window->activateWindow();
}

void TSystray::clicked(TrayIconBackend::Click click)
{
    if (!m_enabled) return;
    switch (click) {
    case TrayIconBackend::Click::Left:
        DoLeftClick();
        break;
    case TrayIconBackend::Click::Double:
        DoDblClick();
        break;
    case TrayIconBackend::Click::Right:
        DoRightClick();
        break;
    }
}

} // namespace korvane

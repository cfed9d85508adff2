#include "platform/gui/TrayIcon.h"

#include <QApplication>
#include <QObject>
#include <QSystemTrayIcon>
#include <QWidget>

namespace korvane {

namespace {

class DesktopTrayBackend : public TrayIconBackend
{
public:
    bool available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    void add(const QIcon& icon, const QString& tip) override
    {
        if (!m_icon) {
            m_icon = std::make_unique<QSystemTrayIcon>();
            QObject::connect(m_icon.get(), &QSystemTrayIcon::activated,
                             [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
            QObject::connect(m_icon.get(), &QSystemTrayIcon::messageClicked, [this] {
                if (messageClicked) messageClicked();
            });
        }
        m_icon->setIcon(icon);
        m_icon->setToolTip(tip);
        m_icon->show();
    }
    void modify(const QIcon& icon, const QString& tip) override
    {
        if (!m_icon) return;
        m_icon->setIcon(icon);
        m_icon->setToolTip(tip);
    }
    void remove() override
    {
        if (m_icon) m_icon->hide();
    }
    void showMessage(const QString& title, const QString& text) override
    {
        if (m_icon) m_icon->showMessage(title, text, QSystemTrayIcon::Information, MessageShownMs);
    }

private:
    static constexpr int MessageShownMs = 10000;

    // Status-notifier hosts (the D-Bus tray of KDE, GNOME's extension...) have
    // no double-click: their one activation is a left click, and it must
    // restore, or the window could never come back. Only the XEmbed tray,
    // which Qt draws with a widget of its own, reports double-clicks.
    static bool deliversDoubleClicks()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->inherits("QSystemTrayIconSys")) return true;
        return false;
    }

    void activated(QSystemTrayIcon::ActivationReason reason)
    {
        if (!clicked) return;
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            clicked(deliversDoubleClicks() ? Click::Left : Click::Double);
            break;
        case QSystemTrayIcon::DoubleClick:
            clicked(Click::Double);
            break;
        case QSystemTrayIcon::Context:
            clicked(Click::Right);
            break;
        default:
            break;
        }
    }

    std::unique_ptr<QSystemTrayIcon> m_icon;
};

} // namespace

std::unique_ptr<TrayIconBackend> makeDesktopTrayBackend()
{
    return std::make_unique<DesktopTrayBackend>();
}

} // namespace korvane

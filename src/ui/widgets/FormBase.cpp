#include "ui/widgets/FormBase.h"

#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace korvane {

FormBase::FormBase(Forms& forms, const QString& className, const QString& caption) : m_forms(forms)
{
    setObjectName(className);
    setWindowTitle(caption);
    setAccessibleName(caption.isEmpty() ? className : caption);
}

Dialogs& FormBase::dialogs() const
{
    return m_forms.dialogs;
}

Desktop& FormBase::desktop() const
{
    return m_forms.desktop;
}

AppState& FormBase::state() const
{
    return m_forms.Form1->state;
}

void FormBase::setClientSize(int width, int height)
{
    setFixedSize(width, height);
    centreOnDesktop();
}

void FormBase::centreOnDesktop()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void FormBase::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) runReported(dialogs(), [this] { FormShow(); });
}

void FormBase::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous()) runReported(dialogs(), [this] { FormHide(); });
}

} // namespace korvane

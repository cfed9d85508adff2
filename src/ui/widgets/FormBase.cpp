#include "ui/widgets/FormBase.h"

#include "platform/Charset.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <vector>

namespace korvane {

namespace {

class ControlEvents : public QObject
{
public:
    ControlEvents(QWidget* control, std::function<bool(QEvent*)> react)
        : QObject(control), m_react(std::move(react))
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return m_react(event); }

private:
    std::function<bool(QEvent*)> m_react;
};

} // namespace

FormBase::FormBase(WindowShared& shared, const QString& className, const QString& caption) : m_shared(shared)
{
    setObjectName(className);
    setWindowTitle(caption);
    setAccessibleName(caption.isEmpty() ? className : caption);
}

void FormBase::react(QWidget* control, Reaction reaction)
{
    new ControlEvents(control, std::move(reaction));
}

FormBase::Reaction FormBase::keyReaction(std::function<void(int)> handler, std::initializer_list<int> ownKeys)
{
    return [this, handler = std::move(handler), keys = std::vector<int>(ownKeys)](QEvent* event) {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        runReported(dialogs(), [&] { handler(key); });
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    };
}

FormBase::Reaction FormBase::exitReaction(std::function<void()> handler)
{
    return [this, handler = std::move(handler)](QEvent* event) {
        if (event->type() != QEvent::FocusOut) return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            runReported(dialogs(), [&] { handler(); });
        return false;
    };
}

FormBase::Reaction FormBase::clickReaction(std::function<void()> handler)
{
    return [this, handler = std::move(handler)](QEvent* event) {
        if (event->type() == QEvent::MouseButtonRelease) runReported(dialogs(), [&] { handler(); });
        return false;
    };
}

bool FormBase::confirmIdle(const QString& text)
{
    return dialogs().confirm(this, text) && !state().Scanning;
}

void FormBase::showInFront()
{
    show();
    raise();
    activateWindow();
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

void FormBase::guardEdits()
{
    m_editsGuarded = true;
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString& text) {
            QString kept;
            QString refused;
            for (const QChar c : text)
                (fitsSingleByte(c) ? kept : refused) += c;
            if (refused.isEmpty()) return;
            edit->setText(kept); // the edit's change handlers see only what is kept
            dialogs().message(
                this, QStringLiteral("Korvane keeps names, passwords and paths in Western European letters "
                                     "(Windows-1252) and cannot store ") +
                          refused + QStringLiteral(" ; it was left out."));
        });
    }
}

void FormBase::showEvent(QShowEvent* event)
{
    if (!m_editsGuarded) guardEdits();
    QWidget::showEvent(event);
    if (!event->spontaneous()) runReported(dialogs(), [this] { FormShow(); });
}

void FormBase::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous()) runReported(dialogs(), [this] { FormHide(); });
}

} // namespace korvane

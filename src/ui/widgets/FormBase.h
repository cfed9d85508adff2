#pragma once
// Base of every window: created once at start, afterwards only shown and
// hidden. FormShow runs each time the window becomes visible by show(), not
// when it is merely restored; both handlers run inside the general error report.

#include "platform/gui/Dialogs.h"
#include "platform/gui/ErrorReport.h"

#include <QWidget>

#include <functional>
#include <initializer_list>

namespace korvane {

class Desktop;
struct Forms;
struct AppState;

class FormBase : public QWidget
{
public:
    FormBase(Forms& forms, const QString& className, const QString& caption);

    Forms& forms() const { return m_forms; }
    Dialogs& dialogs() const;
    Desktop& desktop() const;
    AppState& state() const;

    // Key presses of the control go to handler(key) inside the general error
    // report; ownKeys are the handler's alone, every other key still types.
    void onKeyDown(QWidget* control, std::function<void(int)> handler,
                   std::initializer_list<int> ownKeys = {Qt::Key_Return, Qt::Key_Enter});
    // The control left for another one (not the window losing its turn).
    void onExit(QWidget* control, std::function<void()> handler);

    // Shown, and in front and active even when it was open behind another window.
    void showInFront();

    // Fixed client size, placed at the centre of the desktop.
    void setClientSize(int width, int height);
    void centreOnDesktop();

protected:
    virtual void FormShow() {}
    virtual void FormHide() {}
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Every edit of the window takes only what the files can keep (Latin-1).
    void guardEdits();

    Forms& m_forms;
    bool m_editsGuarded = false;
};

} // namespace korvane

#pragma once
// Base of every window: created once at start, afterwards only shown and
// hidden. FormShow runs each time the window becomes visible by show(), not
// when it is merely restored; both handlers run inside the general error report.
//
// Events reach a window's handlers one way: a control's signal through
// connectHandler (ErrorReport.h), and the events a control has no signal for
// (keys, leaving the control, clicks on labels and text boxes) through
// onKeyDown, onExit and onClick here. Either way the handler is a member of
// the window and runs inside the general error report.

#include "app/AppState.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ErrorReport.h"

#include <QWidget>

#include <functional>
#include <initializer_list>

namespace korvane {

class Desktop;
struct Forms;

// What every window shares besides the other windows: the dialogs, the
// desktop and the program's state. Only the set of windows is one.
class WindowShared
{
public:
    WindowShared(const WindowShared&) = delete;
    WindowShared& operator=(const WindowShared&) = delete;

    Dialogs& dialogs;
    Desktop& desktop;
    AppState state;

private:
    friend struct Forms;
    WindowShared(Dialogs& d, Desktop& s) : dialogs(d), desktop(s) {}
};

class FormBase : public QWidget
{
public:
    // shared is the set of windows (Forms) the window belongs to.
    FormBase(WindowShared& shared, const QString& className, const QString& caption);

    // Defined with the set of windows, which this base does not know.
    inline Forms& forms() const;
    Dialogs& dialogs() const { return m_shared.dialogs; }
    Desktop& desktop() const { return m_shared.desktop; }
    AppState& state() const { return m_shared.state; }

    // Key presses of the control go to handler(key); ownKeys are the
    // handler's alone, every other key still types.
    template <typename Form>
    void onKeyDown(QWidget* control, void (Form::*handler)(int),
                   std::initializer_list<int> ownKeys = {Qt::Key_Return, Qt::Key_Enter})
    {
        react(control,
              keyReaction([form = as<Form>(), handler](int key) { (form->*handler)(key); }, ownKeys));
    }
    // The control left for another one (not the window losing its turn).
    template <typename Form> void onExit(QWidget* control, void (Form::*handler)())
    {
        react(control, exitReaction([form = as<Form>(), handler] { (form->*handler)(); }));
    }
    // A click (the left button let go) on a control that has no clicked signal.
    template <typename Form> void onClick(QWidget* control, void (Form::*handler)())
    {
        react(control, clickReaction([form = as<Form>(), handler] { (form->*handler)(); }));
    }

    // The question of an action a scan refuses: true on Yes with still no scan
    // running. A question runs an event loop of its own, where the auto-scan
    // timer can start a scan while it is open.
    bool confirmIdle(const QString& text);

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
    using Reaction = std::function<bool(QEvent*)>;
    template <typename Form> Form* as() { return static_cast<Form*>(this); }
    // The reaction sees every event of the control first; true swallows it.
    void react(QWidget* control, Reaction reaction);
    Reaction keyReaction(std::function<void(int)> handler, std::initializer_list<int> ownKeys);
    Reaction exitReaction(std::function<void()> handler);
    Reaction clickReaction(std::function<void()> handler);

    // Every edit of the window takes only what the files can keep (Windows-1252).
    void guardEdits();

    WindowShared& m_shared;
    bool m_editsGuarded = false;
};

} // namespace korvane

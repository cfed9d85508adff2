#pragma once
// Dialogs for tests: records every box shown and answers from a queue; a
// question or file dialog nobody scripted fails the test.

#include "platform/gui/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace korvane::test {

struct ShownBox
{
    QString kind; // "message", "confirm", "error", "open", "save"
    QString title;
    QString text;
};

class ScriptedDialogs : public Dialogs
{
public:
    void message(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    QString openFile(QWidget* parent, const QString& filter, const QString& dir) override;
    QString saveFile(QWidget* parent, const QString& name, const QString& dir,
                     const QString& filter) override;

    void queueConfirm(bool yes) { m_confirms.append(yes); }
    void queueFileName(const QString& name) { m_fileNames.append(name); }
    // Runs while the next question or file dialog is open, where a real one
    // runs its own event loop (timers fire, workers report).
    void whileNextOpen(std::function<void()> action) { m_whileOpen = std::move(action); }

    const QList<ShownBox>& shown() const { return m_shown; }
    QStringList shownTexts() const;
    void clear() { m_shown.clear(); }

private:
    QList<ShownBox> m_shown;
    QList<bool> m_confirms;
    QStringList m_fileNames;
    std::function<void()> m_whileOpen;

    void runWhileOpen();
};

} // namespace korvane::test

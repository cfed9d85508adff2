#pragma once
// Every message box and file dialog of the program goes through this
// interface, so tests can script the answers and read what was shown.

#include <QString>

class QWidget;

namespace korvane {

class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // OK box titled with the application title.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // "Confirm", Yes/No; true on Yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // The general error report.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // "" when cancelled.
    virtual QString openFile(QWidget* parent, const QString& filter, const QString& dir) = 0;
    // With a filter it asks before replacing a file; without one the caller asks.
    virtual QString saveFile(QWidget* parent, const QString& name, const QString& dir,
                             const QString& filter) = 0;
};

// The real boxes.
class QtDialogs : public Dialogs
{
public:
    void message(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    QString openFile(QWidget* parent, const QString& filter, const QString& dir) override;
    QString saveFile(QWidget* parent, const QString& name, const QString& dir,
                     const QString& filter) override;
};

inline const QString ApplicationTitle = QStringLiteral("Korvane");

} // namespace korvane

#pragma once
// Dialogs for programs that run unattended (screenshots, benchmarks): every box
// is printed to stderr, never shown; questions get No and file dialogs Cancel,
// so nothing ever waits for a click.

#include "platform/gui/Dialogs.h"

#include <QString>

#include <cstdio>

namespace korvane::test {

class PrintedDialogs : public Dialogs
{
public:
    void message(QWidget*, const QString& text) override { print("message", text); }
    bool confirm(QWidget*, const QString& text) override
    {
        print("confirm", text);
        return false;
    }
    void error(QWidget*, const QString& text) override { print("error", text); }
    QString openFile(QWidget*, const QString& filter, const QString&) override
    {
        print("open", filter);
        return {};
    }
    QString saveFile(QWidget*, const QString& name, const QString&, const QString&) override
    {
        print("save", name);
        return {};
    }

private:
    static void print(const char* kind, const QString& text)
    {
        std::fprintf(stderr, "%s: %s\n", kind, text.toLocal8Bit().constData());
    }
};

} // namespace korvane::test

#pragma once
// Builds all windows in a fresh data folder with scripted dialogs.

#include "platform/gui/ErrorReport.h"
#include "support/DataFolder.h"
#include "support/QtPrinters.h"
#include "support/RecordingDesktop.h"
#include "support/ScriptedDialogs.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"
#include "ui/widgets/ListView.h"

#include <QApplication>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>
#include <memory>
#include <utility>

namespace korvane::test {

// The texts of one column of a list view, top to bottom.
inline QStringList columnTexts(const ListView* list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->rowCount(); ++i)
        texts.append(list->row(i)->text(column));
    return texts;
}

class FormsFixture : public ::testing::Test
{
protected:
    DataFolder folder;
    ScriptedDialogs dialogs;
    RecordingDesktop desktop;
    std::unique_ptr<Forms> forms;

    // A data folder as the program writes it, with these servers in "Standard".
    void writeData(const std::vector<std::string>& listLines = {},
                   const std::vector<std::string>& configLines = config())
    {
        folder.writeLines("Config", configLines);
        folder.writeLines("Serverlists/Standard", listLines);
        folder.write("Buddys.txt", "");
        folder.write("clantags.txt", "");
        folder.writeLines("Passwords.txt", {"// Korvane 1.11 password list", "//", ""});
    }
    // Program start without the first show: every window created, all hidden.
    void build()
    {
        forms.reset();
        forms = createForms(dialogs, desktop);
    }
    void start()
    {
        build();
        forms->Form1->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        forms.reset();
        QApplication::processEvents();
    }
    TForm1& form1() { return *forms->Form1; }
    // One column of the server table, top to bottom.
    QStringList column(int c) const { return columnTexts(forms->Form1->ListView3, c); }

    // Runs a handler the way its event does, inside the general error report;
    // the text of the error it reported, or "".
    template <typename Handler> QString callHandler(Handler&& handler)
    {
        const qsizetype before = dialogs.shown().size();
        runReported(dialogs, std::forward<Handler>(handler));
        for (qsizetype i = before; i < dialogs.shown().size(); ++i)
            if (dialogs.shown()[i].kind == QLatin1String("error")) return dialogs.shown()[i].text;
        return {};
    }
};

} // namespace korvane::test

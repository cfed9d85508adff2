#pragma once
// Builds all windows in a fresh data folder with scripted dialogs.

#include "support/DataFolder.h"
#include "support/QtPrinters.h"
#include "support/RecordingDesktop.h"
#include "support/ScriptedDialogs.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

#include <QApplication>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>
#include <memory>

namespace korvane::test {

class FormsFixture : public ::testing::Test
{
protected:
    DataFolder folder;
    ScriptedDialogs dialogs;
    RecordingDesktop desktop;
    std::unique_ptr<Forms> forms;

    // A data folder as the program writes it, with these servers in "Standard".
    void writeData(const std::vector<std::string>& listLines = {})
    {
        folder.writeLines("Config", DataFolder::configLines());
        folder.writeLines("Serverlists/Standard", listLines);
        folder.write("Buddys.txt", "");
        folder.write("clantags.txt", "");
        folder.writeLines("Passwords.txt", {"// Korvane 1.11 password list", "//", ""});
    }
    void start()
    {
        forms = createForms(dialogs, desktop);
        forms->Form1->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        forms.reset();
        QApplication::processEvents();
    }
    TForm1& form1() { return *forms->Form1; }

    QStringList column(int column) const
    {
        QStringList texts;
        ListView* table = forms->Form1->ListView3;
        for (int i = 0; i < table->rowCount(); ++i)
            texts.append(table->row(i)->text(column));
        return texts;
    }
};

} // namespace korvane::test

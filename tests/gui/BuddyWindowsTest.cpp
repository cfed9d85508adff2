// The "Buddy's" and "Clantag's" windows: loading, adding, deleting, and their
// file rewrites, missing files included.
#include "support/FormsFixture.h"
#include "ui/watch/TForm2.h"
#include "ui/watch/TForm4.h"

#include <QTest>

using namespace korvane;
using korvane::test::columnTexts;
using korvane::test::FormsFixture;

class BuddyWindows : public FormsFixture
{
protected:
    struct Window
    {
        const char* file;
        WatchListForm* (*get)(Forms&);
    };
    static std::vector<Window> both()
    {
        return {{"Buddys.txt", [](Forms& f) -> WatchListForm* { return f.Form2; }},
                {"clantags.txt", [](Forms& f) -> WatchListForm* { return f.Form4; }}};
    }
    void type(WatchListForm* window, const QString& text, bool enter)
    {
        window->LabeledEdit1->setText(text);
        if (enter) QTest::keyClick(window->LabeledEdit1, Qt::Key_Return);
    }
};

TEST_F(BuddyWindows, AddingKeepsSortedOrderCaseBlanksAndDuplicates)
{
    writeData();
    start();
    for (const Window& w : both()) {
        WatchListForm* window = w.get(*forms);
        window->show();
        type(window, "Bob", true);
        type(window, "alice", false);
        window->Button1->click();
        type(window, " Bob ", true);
        type(window, "Bob", true);
        // A leading blank sorts first.
        EXPECT_EQ(folder.read(w.file), " Bob \r\nalice\r\nBob\r\nBob\r\n") << w.file;
        EXPECT_TRUE(window->LabeledEdit1->text().isEmpty());
        window->hide();
    }
}

TEST_F(BuddyWindows, EmptyEditEnterDoesNothingButPlusRewritesSorted)
{
    writeData();
    folder.write("Buddys.txt", "zed\r\n\r\nAnna");
    start();
    forms->Form2->show();
    EXPECT_EQ(columnTexts(forms->Form2->ListView1, 0), (QStringList{"", "Anna", "zed"}));
    type(forms->Form2, "", true);
    EXPECT_EQ(folder.read("Buddys.txt"), "zed\r\n\r\nAnna");
    forms->Form2->Button1->click();
    EXPECT_EQ(folder.read("Buddys.txt"), "\r\nAnna\r\nzed\r\n");
}

TEST_F(BuddyWindows, DeletingOneEntry)
{
    writeData();
    folder.write("clantags.txt", "[XY]\r\n\r\n=AB=");
    start();
    WatchListForm* window = forms->Form4;
    window->show();
    // Nothing selected: the file is still rewritten, now sorted.
    forms->Form4->DeleteClantag1->trigger();
    EXPECT_EQ(folder.read("clantags.txt"), "\r\n=AB=\r\n[XY]\r\n");
    // The empty line is an entry of its own.
    window->ListView1->row(0)->setSelected(true);
    forms->Form4->DeleteClantag1->trigger();
    EXPECT_EQ(folder.read("clantags.txt"), "=AB=\r\n[XY]\r\n");
    EXPECT_EQ(columnTexts(window->ListView1, 0), (QStringList{"=AB=", "[XY]"}));
}

TEST_F(BuddyWindows, DeleteAllAsksAndIsRefusedDuringAScan)
{
    writeData();
    folder.write("Buddys.txt", "bob\r\n");
    start();
    forms->Form2->show();
    form1().state.Scanning = true;
    forms->Form2->Deleteallbuddys1->trigger();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(folder.read("Buddys.txt"), "bob\r\n");
    form1().state.Scanning = false;

    dialogs.queueConfirm(false);
    forms->Form2->Deleteallbuddys1->trigger();
    EXPECT_EQ(folder.read("Buddys.txt"), "bob\r\n");
    dialogs.queueConfirm(true);
    forms->Form2->Deleteallbuddys1->trigger();
    EXPECT_EQ(folder.read("Buddys.txt"), "");
    EXPECT_EQ(forms->Form2->ListView1->rowCount(), 0);
    ASSERT_EQ(dialogs.shown().size(), 2);
    EXPECT_EQ(dialogs.shown()[0].title, "Confirm");
    EXPECT_EQ(dialogs.shown()[0].text, "sure to delete complete list ?");
}

TEST_F(BuddyWindows, MissingFilesAreReportedAndNeverCreated)
{
    writeData();
    std::remove(folder.file("Buddys.txt").c_str());
    std::remove(folder.file("clantags.txt").c_str());
    start();
    // Only the buddy window loads at start-up.
    EXPECT_EQ(dialogs.shownTexts(), QStringList{"File not found"});
    forms->Form4->show();
    EXPECT_EQ(dialogs.shownTexts(), (QStringList{"File not found", "File not found"}));

    for (const Window& w : both()) {
        dialogs.clear();
        WatchListForm* window = w.get(*forms);
        type(window, "Bob", false);
        window->Button1->click();
        EXPECT_EQ(dialogs.shownTexts(), QStringList{"File not found"});
        EXPECT_EQ(window->LabeledEdit1->text(), "Bob");
        EXPECT_EQ(columnTexts(window->ListView1, 0), QStringList{"Bob"});
        EXPECT_FALSE(folder.exists(w.file)) << w.file;
    }
}

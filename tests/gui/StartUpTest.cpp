// Program start: the windows, the settings, the current list and the main window's small handlers.
#include "support/FormsFixture.h"
#include "ui/admin/TForm9.h"
#include "ui/lists/TForm13.h"
#include "ui/lists/TForm6.h"
#include "ui/watch/TForm2.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

using namespace korvane;
using korvane::test::columnTexts;
using korvane::test::FormsFixture;

namespace {

std::vector<std::string> threeServers()
{
    return {"Omaha", "127.0.0.1",  "12203",     "Bocage", "127.0.0.1",
            "12204", "Stalingrad", "127.0.0.1", "12205"};
}

} // namespace

class StartUp : public FormsFixture
{};

TEST_F(StartUp, WindowsAreCreatedHiddenInOrderWithTheirCaptions)
{
    writeData();
    build();
    const QList<QWidget*> windows = forms->windows();
    QStringList names, captions;
    for (QWidget* window : windows) {
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
        names.append(window->objectName());
        captions.append(window->windowTitle());
    }
    EXPECT_EQ(names,
              (QStringList{"TForm1", "TForm2", "TForm3", "TForm4", "TForm5", "TForm6", "TForm7", "TForm8",
                           "TForm9", "TForm11", "TForm12", "TForm13", "TForm15", "TForm16", "TForm17"}));
    EXPECT_EQ(captions, (QStringList{"Korvane 1.11", "Buddy's", "Options", "Clantag's", "Server List Editor",
                                     "search server/map", "", "CREDITS", "_rcon", "properties", "IP view",
                                     "quick add", "ping", "loading list", "Import from master"}));
    EXPECT_EQ(forms->Form1->size(), QSize(678, 578));
}

TEST_F(StartUp, CurrentListBecomesNotScannedRows)
{
    writeData(threeServers());
    build();
    EXPECT_EQ(form1().statusText(), "Total servers: 3");
    form1().show();
    QApplication::processEvents();

    EXPECT_EQ(form1().statusText(), "3 servers in Serverlists\\Standard");
    EXPECT_EQ(columnTexts(form1().ListView3, 0), (QStringList{"not scanned", "not scanned", "not scanned"}));
    // Equal captions keep the rows in file order.
    EXPECT_EQ(columnTexts(form1().ListView3, 2), (QStringList{"Omaha", "Bocage", "Stalingrad"}));
    EXPECT_EQ(columnTexts(form1().ListView3, 1), (QStringList{"", "", ""}));
    EXPECT_EQ(ListView::image(form1().ListView3->row(0)), 0);
    ASSERT_EQ(form1().ComboBoxEx1->count(), 3);
    QStringList names;
    for (int i = 0; i < form1().ComboBoxEx1->count(); ++i)
        names.append(form1().ComboBoxEx1->itemText(i));
    EXPECT_EQ(names, (QStringList{"Omaha", "Bocage", "Stalingrad"}));
    EXPECT_EQ(form1().ComboBoxEx1->currentText(), "select a server");
    EXPECT_EQ(form1().ListView2->columnCaption(0), "No Buddys online");
    EXPECT_EQ(form1().ListView1->columnCaption(0), "Players on server");
    EXPECT_FALSE(form1().Timer1->isActive());
    EXPECT_EQ(form1().state.TimeoutMs, 1000);
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(StartUp, BannerLineChoosesOnePicture)
{
    const std::pair<std::string, int> cases[] = {{"0", 0},  {"2", 2}, {"3", 3},
                                                 {"7", -1}, {"", -1}, {"02", -1}};
    for (const auto& [line, shown] : cases) {
        writeData({}, test::config({{11, line}}));
        build();
        const QLabel* banners[] = {form1().Image1, form1().Image2, form1().Image3, form1().Image4};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(banners[i]->isVisibleTo(&form1()), i == shown) << "banner line '" << line << "'";
    }
}

TEST_F(StartUp, MissingListSaysSoAndLeavesTheTableEmpty)
{
    writeData({}, test::config({{2, "Serverlists\\Gone"}}));
    start();
    EXPECT_EQ(dialogs.shownTexts(), QStringList{"Please select a server list !"});
    EXPECT_EQ(form1().ListView3->rowCount(), 0);
    EXPECT_EQ(form1().statusText(), "0 servers in Serverlists\\Gone");
}

TEST_F(StartUp, BrokenSettingsShowTheErrorAndTheWindowStillComesUp)
{
    writeData(threeServers(), test::config({{8, "soon"}, {11, "1"}}));
    start();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].kind, "error");
    EXPECT_EQ(dialogs.shown()[0].title, "Korvane");
    EXPECT_EQ(dialogs.shown()[0].text, "'soon' is not a valid integer value");
    EXPECT_TRUE(form1().isVisible());
    EXPECT_EQ(form1().ListView3->rowCount(), 0);
    EXPECT_FALSE(form1().Image2->isVisibleTo(&form1()));
    EXPECT_EQ(form1().statusText(), "0 servers in Serverlists\\Standard");
    // The windows after the main window were still created.
    EXPECT_NE(forms->Form16, nullptr);
}

TEST_F(StartUp, MissingSettingsFileSaysFileNotFound)
{
    folder.write("Buddys.txt", "");
    start();
    EXPECT_EQ(dialogs.shownTexts().value(0), "File not found");
    EXPECT_EQ(form1().statusText(), "0 servers in ");
}

TEST_F(StartUp, FirstShowPreparesTheSearchWindowOnce)
{
    writeData(threeServers());
    start();
    EXPECT_FALSE(forms->Form6->isVisible());
    EXPECT_TRUE(forms->Form6->RadioButton1->isChecked());
    EXPECT_FALSE(forms->Form6->RadioButton2->isChecked());
    EXPECT_FALSE(form1().state.FirstShow);
    forms->Form6->RadioButton2->setChecked(true);
    form1().hide();
    form1().show();
    EXPECT_TRUE(forms->Form6->RadioButton2->isChecked());
}

TEST_F(StartUp, SmallHandlersOpenWindowsOrRefuse)
{
    writeData();
    start();
    form1().ToolButton7->click();
    EXPECT_EQ(dialogs.shownTexts(), QStringList{"Please select a server !"});
    EXPECT_FALSE(forms->Form9->isVisible());

    form1().state.Scanning = true;
    form1().addserver1->trigger();
    EXPECT_FALSE(forms->Form13->isVisible());
    form1().state.Scanning = false;
    form1().addserver1->trigger();
    EXPECT_TRUE(forms->Form13->isVisible());

    form1().ToolButton2->click();
    EXPECT_TRUE(forms->Form2->isVisible());
    form1().searchserver1->trigger();
    EXPECT_TRUE(forms->Form6->isVisible());
}

TEST_F(StartUp, EveryControlHasASpeakableName)
{
    writeData();
    start();
    for (QWidget* widget : form1().findChildren<QWidget*>()) {
        const bool named = qobject_cast<QAbstractButton*>(widget) ||
                           qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QLineEdit*>(widget);
        // Parts inside Qt widgets carry no object name and speak through their owner.
        if (named && !widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_")) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        }
    }
}

TEST_F(StartUp, DoubleClickConnectsOnlyWhenTheTableHasRows)
{
    writeData();
    start();
    const QPoint emptyPart(20, form1().ListView3->viewport()->height() - 5);
    QTest::mouseDClick(form1().ListView3->viewport(), Qt::LeftButton, Qt::NoModifier, emptyPart);
    QTest::mouseDClick(form1().ListView1->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_TRUE(dialogs.shown().isEmpty());

    form1().ListView3->addItem("not scanned", {"", "Omaha", ""}, 0);
    QTest::mouseDClick(form1().ListView3->viewport(), Qt::LeftButton, Qt::NoModifier, emptyPart);
    QTest::mouseDClick(form1().ListView1->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    // "connect" ran twice and refused: no server was selected yet.
    EXPECT_EQ(dialogs.shownTexts(), (QStringList{"Please select a server !", "Please select a server !"}));
}

TEST_F(StartUp, PlayerListsFillTheirWidthAndThePlayerUnderTheMouseIsUnderlined)
{
    writeData();
    start();
    for (ListView* list : {form1().ListView1, form1().ListView2})
        EXPECT_EQ(list->columnWidth(0) + list->columnWidth(1), list->viewport()->width())
            << list->objectName().toStdString();

    ListView* players = form1().ListView1;
    QTreeWidgetItem* bob = players->addItem("Bob", {"50"});
    players->addItem("Zed", {"60"});
    const QPoint over = players->visualItemRect(bob).center();
    QMouseEvent move(QEvent::MouseMove, over, players->viewport()->mapToGlobal(over), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(players->viewport(), &move);
    EXPECT_EQ(players->hotItem(), bob);
    EXPECT_TRUE(bob->font(0).underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(players, &leave);
    EXPECT_FALSE(bob->font(0).underline());
}

// Quick add and "delete server" keep the current list file, the server box and
// the server table in step, against stand-in servers on 127.0.0.1.
#include "fleet/Fleet.h"
#include "support/FormsFixture.h"
#include "ui/lists/TForm13.h"

#include <QTest>

using namespace korvane;
namespace fl = korvane::fleet;

class QuickAdd : public test::FormsFixture
{
protected:
    const std::string List = "Serverlists/Standard";
    fl::Fleet fleet{
        {"127.0.0.1",
         {fl::makeServer("Alpha", fl::Behaviour::Answer), fl::makeServer("Zulu", fl::Behaviour::Answer),
          fl::makeServer("Quiet", fl::Behaviour::Silent), fl::makeServer("Short", fl::Behaviour::Short),
          fl::makeServer("Broken", fl::Behaviour::BadMax)}}};

    void SetUp() override { fleet.start(); }
    void startWith(const std::string& list)
    {
        writeData();
        folder.write(List, list);
        start();
        form1().state.TimeoutMs = 300;
    }
    QString port(int server) const { return QString::number(fleet.port(server)); }
    std::string record(const std::string& name, int server) const
    {
        return name + "\r\n127.0.0.1\r\n" + port(server).toStdString() + "\r\n";
    }
    TForm13& form13() { return *forms->Form13; }
    void add(const QString& ip, const QString& port)
    {
        form13().LabeledEdit2->setText(ip);
        form13().LabeledEdit3->setText(port);
        form13().Button1->click();
    }
    QStringList box() const
    {
        QStringList items;
        for (int i = 0; i < forms->Form1->ComboBoxEx1->count(); ++i)
            items.append(forms->Form1->ComboBoxEx1->itemText(i));
        return items;
    }
    QString selectedHost() const
    {
        const QTreeWidgetItem* row = forms->Form1->ListView3->selectedRow();
        return row ? row->text(2) : QString();
    }
    void deleteRow(int row, bool yes)
    {
        form1().ListView3->clearSelection();
        form1().ListView3->row(row)->setSelected(true);
        dialogs.queueConfirm(yes);
        form1().deleteserver1->trigger();
    }
};

TEST_F(QuickAdd, AnsweringServerJoinsFileBoxAndTableAndIsSelected)
{
    startWith(record("Alpha", 0));
    form1().addserver1->trigger();
    form13().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form13()));
    form13().LabeledEdit2->setFocus();
    EXPECT_EQ(form13().Button1->text(), "add server to \"Standard\" list");
    QTest::keyClicks(form13().LabeledEdit2, "1.2.3.4:203:7");
    form13().LabeledEdit3->setFocus(); // leaving the edit splits
    EXPECT_EQ(form13().LabeledEdit2->text() + " " + form13().LabeledEdit3->text(), "1.2.3.4 203:7");
    form13().LabeledEdit2->setText("127.0.0.1:" + port(1));
    QTest::keyClick(form13().LabeledEdit2, Qt::Key_Return); // and so does Enter
    EXPECT_EQ(form13().LabeledEdit2->text() + " " + form13().LabeledEdit3->text(), "127.0.0.1 " + port(1));

    form13().Button1->click();
    EXPECT_EQ(folder.read(List), record("Alpha", 0) + record("Zulu host", 1));
    EXPECT_EQ(box(), (QStringList{"Alpha", "Zulu host"}));
    EXPECT_EQ(column(2), box());
    EXPECT_EQ(selectedHost(), "Zulu host");
    EXPECT_EQ(form1().state.SelectedPort, port(1).toStdString()); // the selection asked it again
    EXPECT_TRUE(form13().LabeledEdit2->text().isEmpty() && form13().LabeledEdit3->text().isEmpty());
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(QuickAdd, RefusedAdditionsChangeNothingAndKeepTheEdits)
{
    startWith(record("Alpha", 0));
    const QString noResponse = "no response from server !", noAddress = "please enter ip and port !";
    const struct
    {
        const char* why;
        QString ip, port;
        bool scanning;
        QStringList shown;
    } cases[] = {
        {"a scan runs: nothing said", "127.0.0.1", port(1), true, {}},
        {"silent, right after a server that did answer", "127.0.0.1", port(2), false, {noResponse}},
        {"reply of 40 characters", "127.0.0.1", port(3), false, {noResponse}},
        {"port not a number", "127.0.0.1", "abc", false, {noResponse}},
        {"no port", "127.0.0.1", "", false, {noAddress}},
        {"no IP", "", port(1), false, {noAddress}},
    };
    for (const auto& c : cases) {
        dialogs.clear();
        form1().state.Scanning = c.scanning;
        add(c.ip, c.port);
        form1().state.Scanning = false;
        EXPECT_EQ(dialogs.shownTexts(), c.shown) << c.why;
        EXPECT_EQ(folder.read(List), record("Alpha", 0)) << c.why;
        EXPECT_EQ(box() + column(2), (QStringList{"Alpha", "Alpha"})) << c.why;
        EXPECT_EQ(form13().LabeledEdit2->text() + ":" + form13().LabeledEdit3->text(), c.ip + ":" + c.port);
    }
    std::remove(folder.file(List).c_str());
    dialogs.clear();
    add("127.0.0.1", port(1));
    EXPECT_EQ(dialogs.shownTexts(), QStringList{"File not found"});
    EXPECT_FALSE(folder.exists(List));
    EXPECT_EQ(box() + column(2), (QStringList{"Alpha", "Alpha"}));
}

TEST_F(QuickAdd, InATableSortedByCaptionTheNewRowIsTheSelectedOne)
{
    startWith(record("Alpha", 0) + record("Broken", 4));
    form1().ToolButton3->click();
    form1().addserver1->trigger();
    EXPECT_FALSE(form13().isVisible()) << "refused while scanning";
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form1().state.Scanning; }, 10000));
    ASSERT_EQ(column(0), (QStringList{"0/16", "sends shit"}));
    add("127.0.0.1", port(1));
    EXPECT_EQ(column(2), (QStringList{"Alpha", "Zulu host", "Broken"}));
    EXPECT_EQ(selectedHost(), "Zulu host");
}

TEST_F(QuickAdd, DeleteServerRemovesEveryRecordAndRowOfTheNameAndNoOther)
{
    const std::string alphaPort = port(0).toStdString(); // also the name of a server
    startWith(record("Twin", 1) + record("Alpha", 0) + record(alphaPort, 1) + record("Twin", 1));
    deleteRow(0, true);
    EXPECT_EQ(folder.read(List), record("Alpha", 0) + record(alphaPort, 1));
    EXPECT_EQ(box(), (QStringList{"Alpha", port(0)}));
    EXPECT_EQ(column(2), box());
    EXPECT_EQ(selectedHost(), "");
    deleteRow(1, true);
    deleteRow(0, false);
    form1().state.Scanning = true; // refused without a question
    form1().deleteserver1->trigger();
    form1().state.Scanning = false;
    EXPECT_EQ(folder.read(List), record("Alpha", 0));
    EXPECT_EQ(box() + column(2), (QStringList{"Alpha", "Alpha"}));
    EXPECT_EQ(dialogs.shownTexts(), (QStringList{"Delete server\nTwin ?", "Delete server\n" + port(0) + " ?",
                                                 "Delete server\nAlpha ?"}));
}

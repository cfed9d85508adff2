// The search window walks the server table's matches one at a time, also
// while a scan rewrites the rows.
#include "fleet/Fleet.h"
#include "support/FormsFixture.h"
#include "ui/lists/TForm6.h"

#include <QTest>

using namespace korvane;
namespace fl = korvane::fleet;

// A user who answers "search next ?" only once something has happened.
class WaitingDialogs : public test::ScriptedDialogs
{
public:
    std::function<void()> beforeAnswer = [] {};
    bool confirm(QWidget* parent, const QString& text) override
    {
        beforeAnswer();
        return ScriptedDialogs::confirm(parent, text);
    }
};

class Search : public test::FormsFixture
{
protected:
    WaitingDialogs waiting;
    QStringList selected; // every row selected, in turn

    void SetUp() override
    {
        fl::FleetConfig config;
        // Answers a quarter of a second apart, so the scan reaches the rows
        // one after another however fast it asks.
        int delayMs = 150;
        for (const char* name : {"Alpha Clan", "Bravo", "Capitals alpine", "alps"}) {
            config.servers.push_back(fl::makeServer(name, fl::Behaviour::Slow));
            config.servers.back().delayMs = delayMs;
            delayMs += 250;
        }
        fleet = std::make_unique<fl::Fleet>(config);
        fleet->start();
        writeData();
        folder.write("Serverlists/Standard", fleet->serverListText());
        forms = createForms(waiting, desktop);
        forms->Form1->show();
        form1().state.TimeoutMs = 2000;
        QObject::connect(form1().ListView3, &QTreeWidget::itemSelectionChanged, [this] {
            if (const QTreeWidgetItem* row = form1().ListView3->selectedRow()) selected.append(row->text(2));
        });
    }
    TForm6& form6() { return *forms->Form6; }
    void search(bool map, const QString& text, QList<bool> answers)
    {
        for (bool yes : answers)
            waiting.queueConfirm(yes);
        form1().ToolButton6->click();
        (map ? form6().RadioButton2 : form6().RadioButton1)->click();
        EXPECT_NE(form6().RadioButton1->isChecked(), form6().RadioButton2->isChecked());
        form6().Edit1->setText(text);
        QTest::keyClick(form6().Edit1, Qt::Key_Return);
    }

private:
    std::unique_ptr<fl::Fleet> fleet;
};

TEST_F(Search, WalksTheMatchesOneAtATime)
{
    const QString next = "search next ?";
    const struct
    {
        const char* why;
        bool map;
        QString text;
        QList<bool> answers;
        QStringList selected, shown;
    } cases[] = {
        {"maps are empty before any scan", true, "obj", {}, {}, {"no matches !"}},
        {"names, case ignored, anywhere",
         false,
         "aLp",
         {true, true, true},
         {"Alpha Clan", "Capitals alpine", "alps"},
         {next, next, next}},
        {"No at the first match", false, "alp", {false}, {"Alpha Clan"}, {next}},
        {"nothing matches", false, "zulu", {}, {}, {"no matches !"}},
        {"empty text", false, "", {}, {}, {}},
    };
    for (const auto& c : cases) {
        waiting.clear();
        selected.clear();
        search(c.map, c.text, c.answers);
        EXPECT_EQ(selected, c.selected) << c.why;
        EXPECT_EQ(waiting.shownTexts(), c.shown) << c.why;
        // Only "no matches !" brings the window back, and blank.
        EXPECT_EQ(form6().isVisible(), c.shown == QStringList{"no matches !"}) << c.why;
        EXPECT_TRUE(form6().Edit1->text().isEmpty()) << c.why;
        if (!c.selected.isEmpty()) { // the last match stays selected
            EXPECT_EQ(form1().ListView3->selectedRow()->text(2), c.selected.last()) << c.why;
        }
    }
}

TEST_F(Search, DuringAScanEachRowIsReadWhenThePassReachesIt)
{
    form1().ToolButton3->click();
    auto mapOf = [this](int row) { return form1().ListView3->row(row)->text(1).trimmed(); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !mapOf(0).isEmpty(); }, 5000));
    ASSERT_TRUE(mapOf(1).isEmpty()); // the scan has yet to reach the other rows
    int asked = 0;
    waiting.beforeAnswer = [&] {
        if (++asked < 4) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !mapOf(asked).isEmpty(); }, 5000));
        }
    };
    search(true, "team2", {true, true, true, true});
    EXPECT_EQ(selected, (QStringList{"Alpha Clan", "Bravo", "Capitals alpine", "alps"}));
    EXPECT_TRUE(QTest::qWaitFor([this] { return !form1().state.Scanning; }, 10000));
}

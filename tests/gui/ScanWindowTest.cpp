// Scan control in the main window: start, the worker's end, stop, the timer,
// closing mid-scan, the buddies list's actions and alerts, against a fleet on 127.0.0.1.
#include "fleet/Fleet.h"
#include "scan/ScanRun.h"
#include "support/FormsFixture.h"
#include "ui/lists/TForm3.h"
#include "ui/watch/TForm2.h"

#include <QSignalSpy>
#include <QTest>

using namespace korvane;
using korvane::fleet::Behaviour;
using korvane::test::columnTexts;
using korvane::test::FormsFixture;

using korvane::fleet::makeServer;

class ScanWindow : public FormsFixture
{
protected:
    std::unique_ptr<fleet::Fleet> servers;

    void startWith(std::vector<fleet::ServerConfig> list, int timeoutMs = 300)
    {
        fleet::FleetConfig config;
        config.servers = std::move(list);
        servers = std::make_unique<fleet::Fleet>(config);
        servers->start();
        writeData();
        folder.write("Serverlists/Standard", servers->serverListText());
        folder.write("Buddys.txt", "bob\r\n");
        folder.write("clantags.txt", "[XY]\r\n");
        start();
        form1().state.TimeoutMs = timeoutMs;
    }
    bool scanEnds(int ms = 10000)
    {
        return QTest::qWaitFor([this] { return !form1().state.Scanning; }, ms);
    }
    korvane::ScanControl& run() { return form1().state.ScanThread->control(); }
    QStringList column(int column) { return columnTexts(form1().ListView3, column); }
};

TEST_F(ScanWindow, ScanNowFillsTheTableAndTheBuddiesList)
{
    startWith({makeServer("Alpha", Behaviour::Answer, {"Bob", "[xy]Ann"}),
               makeServer("Bravo", Behaviour::Silent), makeServer("Charlie", Behaviour::Full, {"x"}, 4)});
    form1().state.CheckClantags = true;
    form1().ToolButton3->click();
    EXPECT_TRUE(form1().state.Scanning);
    EXPECT_FALSE(form1().ToolButton3->isVisible());
    EXPECT_TRUE(form1().ToolButton9->isVisible());
    EXPECT_TRUE(form1().ProgressBar1->isVisible());
    EXPECT_EQ(form1().ProgressBar1->maximum(), 3);
    ASSERT_TRUE(scanEnds());

    EXPECT_EQ(column(0), (QStringList{"2/16", "FULL", "no response"}));
    EXPECT_EQ(column(2), (QStringList{"Alpha", "Charlie", "Bravo"}));
    EXPECT_EQ(column(1), (QStringList{"obj/obj_team2", "obj/obj_team2", " "}));
    EXPECT_EQ(ListView::image(form1().ListView3->row(1)), 2);
    EXPECT_EQ(ListView::image(form1().ListView3->row(2)), 3);
    EXPECT_EQ(columnTexts(form1().ListView2, 0), (QStringList{"[xy]Ann", "bob"}));
    EXPECT_EQ(columnTexts(form1().ListView2, 1), (QStringList{"Alpha", "Alpha"}));
    EXPECT_EQ(form1().ListView2->columnCaption(0), "2 Buddys online");
    EXPECT_EQ(form1().statusText(), "3 servers in Serverlists\\Standard");
    EXPECT_TRUE(form1().ToolButton3->isVisible());
    EXPECT_FALSE(form1().ToolButton9->isVisible());
    EXPECT_FALSE(form1().ProgressBar1->isVisible());
    EXPECT_EQ(form1().ListView3->sortType(), ListView::SortType::Text);
    ASSERT_TRUE(run().waitFinished(5000));
    EXPECT_EQ(run().result().end, PassEnd::Complete);
    EXPECT_EQ(run().openSockets.load(), 0);
}

// A buddy new since the scan before is told of once through the tray while the
// window is minimised; a click on the notice brings the window back on the server.
TEST_F(ScanWindow, NewBuddyToldWhileMinimisedAndItsServerShownOnClick)
{
    desktop.trayAvailable = true;
    startWith({makeServer("Alpha", Behaviour::Answer, {"Bob", "Ann"}),
               makeServer("Bravo", Behaviour::Answer, {"x"})});
    form1().ToolButton3->click();
    ASSERT_TRUE(scanEnds()); // in sight: bob counts as seen, unannounced
    form1().showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form1().isVisible(); }, 5000));
    form1().ToolButton3->click();
    ASSERT_TRUE(scanEnds()); // bob again: nothing new
    EXPECT_TRUE(desktop.tray->notifications.isEmpty());

    folder.write("Buddys.txt", "bob\r\nann\r\n");
    form1().ToolButton3->click();
    ASSERT_TRUE(scanEnds());
    ASSERT_EQ(desktop.tray->notifications.size(), 1);
    EXPECT_EQ(desktop.tray->notifications[0].title, "ann is online");
    EXPECT_EQ(desktop.tray->notifications[0].text, "ann plays on Alpha");

    form1().ListView3->clearSelection();
    desktop.tray->messageClicked();
    EXPECT_TRUE(form1().isVisible());
    EXPECT_FALSE(form1().isMinimized());
    ASSERT_NE(form1().ListView3->selectedRow(), nullptr);
    EXPECT_EQ(form1().ListView3->selectedRow()->text(HostColumn), "Alpha");
    EXPECT_EQ(form1().Label1->text(), "Players: 2/16");

    // Turned off in the Options window: kept beside the twelve settings lines,
    // heeded by the next scan and the next start.
    const std::string config = folder.read("Config");
    TForm3& options = *forms->Form3;
    options.show();
    ASSERT_TRUE(options.CheckBox4->isChecked());
    EXPECT_FALSE(folder.exists("Alerts.txt")) << "showing is no change";
    options.CheckBox4->click();
    options.hide();
    EXPECT_EQ(folder.read("Alerts.txt"), "alerts off\r\n");
    EXPECT_EQ(folder.read("Config"), config);
    folder.write("Buddys.txt", "bob\r\nann\r\nx\r\n");
    form1().showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form1().isVisible(); }, 5000));
    form1().ToolButton3->click();
    ASSERT_TRUE(scanEnds());
    EXPECT_EQ(desktop.tray->notifications.size(), 1);
    build();
    forms->Form3->show();
    EXPECT_FALSE(forms->Form3->CheckBox4->isChecked());
    forms->Form3->CheckBox4->click();
    EXPECT_EQ(folder.read("Alerts.txt"), "alerts on\r\n");
}

// The user selects a silent server twice during the scan, which keeps the
// window busy while a late server's reply lands: it is still late.
TEST_F(ScanWindow, ALateReplyStaysLateWhileTheWindowIsBusy)
{
    fleet::ServerConfig late = makeServer("Late", Behaviour::Slow, {"x"});
    late.delayMs = 900;
    startWith({makeServer("Alpha", Behaviour::Answer, {"x"}), late, makeServer("Quiet", Behaviour::Silent)},
              600);
    form1().ToolButton3->click();
    // Late and Quiet are asked.
    ASSERT_TRUE(QTest::qWaitFor([this] { return run().waiting.load() >= 2; }, 5000));
    for (int i = 0; i < 2; ++i) { // 1200 ms of the user's own look-ups
        QTreeWidgetItem* quiet = form1().ListView3->row(column(2).indexOf("Quiet"));
        form1().ListView3->clearSelection();
        quiet->setSelected(true);
    }
    ASSERT_TRUE(scanEnds());
    EXPECT_EQ(column(0).at(column(2).indexOf("Late")), "no response");
    EXPECT_EQ(column(0).at(column(2).indexOf("Alpha")), "1/16");
}

TEST_F(ScanWindow, StopHalfWayKeepsTheRestAndANewScanRunsUndisturbed)
{
    std::vector<fleet::ServerConfig> list{makeServer("Alpha", Behaviour::Answer, {"Bob"})};
    for (int i = 0; i < 6; ++i)
        list.push_back(makeServer("Silent" + std::to_string(i), Behaviour::Silent));
    startWith(list, 60000);
    form1().ToolButton3->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return column(0).contains("1/16"); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([this] { return run().waiting.load() == 6; }, 5000));
    const std::shared_ptr<ScanRun> halted = form1().state.ScanThread;

    form1().ToolButton9->click();
    EXPECT_FALSE(form1().state.Scanning);
    EXPECT_TRUE(form1().ToolButton3->isVisible());
    EXPECT_FALSE(form1().ProgressBar1->isVisible());
    EXPECT_EQ(form1().statusText(), "7 servers in Serverlists\\Standard");
    ASSERT_TRUE(halted->control().waitFinished(5000));
    EXPECT_EQ(halted->control().result().end, PassEnd::Halted);
    EXPECT_EQ(halted->control().openSockets.load(), 0);
    QApplication::processEvents();
    const QStringList afterStop = column(0);
    EXPECT_EQ(afterStop.count("not scanned"), 6);
    EXPECT_EQ(afterStop.first(), "1/16");

    // A new pass starts from the first row with an empty buddies list.
    form1().state.TimeoutMs = 100;
    form1().ToolButton3->click();
    EXPECT_TRUE(form1().ListView2->rowCount() == 0);
    ASSERT_TRUE(scanEnds());
    EXPECT_EQ(column(0).count("no response"), 6);
    EXPECT_EQ(columnTexts(form1().ListView2, 0), QStringList{"bob"});
    EXPECT_EQ(columnTexts(form1().ListView2, 1), QStringList{"Alpha"});
    EXPECT_EQ(form1().statusText(), "7 servers in Serverlists\\Standard");
}

TEST_F(ScanWindow, StartsAreRefusedWhileScanning)
{
    startWith({makeServer("Alpha", Behaviour::Silent)}, 60000);
    form1().ToolButton3->click();
    const std::shared_ptr<ScanRun> first = form1().state.ScanThread;
    EXPECT_EQ(callHandler([this] { form1().Timer1Timer(); }), "");
    form1().refresh1->trigger();
    form1().refresh2->trigger();
    EXPECT_EQ(form1().state.ScanThread, first);
    form1().ToolButton9->click();
    form1().state.TimeoutMs = 50;
    EXPECT_EQ(callHandler([this] { form1().Timer1Timer(); }), ""); // the next tick after the scan starts one
    EXPECT_NE(form1().state.ScanThread, first);
    EXPECT_TRUE(scanEnds());
}

TEST_F(ScanWindow, EmptyListEndsAtOnce)
{
    startWith({});
    form1().ToolButton3->click();
    ASSERT_TRUE(scanEnds());
    EXPECT_EQ(form1().statusText(), "0 servers in Serverlists\\Standard");
    EXPECT_TRUE(form1().ToolButton3->isVisible());
}

TEST_F(ScanWindow, MissingListFileLeavesTheScanningStateUntilStop)
{
    startWith({makeServer("Alpha", Behaviour::Answer), makeServer("Bravo", Behaviour::Answer)});
    std::remove(folder.file("Serverlists/Standard").c_str());
    form1().ToolButton3->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return run().finished(); }, 5000));
    QApplication::processEvents();
    EXPECT_EQ(run().result().end, PassEnd::Failed);
    EXPECT_TRUE(form1().state.Scanning);
    EXPECT_TRUE(form1().ToolButton9->isVisible());
    EXPECT_TRUE(form1().ProgressBar1->isVisible());
    EXPECT_TRUE(dialogs.shown().isEmpty());

    form1().ToolButton9->click();
    EXPECT_FALSE(form1().state.Scanning);
    EXPECT_EQ(form1().statusText(), "2 servers in Serverlists\\Standard");
}

TEST_F(ScanWindow, ClosingMidScanHaltsWithoutWaiting)
{
    std::vector<fleet::ServerConfig> list;
    for (int i = 0; i < 5; ++i)
        list.push_back(makeServer("Silent" + std::to_string(i), Behaviour::Silent));
    startWith(list, 60000);
    form1().ToolButton3->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return run().waiting.load() == 5; }, 5000));
    const std::shared_ptr<ScanRun> running = form1().state.ScanThread;
    form1().close();
    ASSERT_TRUE(running->control().waitFinished(5000));
    EXPECT_EQ(running->control().openSockets.load(), 0);
}

TEST_F(ScanWindow, DestroyingTheWindowsMidScanIsSafe)
{
    std::vector<fleet::ServerConfig> list{makeServer("Alpha", Behaviour::Answer)};
    for (int i = 0; i < 3; ++i)
        list.push_back(makeServer("Silent" + std::to_string(i), Behaviour::Silent));
    startWith(list, 60000);
    form1().ToolButton3->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return run().waiting.load() == 3; }, 5000));
    const std::shared_ptr<korvane::ScanControl> control = form1().state.ScanThread->sharedControl();
    forms.reset();
    EXPECT_TRUE(control->halted());
    ASSERT_TRUE(control->waitFinished(5000));
    EXPECT_EQ(control->result().end, PassEnd::Halted);
}

TEST_F(ScanWindow, BuddyDoubleClickSelectsItsServerWhenIdle)
{
    startWith({makeServer("Alpha", Behaviour::Answer), makeServer("Bravo", Behaviour::Answer, {"Bob"}, 8)});
    form1().ToolButton3->click();
    ASSERT_TRUE(scanEnds());
    ASSERT_EQ(form1().ListView2->rowCount(), 1);
    // Out of order, so the double-click's sorting shows.
    form1().ListView3->setSortType(ListView::SortType::None);
    form1().ListView3->addTopLevelItem(form1().ListView3->takeTopLevelItem(0));
    ASSERT_EQ(column(2), (QStringList{"Bravo", "Alpha"}));
    form1().ListView2->row(0)->setSelected(true);
    QSignalSpy selections(form1().ListView3, &QTreeWidget::itemSelectionChanged);
    EXPECT_EQ(callHandler([this] { form1().ListView2DblClick(); }), "");
    EXPECT_EQ(column(2), (QStringList{"Alpha", "Bravo"}));
    ASSERT_NE(form1().ListView3->selectedRow(), nullptr);
    EXPECT_EQ(form1().ListView3->selectedRow()->text(2), "Bravo");
    EXPECT_GE(selections.count(), 1);

    // A server no row carries: only the sorting happens.
    form1().ListView3->clearSelection();
    form1().ListView2->row(0)->setText(1, "Nowhere");
    EXPECT_EQ(callHandler([this] { form1().ListView2DblClick(); }), "");
    EXPECT_EQ(form1().ListView3->selectedRow(), nullptr);
}

TEST_F(ScanWindow, BuddyDoubleClickDuringAScanAsksTheServerDirectly)
{
    fleet::ServerConfig forged = makeServer("Forged", Behaviour::Stray, {"Ann"});
    forged.delayMs = 100;
    fleet::ServerConfig onlyForged = makeServer("OnlyForged", Behaviour::Stray, {"Ann"});
    onlyForged.delayMs = 5000;
    startWith({makeServer("Alpha", Behaviour::Answer, {"Bob", "Ann"}), makeServer("Short", Behaviour::Short),
               forged, onlyForged});
    const QStringList before = column(0);
    form1().state.Scanning = true; // as while a worker runs
    auto doubleClick = [this](const QString& host) {
        form1().ListView2->clear();
        form1().ListView2->addItem("bob", {host}, 0)->setSelected(true);
        return callHandler([this] { form1().ListView2DblClick(); });
    };

    doubleClick("Alpha");
    EXPECT_EQ(form1().Label1->text(), "Players: 2/16");
    EXPECT_EQ(form1().Label2->text(), "Map: obj/obj_team2");
    EXPECT_EQ(form1().Label3->text().toStdString().find("Alpha host") != std::string::npos, true);
    EXPECT_EQ(form1().ListView1->rowCount(), 2);
    EXPECT_EQ(form1().state.SelectedIP, "127.0.0.1");
    EXPECT_EQ(form1().state.SelectedPort, std::to_string(servers->port(0)));
    EXPECT_EQ(form1().state.PingGraphX, 97);
    EXPECT_EQ(column(0), before);
    EXPECT_EQ(form1().ListView3->selectedRow(), nullptr);

    // Exactly 40 characters count as no response.
    doubleClick("Short");
    EXPECT_EQ(form1().Label2->text(), "No response from selected server !");
    EXPECT_TRUE(form1().Label1->text().isEmpty());
    EXPECT_EQ(form1().ListView1->rowCount(), 0);

    // Forged replies reach the client's port from another port and from ::1
    // first; only the server's own counts, and only within the time-out.
    doubleClick("Forged");
    EXPECT_EQ(form1().Label1->text(), "Players: 1/16");
    EXPECT_EQ(form1().Label2->text(), "Map: obj/obj_team2");
    doubleClick("OnlyForged");
    EXPECT_EQ(form1().Label2->text(), "No response from selected server !");
    EXPECT_EQ(form1().ListView1->rowCount(), 0);

    // A name not in the list: the empty port fails before any query.
    EXPECT_EQ(doubleClick("Nowhere"), "'' is not a valid integer value");
    EXPECT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(form1().state.SelectedPort, std::to_string(servers->port(3)));
    form1().state.Scanning = false;
}

TEST_F(ScanWindow, AddToBuddysAppendsALineOfItsOwn)
{
    startWith({});
    folder.write("Buddys.txt", "zed\r\nalice");
    form1().ListView1->addItem("Bob ", {"12"}, 0)->setSelected(true);
    EXPECT_EQ(callHandler([this] { form1().AddtoBuddys1Click(); }), "");
    EXPECT_EQ(folder.read("Buddys.txt"), "zed\r\nalice\r\nBob \r\n");
    EXPECT_EQ(form1().statusText(), "Done!");
    ListView* list = forms->Form2->ListView1;
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->row(0)->text(0), "alice");
    EXPECT_EQ(list->row(1)->text(0), "Bob ");
    EXPECT_FALSE(forms->Form2->isVisible());

    std::remove(folder.file("Buddys.txt").c_str());
    EXPECT_EQ(callHandler([this] { form1().AddtoBuddys1Click(); }), "File not found");
    EXPECT_EQ(form1().statusText(), "Adding Bob  to Buddylist");
    EXPECT_FALSE(folder.exists("Buddys.txt"));
    EXPECT_EQ(list->rowCount(), 3);

    form1().ListView1->clearSelection();
    EXPECT_EQ(callHandler([this] { form1().AddtoBuddys1Click(); }), "");
    EXPECT_EQ(dialogs.shown().size(), 1);
}

TEST_F(ScanWindow, StopWithOneRowStillSortsAndSetsTheStatus)
{
    startWith({makeServer("Alpha", Behaviour::Silent)}, 60000);
    form1().ToolButton3->click();
    ASSERT_TRUE(form1().state.Scanning);
    form1().ToolButton9->click();
    EXPECT_FALSE(form1().state.Scanning);
    EXPECT_TRUE(form1().ToolButton3->isVisible());
    EXPECT_FALSE(form1().ToolButton9->isVisible());
    EXPECT_FALSE(form1().ProgressBar1->isVisible());
    EXPECT_EQ(form1().ListView3->sortType(), ListView::SortType::Text);
    EXPECT_EQ(column(0), QStringList{"not scanned"});
    EXPECT_EQ(form1().statusText(), "1 servers in Serverlists\\Standard");
}

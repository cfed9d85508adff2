// The remote console against stand-in servers on 127.0.0.1: showing, commands
// and replies, saving, and the windows staying alive during a long wait.
#include "fleet/Fleet.h"
#include "query/RconExchange.h"
#include "support/FormsFixture.h"
#include "support/LoopbackPeer.h"
#include "ui/admin/TForm9.h"

#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace korvane;
using korvane::test::crlf;
using korvane::test::FormsFixture;
namespace fl = korvane::fleet;

class Console : public FormsFixture
{
protected:
    std::unique_ptr<fl::Fleet> fleet;
    const std::vector<std::string> header{"// Korvane 1.11 password list", "//", ""};

    void SetUp() override
    {
        std::vector<std::string> crowd;
        for (int i = 1; i <= 30; ++i)
            crowd.push_back("Player " + std::to_string(i));
        fl::FleetConfig config;
        config.servers = {fl::makeServer("Alpha", fl::Behaviour::Answer),
                          fl::makeServer("Crowded", fl::Behaviour::Answer, crowd, 32),
                          fl::makeServer("Late", fl::Behaviour::Slow)};
        config.servers[2].delayMs = 11000; // past the console's 10 s wait
        for (fl::ServerConfig& s : config.servers)
            s.rconPassword = "quitter";
        fleet = std::make_unique<fl::Fleet>(config);
        fleet->start();
        writeData();
        folder.write("Serverlists/Standard", fleet->serverListText());
        start();
    }

    TForm9& console() { return *forms->Form9; }
    std::string key(std::size_t server) { return "127.0.0.1" + std::to_string(fleet->port(server)); }
    // "r-con" with this server selected.
    void open(std::size_t server, const std::string& port = "", const std::string& ip = "127.0.0.1")
    {
        form1().state.SelectedIP = ip;
        form1().state.SelectedPort = port.empty() ? std::to_string(fleet->port(server)) : port;
        form1().ToolButton7->click();
    }
    // The lines one command adds to the console.
    QStringList enter(const QString& command)
    {
        const qsizetype before = console().consoleLines().size();
        console().Edit1->setText(command);
        QTest::keyClick(console().Edit1, Qt::Key_Return);
        return console().consoleLines().mid(before);
    }
};

TEST_F(Console, AShowThatStopsEarlyLeavesNoServerToSendToOrStoreFor)
{
    const std::string passwords = folder.read("Passwords.txt");
    struct Case
    {
        const char* what;
        std::string port;
        QStringList lines;
        QString error;
        std::string ip = "127.0.0.1";
    } cases[] = {
        {"port not a number", "27x", {}, "'27x' is not a valid integer value"},
        {"password file missing: the old text stays", "", {"old"}, "File not found"},
        {"an IP of blanks: not shown", "12203", {"old"}, "Please select a server !", " "},
    };
    for (const Case& c : cases) {
        if (c.port.empty()) std::remove(folder.file("Passwords.txt").c_str());
        dialogs.clear();
        console().Memo1->setPlainText("old");
        open(0, c.port, c.ip);
        EXPECT_EQ(console().consoleLines(), c.lines) << c.what;
        EXPECT_EQ(dialogs.shownTexts(), QStringList{c.error}) << c.what;
        console().LabeledEdit1->setText("quitter");
        EXPECT_EQ(enter("say hi"), QStringList{"no response from server"}) << c.what;
        console().saverconpassword1->trigger();
        EXPECT_EQ(dialogs.shown().size(), 1) << c.what;
        EXPECT_EQ(folder.exists("Passwords.txt") ? folder.read("Passwords.txt") : passwords, passwords)
            << c.what;
    }
}

TEST_F(Console, CommandsGoOutOnEnterAndTheirRepliesShowLineByLine)
{
    open(0);
    struct Step
    {
        const char* what;
        QString password, command;
        QStringList added;
    } steps[] = {
        {"wrong password", "wrong", "status", {"", "Bad rconpassword."}},
        {"password holding quit still waits",
         "quitter",
         "say h\u00e9\u00a0!",
         {"", "console: h\u00e9\u00a0!"}},
        {"unknown command", "quitter", "frobnicate", {"", "Unknown command \"frobnicate\""}},
        {"CLR keeps the console and is sent", "quitter", "CLR", {"", "Unknown command \"CLR\""}},
        {"quit in the command: no wait", "quitter", "say I quit", {"no response from server"}},
        {"the late reply shows first", "quitter", "say on", {"", "console: I quit", "", "console: on"}},
    };
    for (const Step& s : steps) {
        console().LabeledEdit1->setText(s.password);
        EXPECT_EQ(enter(s.command), s.added) << s.what;
    }
    EXPECT_EQ(console().Edit1->text(), "");
    EXPECT_EQ(console().focusWidget(), console().Edit1);
    EXPECT_EQ(console().StatusPanel0->text(), "Ready...");
    QTest::keyClick(console().Edit1, Qt::Key_Up);
    EXPECT_EQ(console().Edit1->text(), "say on");
    QTest::keyClick(console().Edit1, Qt::Key_Down);
    EXPECT_EQ(console().Edit1->text(), "");

    enter("clr");
    EXPECT_EQ(console().consoleLines(), (QStringList{"", "Unknown command \"clr\""})) << "emptied, then sent";
}

TEST_F(Console, ALongReplyShowsWholeUnderItsOwnCommand)
{
    open(1);
    console().LabeledEdit1->setText("quitter");
    const std::uint64_t sent = fleet->repliesSent();
    const QStringList status = enter("status");
    EXPECT_TRUE(QTest::qWaitFor([&] { return fleet->repliesSent() == sent + 3; }, 5000)) << "three datagrams";
    ASSERT_EQ(status.size(), 3 + 3 + 30);
    EXPECT_EQ(status.count(""), 3) << "one print header each";
    EXPECT_EQ(status[1], "map: obj/obj_team2");
    EXPECT_TRUE(status.last().contains("Player 30"));
    EXPECT_EQ(enter("say done"), (QStringList{"", "console: done"}));
}

TEST_F(Console, TheSavedPasswordIsOfferedNextTimeAndTheLogIsSavedWithCrLf)
{
    const QStringList greeting{
        QString::fromStdString("conected to: 127.0.0.1:" + std::to_string(fleet->port(0))),
        "enter \"clr\" to clear rcon", "use key UP to get last command"};
    open(0);
    EXPECT_EQ(console().consoleLines(), greeting + QStringList({"please enter rcon password !", " "}));
    EXPECT_EQ(console().focusWidget(), console().LabeledEdit1);
    console().LabeledEdit1->setText("quitter");
    console().saverconpassword1->trigger();
    console().saverconpassword1->trigger();
    EXPECT_EQ(folder.read("Passwords.txt"),
              crlf({header[0], header[1], header[2], key(0), "rcon:quitter", key(0), "rcon:quitter"}));
    open(0);
    EXPECT_EQ(console().LabeledEdit1->text(), "quitter");
    EXPECT_EQ(console().consoleLines(), greeting + QStringList(" "));
    EXPECT_EQ(console().focusWidget(), console().Edit1);

    enter("say hi");
    dialogs.queueFileName("");
    console().Button1->click();
    dialogs.queueFileName(folder.path() + "/rcon log.txt");
    console().saverconlog1->trigger();
    EXPECT_EQ(QString::fromStdString(folder.read("rcon log.txt")),
              (greeting + QStringList{" ", "", "console: hi", ""}).join("\r\n"));
    EXPECT_EQ(dialogs.shownTexts(), (QStringList{"rconlog_1", "rconlog_1"}));
    EXPECT_EQ(console().focusWidget(), console().Edit1);

    std::remove(folder.file("Passwords.txt").c_str());
    console().saverconpassword1->trigger();
    EXPECT_EQ(dialogs.shownTexts().last(), "File not found");
    EXPECT_FALSE(folder.exists("Passwords.txt"));
}

// The 10 s wait for a server that answers late. Only the wait runs events
// here, so the scan's rows and the table's repaints can only come during it.
TEST_F(Console, TheWindowsStayAliveDuringTheWait)
{
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } table;
    form1().ListView3->viewport()->installEventFilter(&table);
    form1().state.TimeoutMs = 1000;
    open(2);
    console().LabeledEdit1->setText("quitter");
    form1().ToolButton3->click();
    ASSERT_TRUE(form1().state.Scanning);
    const int paintsBefore = table.paints;
    QString statusDuringWait;
    QTimer::singleShot(500, [&] { statusDuringWait = console().StatusPanel0->text(); });

    EXPECT_EQ(enter("status"), QStringList{"no response from server"});
    EXPECT_EQ(statusDuringWait, "Waiting for incomming data...");
    EXPECT_FALSE(form1().state.Scanning);
    EXPECT_FALSE(column(0).contains("not scanned"));
    EXPECT_EQ(column(0).count("no response"), 1) << "the late server, at the scan's 1 s time-out";
    EXPECT_GT(table.paints, paintsBefore);
    EXPECT_EQ(console().StatusPanel0->text(), "Ready...");

    EXPECT_EQ(enter("say next").mid(0, 2), (QStringList{"", "map: obj/obj_team2"}));
}

// A flood: what one command gathers is capped, the console says so, and the
// rest is read and dropped in batches with the windows' turns between them.
TEST_F(Console, AFloodIsCutAndDroppedWhileTheWindowsGoOn)
{
    test::LoopbackSender server;
    open(0, std::to_string(server.port()));
    const int console = forms->Form9->IdUDPClient1.localPort();
    const std::string line = "\xFF\xFF\xFF\xFF\x01print\nflood\n";
    const int kept = static_cast<int>(RconReplyLimits().datagrams), flood = 2 * kept;
    int sent = 0;
    for (; sent < 40; ++sent)
        ASSERT_TRUE(server.sendTo(console, line));
    std::optional<bool> queuedAtFirstTurn;
    QTimer turns; // sends on at every turn of the windows, never more than a batch at a time
    turns.callOnTimeout([&] {
        if (!queuedAtFirstTurn) queuedAtFirstTurn = forms->Form9->IdUDPClient1.readable(0);
        for (int i = 0; i < RconReadBatch && sent < flood; ++i, ++sent)
            server.sendTo(console, line);
        if (sent == flood) turns.stop();
    });
    turns.start(0);
    const QStringList added = enter("status");
    EXPECT_EQ(queuedAtFirstTurn, true) << "the windows had a turn before all that waited was read";
    EXPECT_EQ(sent, flood);
    ASSERT_EQ(added.size(), 2 * kept + 1); // a header line and a text line each
    EXPECT_EQ(added.count("flood"), kept);
    EXPECT_EQ(added.last().toStdString(), rconCutLine());
    EXPECT_FALSE(forms->Form9->IdUDPClient1.readable(0)) << "nothing left for the next command";
}

TEST_F(Console, ClosingTheProgramEndsTheWaitAtOnce)
{
    open(2); // answers after the wait
    console().LabeledEdit1->setText("quitter");
    QTimer::singleShot(0, [&] {
        console().Edit1->setText("say second");
        QTest::keyClick(console().Edit1, Qt::Key_Return); // no second command during the wait
        form1().close();
    });
    EXPECT_EQ(enter("status"), QStringList{"no response from server"});
    EXPECT_EQ(console().LastCommand, "status");
    for (QWidget* window : forms->windows())
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
}

// The remote console against stand-in servers on 127.0.0.1: showing, commands
// and replies, saving, and the windows staying alive during a long wait.
#include "admin/TForm9.h"
#include "fleet/Fleet.h"
#include "support/FormsFixture.h"

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
    void open(std::size_t server, const std::string& port = "")
    {
        form1().state.SelectedIP = "127.0.0.1";
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

TEST_F(Console, ShowLoadsThePasswordAndGreetsOrStopsAtTheFailingStep)
{
    const QStringList greeting{
        QString::fromStdString("conected to: 127.0.0.1:" + std::to_string(fleet->port(0))),
        "enter \"clr\" to clear rcon", "use key UP to get last command"};
    struct Case
    {
        const char* what;
        bool fileExists;
        std::vector<std::string> records;
        std::string port;
        QString password;
        QStringList lines;
        QWidget* focus;
        QString error;
    } cases[] = {
        {"stored password",
         true,
         {key(0), "rcon:quitter"},
         "",
         "quitter",
         greeting + QStringList{" "},
         console().Edit1,
         ""},
        {"none stored",
         true,
         {},
         "",
         "",
         greeting + QStringList{"please enter rcon password !", " "},
         console().LabeledEdit1,
         ""},
        {"password file missing: the old text stays",
         false,
         {},
         "",
         "",
         greeting + QStringList{"please enter rcon password !", " "},
         nullptr,
         "File not found"},
        {"port not a number", true, {}, "27x", "", {}, nullptr, "'27x' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        dialogs.clear();
        std::vector<std::string> file = header;
        file.insert(file.end(), c.records.begin(), c.records.end());
        if (c.fileExists)
            folder.writeLines("Passwords.txt", file);
        else
            std::remove(folder.file("Passwords.txt").c_str());
        open(0, c.port);
        EXPECT_TRUE(console().isVisible()) << c.what;
        EXPECT_EQ(console().LabeledEdit1->text(), c.password) << c.what;
        EXPECT_EQ(console().consoleLines(), c.lines) << c.what;
        if (c.focus) {
            EXPECT_EQ(console().focusWidget(), c.focus) << c.what;
        }
        EXPECT_EQ(dialogs.shownTexts(), c.error.isEmpty() ? QStringList() : QStringList{c.error}) << c.what;
        if (c.error.isEmpty()) continue;
        // Without a server of its own the console neither sends nor stores anything.
        const std::string before = c.fileExists ? folder.read("Passwords.txt") : "";
        console().LabeledEdit1->setText("quitter");
        EXPECT_EQ(enter("say hi"), QStringList{"no response from server"}) << c.what;
        console().saverconpassword1->trigger();
        EXPECT_EQ(c.fileExists ? folder.read("Passwords.txt") : "", before) << c.what;
        EXPECT_EQ(dialogs.shown().size(), 1) << c.what;
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
        {"password holding quit still waits", "quitter", "say hi", {"", "console: hi"}},
        {"unknown command", "quitter", "frobnicate", {"", "Unknown command \"frobnicate\""}},
        {"CLR keeps the console and is sent", "quitter", "CLR", {"", "Unknown command \"CLR\""}},
        {"quit anywhere in the command: no wait", "quitter", "say I quit", {"no response from server"}},
        {"the late reply comes before the next",
         "quitter",
         "say on",
         {"", "console: I quit", "", "console: on"}},
    };
    for (const Step& s : steps) {
        console().LabeledEdit1->setText(s.password);
        EXPECT_EQ(enter(s.command), s.added) << s.what;
        EXPECT_EQ(console().Edit1->text(), "") << s.what;
        EXPECT_EQ(console().focusWidget(), console().Edit1) << s.what;
        EXPECT_EQ(console().StatusPanel0->text(), "Ready...") << s.what;
    }
    QTest::keyClick(console().Edit1, Qt::Key_Up);
    EXPECT_EQ(console().Edit1->text(), "say on");
    QTest::keyClick(console().Edit1, Qt::Key_Down);
    EXPECT_EQ(console().Edit1->text(), "");

    enter("clr");
    EXPECT_EQ(console().consoleLines(), (QStringList{"", "Unknown command \"clr\""})) << "emptied, then sent";
}

TEST_F(Console, ALongReplyShowsWholeUnderItsOwnCommand)
{
    folder.writeLines("Passwords.txt", {header[0], header[1], header[2], key(1), "rcon:quitter"});
    open(1);
    const std::uint64_t sent = fleet->repliesSent();
    const QStringList status = enter("status");
    EXPECT_TRUE(QTest::qWaitFor([&] { return fleet->repliesSent() == sent + 3; }, 5000)) << "three datagrams";
    ASSERT_EQ(status.size(), 3 + 3 + 30);
    EXPECT_EQ(status.count(""), 3) << "one print header each";
    EXPECT_EQ(status[1], "map: obj/obj_team2");
    EXPECT_TRUE(status.last().contains("Player 30"));
    EXPECT_EQ(enter("say done"), (QStringList{"", "console: done"}));
}

TEST_F(Console, SavingThePasswordAppendsAndTheLogIsWrittenWithCrLf)
{
    open(0);
    console().LabeledEdit1->setText("quitter");
    console().saverconpassword1->trigger();
    console().saverconpassword1->trigger();
    EXPECT_EQ(folder.read("Passwords.txt"),
              crlf({header[0], header[1], header[2], key(0), "rcon:quitter", key(0), "rcon:quitter"}));
    EXPECT_EQ(console().focusWidget(), console().Edit1);
    open(0);
    EXPECT_EQ(console().LabeledEdit1->text(), "quitter");
    enter("say hi");

    const std::string greeting = "conected to: 127.0.0.1:" + std::to_string(fleet->port(0));
    dialogs.queueFileName("");
    console().Button1->click();
    dialogs.queueFileName(folder.path() + "/rcon log.txt");
    console().saverconlog1->trigger();
    EXPECT_EQ(folder.read("rcon log.txt"), crlf({greeting, "enter \"clr\" to clear rcon",
                                                 "use key UP to get last command", " ", "", "console: hi"}));
    EXPECT_EQ(dialogs.shownTexts(), (QStringList{"rconlog_1", "rconlog_1"}));
    EXPECT_EQ(console().focusWidget(), console().Edit1);

    std::remove(folder.file("Passwords.txt").c_str());
    console().saverconpassword1->trigger();
    EXPECT_EQ(dialogs.shownTexts().last(), "File not found");
    EXPECT_FALSE(folder.exists("Passwords.txt"));
}

// The 10 s wait for a server that answers late: the windows keep painting
// and a scan keeps filling its rows meanwhile; the late reply shows under the
// next command.
TEST_F(Console, TheWindowsStayAliveDuringTheWait)
{
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    form1().ListView3->viewport()->installEventFilter(&counter);
    form1().state.TimeoutMs = 1000;
    folder.writeLines("Passwords.txt", {header[0], header[1], header[2], key(2), "rcon:quitter"});
    open(2);

    bool scanningWhenWaitBegan = false, rowsFilledDuringWait = false;
    int paintsBefore = -1, paintsDuringWait = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (console().StatusPanel0->text() != "Waiting for incomming data...") return;
        if (paintsBefore < 0) {
            scanningWhenWaitBegan = form1().state.Scanning;
            paintsBefore = counter.paints;
        }
        paintsDuringWait = counter.paints - paintsBefore;
        if (!form1().state.Scanning && !column(0).contains("not scanned")) rowsFilledDuringWait = true;
    });
    sampler.start(50);
    form1().ToolButton3->click();
    EXPECT_EQ(enter("status"), QStringList{"no response from server"});
    sampler.stop();
    EXPECT_TRUE(scanningWhenWaitBegan);
    EXPECT_TRUE(rowsFilledDuringWait);
    EXPECT_GT(paintsDuringWait, 0) << "the server table repainted";
    EXPECT_EQ(column(0).count("no response"), 1) << "the late server, at the scan's 1 s time-out";
    EXPECT_EQ(console().StatusPanel0->text(), "Ready...");

    EXPECT_EQ(enter("say next").mid(0, 2), (QStringList{"", "map: obj/obj_team2"}));
}

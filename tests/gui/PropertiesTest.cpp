// The properties window: stored passwords and their saving, the live ping
// field and graph from the main window's host checker, and closing mid-ping.
#include "net/THostChecker.h"
#include "support/FormsFixture.h"
#include "ui/admin/TForm11.h"

#include <QTest>

using namespace korvane;
using korvane::test::FormsFixture;
using korvane::test::ScriptedIcmpEcho;

namespace {

const std::vector<std::string> Header = {"// Korvane 1.11 password list", "//", ""};
const std::string Key = "127.0.0.112203";
const std::vector<std::string> Stored = {Header[0], Header[1], Header[2], Key, "secret", Key, "rcon:admin"};

} // namespace

class Properties : public FormsFixture
{
protected:
    void SetUp() override
    {
        writeData({"Omaha", "127.0.0.1", "12203", "Utah", "127.0.0.1", "12204"});
        folder.writeLines("Passwords.txt", Stored);
        start();
        form1().state.TimeoutMs = 40; // the check period; nobody answers the status queries
    }
    void TearDown() override
    {
        FormsFixture::TearDown();
        desktop.echo->release();
        EXPECT_TRUE(QTest::qWaitFor([] { return pingWorkers().running() == 0; }));
    }
    TForm11& properties() { return *forms->Form11; }
    THostChecker& checker() { return *form1().HostChecker1; }
    void open(const std::string& ip = "127.0.0.1", const std::string& port = "12203")
    {
        form1().state.SelectedIP = ip;
        form1().state.SelectedPort = port;
        form1().properties1->trigger();
    }
    std::string passwords() { return folder.read("Passwords.txt"); }
    bool waitPing(const QString& text)
    {
        return QTest::qWaitFor([&] { return properties().LabeledEdit2->text() == text; });
    }
    QColor pingColour() { return properties().LabeledEdit2->palette().color(QPalette::Text); }
    QColor graphAt(int x, int y) { return properties().PaintBox1->canvas().toImage().pixelColor(x, y); }
};

TEST_F(Properties, ClosingAsksOnlyAfterAChangeAndYesSavesRconFirst)
{
    struct Case
    {
        const char* why;
        QString server, rcon;
        std::optional<bool> answer;
        std::vector<std::string> appended;
    };
    const Case cases[] = {
        {"unchanged", "secret", "admin", std::nullopt, {}},
        {"changed, No", "secret", "root", false, {}},
        {"changed, Yes", "new", "admin", true, {Key, "rcon:admin", Key, "new"}},
    };
    for (const Case& c : cases) {
        const std::string before = passwords();
        open();
        EXPECT_EQ(properties().LabeledEdit1->text(), "secret") << c.why;
        EXPECT_EQ(properties().LabeledEdit3->text(), "admin") << c.why;
        properties().LabeledEdit1->setText(c.server);
        properties().LabeledEdit3->setText(c.rcon);
        dialogs.clear();
        if (c.answer) dialogs.queueConfirm(*c.answer);
        properties().close();
        EXPECT_EQ(dialogs.shownTexts(), c.answer ? QStringList{"save changed passwords ?"} : QStringList{})
            << c.why;
        EXPECT_EQ(passwords(), before + test::crlf(c.appended)) << c.why;
        folder.writeLines("Passwords.txt", Stored);
    }

    // Another server selected with a change pending: saved under the server it was typed for.
    open();
    properties().LabeledEdit1->setText("typed");
    dialogs.clear();
    dialogs.queueConfirm(true);
    form1().ListView3->row(1)->setSelected(true);
    EXPECT_EQ(dialogs.shownTexts(), QStringList{"save changed passwords ?"});
    EXPECT_TRUE(passwords().ends_with(test::crlf({Key, "rcon:admin", Key, "typed"})));
    EXPECT_EQ(properties().PropertiesPort, "12204");
    EXPECT_EQ(properties().LabeledEdit1->text(), "");

    // A buddy's server looked up during a scan reloads it the same way.
    form1().state.Scanning = true;
    form1().ListView2->addItem("Bob", {"Omaha"}, 0);
    form1().ListView2->row(0)->setSelected(true);
    form1().ListView2DblClick();
    EXPECT_EQ(properties().PropertiesPort, "12203");
    EXPECT_EQ(properties().LabeledEdit1->text(), "typed");
    form1().state.Scanning = false;
}

TEST_F(Properties, SetResetAllAndAMissingPasswordFile)
{
    open();
    properties().LabeledEdit1->setText("s2");
    properties().LabeledEdit3->setText("r2");
    QTest::mouseClick(properties().Button2, Qt::LeftButton);
    EXPECT_TRUE(passwords().ends_with(test::crlf({Key, "rcon:r2", Key, "s2"})));

    const std::string kept = passwords();
    dialogs.queueConfirm(false);
    properties().resetallpasswords1->trigger();
    EXPECT_EQ(passwords(), kept);
    dialogs.queueConfirm(true);
    properties().resetallpasswords1->trigger();
    EXPECT_EQ(dialogs.shownTexts().value(1),
              "sure to reset all passwords ?\nthis will take effect on all servers!");
    EXPECT_EQ(passwords(), test::crlf(Header));
    EXPECT_EQ(properties().LabeledEdit1->text(), "");
    EXPECT_EQ(properties().LabeledEdit3->text(), "");

    // Nothing is written and nothing counts as saved, so closing asks again.
    QFile::remove(QString::fromStdString(folder.file("Passwords.txt")));
    properties().LabeledEdit1->setText("s3");
    dialogs.clear();
    QTest::mouseClick(properties().Button2, Qt::LeftButton);
    EXPECT_EQ(dialogs.shownTexts(), QStringList{"File not found"});
    dialogs.queueConfirm(false);
    properties().close();
    EXPECT_EQ(dialogs.shownTexts().value(1), "save changed passwords ?");
    EXPECT_FALSE(folder.exists("Passwords.txt"));
}

TEST_F(Properties, LivePingTimesAndDownForAHostThatStopsAnswering)
{
    desktop.echo->answer({0, 23});
    open();
    EXPECT_EQ(checker().HostName(), "127.0.0.1");
    EXPECT_TRUE(checker().timerActive());
    EXPECT_EQ(checker().timerInterval(), 40); // TimeoutMs
    EXPECT_TRUE(waitPing("23"));
    EXPECT_EQ(pingColour(), QColor(0, 128, 0));
    // Each line is a step left; 23 ms plots navy at 18.
    EXPECT_TRUE(QTest::qWaitFor([&] { return form1().state.PingGraphX < 245; }));
    EXPECT_EQ(graphAt(form1().state.PingGraphX, 18), QColor(0, 0, 128));
    const ScriptedIcmpEcho::Request sent = desktop.echo->requests().front();
    EXPECT_EQ(dottedAddress(sent.address), "127.0.0.1");
    EXPECT_EQ(sent.data.size(), 1u);
    EXPECT_EQ(sent.timeoutMs, 1500);

    desktop.echo->answer({11010, 0});
    EXPECT_TRUE(waitPing("down"));
    EXPECT_EQ(pingColour(), QColor(Qt::black));

    desktop.echo->answer({0, 250});
    EXPECT_TRUE(waitPing("250"));
    EXPECT_EQ(pingColour(), QColor(255, 0, 0));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return graphAt(form1().state.PingGraphX, 14) == QColor(128, 0, 128); }));

    // A double-click clears the graph and starts it again at the right edge.
    checker().setAutoCheck(false);
    EXPECT_TRUE(QTest::qWaitFor([] { return pingWorkers().running() == 0; }));
    const int drawnAt = form1().state.PingGraphX;
    QTest::mouseDClick(properties().PaintBox1, Qt::LeftButton);
    EXPECT_EQ(form1().state.PingGraphX, 250);
    EXPECT_EQ(properties().PaintBox1->penPos(), QPoint(250, form1().state.PingGraphY));
    EXPECT_EQ(graphAt(drawnAt, 14), properties().PaintBox1->palette().color(QPalette::Window));
}

TEST_F(Properties, NothingSelectedPingsNothing)
{
    open("", "");
    EXPECT_TRUE(properties().isVisible());
    EXPECT_FALSE(checker().timerActive());
    QApplication::processEvents();
    EXPECT_TRUE(desktop.echo->requests().empty());
    EXPECT_EQ(properties().LabeledEdit2->text(), "down");
}

// The ping shown is always the host's in view: neither the last host's value
// nor its late reply; a host without an address is down and pinged no more.
TEST_F(Properties, APingShownIsAlwaysTheHostsInView)
{
    form1().state.TimeoutMs = 60000; // one check per showing
    desktop.echo->answerFor("127.0.0.1", {0, 23});
    desktop.echo->answerFor("127.0.0.2", {11010, 0});
    const struct
    {
        const char* what;
        std::string ip;
        QStringList shown;
    } cases[] = {
        {"a silent host", "127.0.0.2", {"", "down"}},
        {"no address: the record has gone", "", {"down"}},
        {"an IP of blanks", " ", {"down"}},
    };
    for (const auto& c : cases) {
        open();
        properties().showAddress("127.0.0.1", 12203);
        ASSERT_TRUE(waitPing("23")) << c.what;
        desktop.echo->hold();
        checker().CheckNow(); // a reply of 127.0.0.1 is late
        ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.echo->waiting() == 1; }));
        const std::size_t asked = desktop.echo->requests().size();
        QStringList shown;
        const auto record = QObject::connect(properties().LabeledEdit2, &QLineEdit::textChanged,
                                             [&](const QString& text) { shown.append(text); });
        open(c.ip, "12203");
        desktop.echo->release();
        EXPECT_TRUE(waitPing("down")) << c.what;
        properties().close();
        EXPECT_TRUE(QTest::qWaitFor([] { return pingWorkers().running() == 0; }));
        QApplication::processEvents();
        QObject::disconnect(record);
        EXPECT_EQ(shown, c.shown) << c.what;
        EXPECT_EQ(properties().Edit1->text().isEmpty(), isBlankHost(c.ip)) << c.what;
        const std::vector<ScriptedIcmpEcho::Request> requests = desktop.echo->requests();
        for (std::size_t i = asked; i < requests.size(); ++i)
            EXPECT_EQ(dottedAddress(requests[i].address), c.ip) << c.what;
    }
}

TEST_F(Properties, ClosingTheWindowOrTheProgramMidPing)
{
    desktop.echo->hold();
    open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.echo->waiting() == 1; }));
    properties().close();
    EXPECT_FALSE(checker().timerActive());
    desktop.echo->releaseOne(); // a ping under way still reports
    EXPECT_TRUE(waitPing("0"));

    open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.echo->waiting() == 1; }));
    properties().LabeledEdit3->setText("typed");
    dialogs.queueConfirm(false);
    form1().close(); // unsaved passwords are not dropped unasked
    EXPECT_EQ(dialogs.shownTexts(), QStringList{"save changed passwords ?"});
    forms.reset();
    desktop.echo->release(); // results of workers whose windows are gone
    EXPECT_TRUE(QTest::qWaitFor([] { return pingWorkers().running() == 0; }));
    QApplication::processEvents();
}

TEST_F(Properties, PingAddressAndVersionFieldsAreFlatInTheFaceColour)
{
    for (const QLineEdit* field : {static_cast<QLineEdit*>(properties().LabeledEdit2), properties().Edit1,
                                   static_cast<QLineEdit*>(properties().LabeledEdit4)}) {
        EXPECT_FALSE(field->hasFrame()) << field->objectName().toStdString();
        EXPECT_EQ(field->palette().color(QPalette::Base), properties().palette().color(QPalette::Window))
            << field->objectName().toStdString();
    }
}

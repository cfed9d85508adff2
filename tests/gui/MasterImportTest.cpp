// The "Import from master" window against stand-in masters on 127.0.0.1:
// what the user sees, the list it writes, and when it leaves the list alone.
#include "fleet/Fleet.h"
#include "support/FormsFixture.h"
#include "support/LoopbackPeer.h"
#include "ui/lists/TForm17.h"
#include "ui/lists/TForm3.h"

#include <QTest>

using namespace korvane;
namespace fl = korvane::fleet;

namespace {

fl::FleetConfig importFleet()
{
    fl::FleetConfig config;
    for (const char* name : {"Alpha", "Bravo"}) {
        config.servers.push_back(fl::makeServer(name, fl::Behaviour::Answer));
        config.servers.back().queryPort = 0;
    }
    config.servers.push_back(fl::makeServer("Bt", fl::Behaviour::Answer));
    config.servers.back().queryPort = 0;
    config.servers.back().game = fl::Game::Breakthrough;
    fl::MasterConfig echo, silent;
    echo.behaviour = fl::MasterBehaviour::Echo;
    silent.behaviour = fl::MasterBehaviour::Silent;
    config.masters = {fl::MasterConfig{}, echo, silent};
    return config;
}

} // namespace

class MasterImport : public test::FormsFixture
{
protected:
    fl::Fleet fleet{importFleet()};
    const std::string closed = "127.0.0.1:" + std::to_string(test::unusedPort(SOCK_STREAM));

    void SetUp() override { fleet.start(); }
    std::string master(int i) const { return "127.0.0.1:" + std::to_string(fleet.masterPorts()[i]); }
    std::string record(int server) const
    {
        const std::string port = std::to_string(fleet.port(server));
        return fleet.config().servers[server].hostName + " (127.0.0.1:" + port + ")\r\n127.0.0.1\r\n" + port +
               "\r\n";
    }
    // Options open, its "import from master" chosen, the masters file naming these.
    TForm17& openImport(const std::vector<std::string>& masters,
                        const std::vector<std::string>& config = test::config())
    {
        writeData({}, config);
        folder.writeLines("Masters.txt", masters);
        start();
        forms->Form3->show();
        forms->Form3->importmaster1->trigger();
        TForm17& window = *forms->Form17;
        window.fetchOptions.idleTimeoutMs = 60000;
        window.resolveOptions.timeoutMs = 2000;
        return window;
    }
    // "import" pressed and the import seen through to its end.
    void importAll(TForm17& window)
    {
        EXPECT_TRUE(window.isVisible() && window.Button1->isEnabled());
        window.Button1->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window.importing(); }, 20000));
    }
};

TEST_F(MasterImport, FillsTheGamesListAndShowsEachMastersResult)
{
    TForm17& window = openImport({master(0), master(1), closed, "not a master"});
    importAll(window);
    EXPECT_EQ(test::columnTexts(window.ListView1, 0),
              (QStringList{QString::fromStdString(master(0)), QString::fromStdString(master(1)),
                           QString::fromStdString(closed), "Masters.txt"}));
    EXPECT_EQ(test::columnTexts(window.ListView1, 1),
              (QStringList{"2 servers", "refused (the master turned you away)",
                           "unreachable (Connection refused)", "'not a master' is not HOST:PORT"}));
    EXPECT_EQ(window.Label2->text(), "Internet AA: 2 servers of 2 listed.");
    EXPECT_EQ(window.ProgressBar1->maximum(), 2) << "the masters' step, then the query ports'";
    EXPECT_EQ(window.ProgressBar1->value(), 2);
    EXPECT_FALSE(window.Label3->isVisible());
    const bool inOrder = fleet.port(0) < fleet.port(1);
    EXPECT_EQ(folder.read("Serverlists/Internet AA"),
              inOrder ? record(0) + record(1) : record(1) + record(0));
    EXPECT_TRUE(test::columnTexts(forms->Form3->ListView1, 0).contains("Internet AA"));
    EXPECT_TRUE(dialogs.shown().isEmpty());

    // Breakthrough: its own list, and the note that connect does not start it.
    window.ComboBox1->setCurrentIndex(2);
    EXPECT_TRUE(window.Label3->isVisible());
    importAll(window);
    EXPECT_EQ(folder.read("Serverlists/Internet BT"), record(2));
}

// The list stays as it was when the import found nothing to put there, and
// while it is the current list and being scanned; else the main window shows
// the current list's new servers.
TEST_F(MasterImport, TheListIsReplacedOnlyWhenItShould)
{
    struct Row
    {
        std::vector<int> masters; // -1: the closed port
        bool scanning;
        const char* label;
        int shown; // rows of the main window: 1 while it is the old list
    };
    const Row rows[] = {
        {{1, -1}, false, "Internet AA left as it was: no master gave a list.", 1},
        {{0}, true, "Internet AA left as it was. It is being scanned; import again after the scan.", 1},
        {{0}, false, "Internet AA: 2 servers of 2 listed.", 2},
    };
    const std::string old = "Old\r\n10.0.0.1\r\n12203\r\n";
    for (const Row& row : rows) {
        std::vector<std::string> masters;
        for (const int m : row.masters)
            masters.push_back(m < 0 ? closed : master(m));
        folder.write("Serverlists/Internet AA", old);
        TForm17& window = openImport(masters, test::config({{2, "Serverlists\\Internet AA"}}));
        window.state().Scanning = row.scanning;
        importAll(window);
        window.state().Scanning = false;
        EXPECT_EQ(window.Label2->text(), row.label);
        EXPECT_EQ(folder.read("Serverlists/Internet AA") == old, row.shown == 1) << row.label;
        EXPECT_EQ(column(2).contains("Old"), row.shown == 1) << row.label;
        EXPECT_EQ(column(0), QStringList(row.shown, "not scanned")) << row.label;
    }
}

// A silent master holds the import; the window stays usable and stop ends it.
TEST_F(MasterImport, StopEndsAnImportWaitingForASilentMaster)
{
    TForm17& window = openImport({master(0), master(2)});
    folder.write("Serverlists/Internet AA", "Old\r\n10.0.0.1\r\n12203\r\n");
    window.Button1->click();
    EXPECT_TRUE(window.importing());
    EXPECT_FALSE(window.Button1->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.ListView1->row(0)->text(1) == "2 servers"; }, 10000));
    EXPECT_EQ(window.ListView1->row(1)->text(1), "asking...");
    ASSERT_TRUE(window.Button2->isEnabled());
    window.Button2->click();
    EXPECT_FALSE(window.importing());
    EXPECT_TRUE(window.Button1->isEnabled());
    EXPECT_EQ(window.Label2->text(), "Stopped; Internet AA left as it was.");
    // Closing the window halts a running import too.
    window.Button1->click();
    window.close();
    EXPECT_FALSE(window.importing());
    EXPECT_EQ(folder.read("Serverlists/Internet AA"), "Old\r\n10.0.0.1\r\n12203\r\n");
}

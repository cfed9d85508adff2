// Selecting a row of the server table queries that server and shows its details.
#include "fleet/Fleet.h"
#include "query/StatusReply.h"
#include "support/FormsFixture.h"
#include "support/LoopbackPeer.h"
#include "ui/admin/TForm11.h"

#include <QDir>

using namespace korvane;
using korvane::test::columnTexts;
using korvane::test::FormsFixture;
namespace fl = korvane::fleet;

namespace {

fl::ServerConfig server(const std::string& name, fl::Behaviour behaviour, int maxClients, int players)
{
    std::vector<std::string> names;
    for (int i = 0; i < players; ++i)
        names.push_back("Player " + std::to_string(i));
    return fl::makeServer(name, behaviour, names, maxClients);
}

QColor textColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText);
}

const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);

} // namespace

class Selection : public FormsFixture
{
protected:
    std::unique_ptr<fl::Fleet> fleet;

    void SetUp() override
    {
        fl::FleetConfig config;
        auto alpha = server("Alpha", fl::Behaviour::Answer, 16, 3);
        alpha.players[2].name = "[XY]Ann with blanks";
        alpha.mapList = {"obj/obj_team1", "obj/obj_team2"};
        alpha.url = "http://www.alpha.example/clan";
        config.servers.push_back(alpha);
        config.servers.push_back(server("Crowded", fl::Behaviour::Full, 8, 2));
        config.servers.push_back(server("Quiet", fl::Behaviour::Silent, 16, 0));
        auto spearhead = server("Beach", fl::Behaviour::Answer, 20, 1);
        spearhead.game = fl::Game::Spearhead;
        spearhead.map = "dm/mp_stadt_dm";
        config.servers.push_back(spearhead);
        config.servers.push_back(server("Broken", fl::Behaviour::BadMax, 16, 2));
        fleet = std::make_unique<fl::Fleet>(config);
        fleet->start();
        writeData();
        folder.write("Serverlists/Standard", fleet->serverListText());
        start();
        form1().state.TimeoutMs = 300;
    }

    // Selects the row whose "Host" is name.
    QTreeWidgetItem* select(const QString& name)
    {
        QTreeWidgetItem* row = form1().ListView3->row(columnTexts(form1().ListView3, 2).indexOf(name));
        form1().ListView3->clearSelection();
        row->setSelected(true);
        return row;
    }
};

TEST_F(Selection, AnsweringServerFillsLabelsRowPlayersAndProperties)
{
    QTreeWidgetItem* row = select("Alpha");
    TForm1& f = form1();
    EXPECT_EQ(f.Label1->text(), "Players: 3/16");
    EXPECT_EQ(textColour(f.Label1), Green);
    EXPECT_EQ(f.Label2->text(), "Map: obj/obj_team2");
    EXPECT_EQ(textColour(f.Label2), Green); // obj_team maps every installation has
    EXPECT_EQ(f.Label3->text(), "Alpha host");
    EXPECT_EQ(f.Label4->text(), "Medal of Honor");
    // The list sorts itself by name.
    EXPECT_EQ(columnTexts(f.ListView1, 0), (QStringList{"[XY]Ann with blanks", "Player 0", "Player 1"}));
    EXPECT_EQ(columnTexts(f.ListView1, 1), (QStringList{"3", "1", "2"}));
    EXPECT_EQ(row->text(0), "3/16");
    EXPECT_EQ(row->text(1), "obj/obj_team2");
    EXPECT_EQ(row->text(2), "Alpha");
    EXPECT_EQ(row->text(3), "Medal of Honor");
    EXPECT_EQ(ListView::image(row), 1);
    EXPECT_EQ(f.ComboBoxEx1->currentText(), "Alpha");
    EXPECT_EQ(f.state.SelectedIP, "127.0.0.1");
    EXPECT_EQ(f.state.SelectedPort, std::to_string(fleet->port(0)));
    EXPECT_EQ(f.state.PingGraphX, 250);

    TForm11& p = *forms->Form11;
    EXPECT_EQ(p.Edit1->text(), QString("127.0.0.1:%1").arg(fleet->port(0)));
    EXPECT_EQ(p.memoLines(),
              (QStringList{"maps in rotation:", "-------------------", "obj/obj_team1", "obj/obj_team2"}));
    EXPECT_TRUE(p.LabeledEdit4->text().contains("Medal of Honor Allied Assault"));
    EXPECT_EQ(p.Legacy1->text(), "www.alpha.example/clan");
    EXPECT_EQ(p.Legacy1->Adress, "http://www.alpha.example/clan");
    EXPECT_EQ(p.PaintBox1->penPos(), QPoint(97, 20));
    // The table stops re-sorting until a scan ends.
    EXPECT_EQ(f.ListView3->sortType(), ListView::SortType::None);
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(Selection, FullServerIsRedWithTheSadFace)
{
    QTreeWidgetItem* row = select("Crowded");
    EXPECT_EQ(form1().Label1->text(), "Players: 8/8");
    EXPECT_EQ(textColour(form1().Label1), Red);
    EXPECT_EQ(row->text(0), "8/8");
    EXPECT_EQ(ListView::image(row), 2);
}

TEST_F(Selection, SilentServerSaysNoResponseAndKeepsItsMap)
{
    select("Alpha");
    QTreeWidgetItem* row = select("Quiet");
    TForm1& f = form1();
    EXPECT_EQ(f.Label1->text(), "");
    EXPECT_EQ(f.Label2->text(), "No response from selected server !");
    EXPECT_EQ(textColour(f.Label2), Red);
    EXPECT_EQ(f.Label3->text(), "");
    EXPECT_EQ(f.Label4->text(), "");
    EXPECT_EQ(f.ListView1->rowCount(), 0);
    EXPECT_EQ(row->text(0), "no response");
    EXPECT_EQ(row->text(1), "");
    EXPECT_EQ(ListView::image(row), 3);
    EXPECT_EQ(f.state.SelectedPort, std::to_string(fleet->port(2)));
    TForm11& p = *forms->Form11;
    EXPECT_EQ(p.Legacy1->text(), "no link available");
    EXPECT_EQ(p.Legacy1->Adress, QString::fromStdString(SupportAddress));
    EXPECT_EQ(p.LabeledEdit4->text(), "");
    EXPECT_EQ(p.memoLines(), (QStringList{"maps in rotation:", "-------------------"}));
}

TEST_F(Selection, SpearheadMapIsGreenOnlyWhenItsFileIsInstalled)
{
    QTreeWidgetItem* row = select("Beach");
    EXPECT_EQ(form1().Label4->text(), "Spearhead");
    EXPECT_EQ(row->text(3), "Spearhead");
    EXPECT_EQ(textColour(form1().Label2), Red);

    QDir(folder.path()).mkpath("game/main");
    folder.write("game/main/MP_STADT_DM.pk3", "");
    form1().state.AAPath = folder.file("game/MOHAA.exe");
    select("Beach");
    EXPECT_EQ(textColour(form1().Label2), Green);
}

TEST_F(Selection, BadMaximumReportsTheErrorAndKeepsWhatWasShown)
{
    QTreeWidgetItem* row = select("Broken");
    EXPECT_EQ(dialogs.shownTexts(), QStringList{"'lots' is not a valid integer value"});
    EXPECT_EQ(form1().Label1->text(), "Players: 2/lots");
    EXPECT_EQ(row->text(0), "2/lots");
    EXPECT_EQ(ListView::image(row), 0);
    EXPECT_EQ(form1().ListView1->rowCount(), 2);
}

TEST_F(Selection, NameMissingFromTheListIsNoResponseAndPortLessAddress)
{
    folder.write("Serverlists/Standard", "");
    QTreeWidgetItem* row = select("Alpha");
    EXPECT_EQ(row->text(0), "no response");
    EXPECT_EQ(form1().state.SelectedIP, "");
    EXPECT_EQ(form1().state.SelectedPort, "");

    folder.write("Serverlists/Standard", "Alpha\r\n127.0.0.1\r\nabc\r\n");
    forms->Form11->Edit1->setText("before");
    select("Crowded");
    select("Alpha");
    EXPECT_EQ(form1().state.SelectedPort, "abc");
    EXPECT_EQ(forms->Form11->Edit1->text(), "before"); // set only for a numeric port

    QFile::remove(QString::fromStdString(folder.file("Serverlists/Standard")));
    dialogs.clear();
    select("Crowded");
    EXPECT_EQ(dialogs.shownTexts(), QStringList{"File not found"});
}

TEST_F(Selection, OpenPropertiesWindowIsRefreshedForTheNewServer)
{
    forms->Form11->show();
    select("Alpha");
    EXPECT_TRUE(forms->Form11->isVisible());
    EXPECT_EQ(forms->Form11->Edit1->text(), QString("127.0.0.1:%1").arg(fleet->port(0)));
}

TEST_F(Selection, TheHostNameEndsAtTheFirstLineBreak)
{
    test::LoopbackPeer last(test::LoopbackPeer::always("\xFF\xFF\xFF\xFF\x01statusResponse\n"
                                                       "\\mapname\\obj/obj_team2\\sv_maxclients\\16"
                                                       "\\sv_hostname\\Zulu Clan\n1 50 \"Ann\"\n"));
    folder.write("Serverlists/Standard", "Zulu\r\n127.0.0.1\r\n" + last.portText() + "\r\n");
    start();
    select("Zulu");
    EXPECT_EQ(form1().Label3->text(), "Zulu Clan");
}

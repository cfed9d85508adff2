// Main window: details of the selected server.
#include "ui/main/TForm1.h"

#include "admin/PingGraph.h"
#include "app/ServerListFile.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/gui/Desktop.h"
#include "query/StatusQuery.h"
#include "query/StatusReply.h"
#include "ui/admin/TForm11.h"
#include "ui/main/Forms.h"
#include "ui/widgets/Look.h"

namespace korvane {

void TForm1::ListView3SelectItem()
{
    QTreeWidgetItem* row = ListView3->selectedRow();
    if (!row) return;
    TForm11& properties = *forms().Form11;
    properties.restartGraph(GraphRight);
    properties.startMapList();

    const QString name = row->text(HostColumn);
    ComboBoxEx1->setEditText(name);
    const ServerAddress address = lookupServer(currentListPath(state.CurrentList), toBytes(name));

    state.SelectedIP = address.ip;
    state.SelectedPort = address.port;
    if (const auto port = tryStrToInt(address.port)) properties.showAddress(address.ip, *port);
    const std::string reply = QueryStatus(IdUDPClient1, address.ip, address.port, true, state.TimeoutMs);

    if (properties.isVisible()) {
        properties.hide();
        properties.show();
        activateWindow();
    }
    // The row may have gone while the exchange waited (a list reload).
    if (ListView3->rowIndex(row) < 0) return;
    if (isSelectionAnswer(reply)) {
        ListView3->setSortType(ListView::SortType::None);
        showServerAnswer(prepareSelectionReply(reply), row);
    } else {
        showNoAnswer(row);
    }
}

void TForm1::showServerAnswer(const std::string& reply, QTreeWidgetItem* row)
{
    TForm11& properties = *forms().Form11;
    const std::string game = DetectGame(reply);
    Label4->setText(toQString(game));
    if (row)
        row->setText(GameColumn, toQString(game));
    else
        properties.startMapList();
    properties.showReplyFacts(replyFacts(reply));
    Label3->setText(toQString(hostNameOf(reply)));
    const std::string map = ExtractValue(reply, KeyMapName);
    Label2->setText(QStringLiteral("Map: ") + toQString(map));
    if (row) row->setText(MapColumn, toQString(map));
    setTextColour(Label2, mapInstalled(map, state.AAPath) ? Green : Red);
    const std::string maximum = ExtractValue(reply, KeyMaxClients);
    const std::vector<PlayerEntry> players = ParsePlayers(reply);
    ListView1->clear();
    for (const PlayerEntry& player : players)
        ListView1->addItem(toQString(player.name), {toQString(player.firstField)}, 0);
    Label1->setText(toQString(playerCountText(players.size(), maximum)));
    if (row) {
        row->setText(PlayersColumn, QString::number(players.size()) + QLatin1Char('/') + toQString(maximum));
        ListView3->scrollToItem(row);
        ListView3->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
    }
    // A maximum that is not a number stops here with the error; the rest stays as set.
    if (isFull(players.size(), maximum)) {
        setTextColour(Label1, Red);
        if (row) ListView3->setImage(row, ImageFull);
    } else {
        if (row) ListView3->setImage(row, ImageAnswered);
        setTextColour(Label1, Green);
    }
}

void TForm1::showNoAnswer(QTreeWidgetItem* row)
{
    TForm11& properties = *forms().Form11;
    Label1->clear();
    Label2->setText(QStringLiteral("No response from selected server !"));
    if (row) {
        ListView3->setImage(row, ImageNoResponse);
        row->setText(PlayersColumn, QStringLiteral("no response"));
    }
    properties.showNoLink();
    ListView1->clear();
    setTextColour(Label2, Red);
    Label3->clear();
    Label4->clear();
    if (row) properties.clearVersion();
}

void TForm1::makeHostChecker()
{
    HostChecker1 = std::make_unique<THostChecker>(desktop().icmpEcho());
    HostChecker1->LogID = "Link checker";
    HostChecker1->setAutoCheck(false);
    HostChecker1->setAutoCheckPeriod(500);
    HostChecker1->setPingCount(1);
    HostChecker1->setPingSize(1);
    HostChecker1->setTTL(64);
    HostChecker1->setPingTimeOut(1500);
    HostChecker1->setHostName("localhost");
    HostChecker1->PingMode = THostChecker_PingMode::hpmSimultaneous;
    HostChecker1->OnLog = [this](THostChecker&, const std::string&, std::string& msg, std::uint8_t&,
                                 TLogStatus&) { runReported(dialogs(), [&] { HostChecker1Log(msg); }); };
}

void TForm1::HostChecker1Log(const std::string& msg)
{
    forms().Form11->showPingLogLine(msg);
}

} // namespace korvane

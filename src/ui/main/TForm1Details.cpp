// Main window: details of the selected server.
#include "ui/main/TForm1.h"

#include "admin/TForm11.h"
#include "app/ServerListFile.h"
#include "platform/Convert.h"
#include "query/StatusQuery.h"
#include "query/StatusReply.h"
#include "ui/main/Forms.h"
#include "ui/main/MainWindowExtras.h"

namespace korvane {

namespace {

const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);

QString text(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void startMapList(TForm11& properties)
{
    properties.Memo1->clear();
    properties.addMemoLine(QStringLiteral("maps in rotation:"));
    properties.addMemoLine(QStringLiteral("-------------------"));
}

} // namespace

void TForm1::ListView3SelectItem()
{
    QTreeWidgetItem* row = ListView3->selectedRow();
    if (!row) return;
    TForm11& properties = *forms().Form11;
    properties.PaintBox1->clear();
    properties.PaintBox1->moveTo(97, 20);
    startMapList(properties);
    state.PingGraphX = 250;

    const QString name = ListView::subItem(row, 1);
    ComboBoxEx1->setEditText(name);
    const ServerAddress address =
        lookupServer(currentListPath(state.CurrentList), name.toLatin1().toStdString());

    state.SelectedIP = address.ip;
    state.SelectedPort = address.port;
    if (const auto port = tryStrToInt(address.port))
        properties.Edit1->setText(text(address.ip) + QLatin1Char(':') + QString::number(*port));
    const std::string reply =
        QueryStatus(extras->IdUDPClient1, address.ip, address.port, true, state.TimeoutMs);

    if (properties.isVisible()) {
        properties.hide();
        properties.show();
        activateWindow();
    }
    // The row may have gone while the exchange waited (a list reload).
    if (ListView3->rowIndex(row) < 0) return;
    if (IsSelectionAnswer(reply)) {
        ListView3->setSortType(ListView::SortType::None);
        showServerAnswer(PrepareSelectionReply(reply), row);
    } else {
        showNoAnswer(row);
    }
}

void TForm1::showServerAnswer(const std::string& reply, QTreeWidgetItem* row)
{
    TForm11& properties = *forms().Form11;
    const std::string game = DetectGame(reply);
    Label4->setText(text(game));
    if (row)
        row->setText(3, text(game));
    else
        startMapList(properties);
    for (const std::string& map : MapRotation(reply))
        properties.addMemoLine(text(map));
    properties.LabeledEdit4->setText(text(ExtractValue(reply, KeyVersion)));
    const ServerLink link = LinkOf(reply);
    properties.Legacy1->setText(text(link.caption));
    properties.Legacy1->Adress = text(link.address);
    Label3->setText(text(ExtractValue(reply, KeyHostName)));
    const std::string map = ExtractValue(reply, KeyMapName);
    Label2->setText(QStringLiteral("Map: ") + text(map));
    if (row) row->setText(1, text(map));
    setTextColour(Label2, MapInstalled(map, state.AAPath) ? Green : Red);
    const std::string maximum = ExtractValue(reply, KeyMaxClients);
    const std::vector<PlayerEntry> players = ParsePlayers(reply);
    ListView1->clear();
    for (const PlayerEntry& player : players)
        ListView1->addItem(text(player.name), {text(player.firstField)}, 0);
    Label1->setText(text(PlayerCountText(players.size(), maximum)));
    if (row) {
        row->setText(0, QString::number(players.size()) + QLatin1Char('/') + text(maximum));
        ListView3->scrollToItem(row);
        ListView3->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
    }
    // A maximum that is not a number stops here with the error; the rest stays as set.
    if (IsFull(players.size(), maximum)) {
        setTextColour(Label1, Red);
        if (row) ListView3->setImage(row, 2);
    } else {
        if (row) ListView3->setImage(row, 1);
        setTextColour(Label1, Green);
    }
}

void TForm1::showNoAnswer(QTreeWidgetItem* row)
{
    TForm11& properties = *forms().Form11;
    Label1->clear();
    Label2->setText(QStringLiteral("No response from selected server !"));
    if (row) {
        ListView3->setImage(row, 3);
        row->setText(0, QStringLiteral("no response"));
    }
    properties.Legacy1->setText(text(NoLinkCaption));
    properties.Legacy1->Adress = text(SupportAddress);
    ListView1->clear();
    setTextColour(Label2, Red);
    Label3->clear();
    Label4->clear();
    if (row) properties.LabeledEdit4->clear();
}

} // namespace korvane

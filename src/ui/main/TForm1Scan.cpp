// Main window: scan control, buddies list and player look-ups.
#include "ui/main/TForm1.h"

#include "admin/PingGraph.h"
#include "app/ServerListFile.h"
#include "platform/Charset.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/gui/ErrorReport.h"
#include "query/StatusQuery.h"
#include "query/StatusReply.h"
#include "scan/WatchLists.h"
#include "ui/admin/TForm11.h"
#include "ui/admin/TForm9.h"
#include "ui/main/Forms.h"
#include "ui/main/WindowScanView.h"
#include "ui/watch/TForm2.h"

namespace korvane {

void TForm1::ToolButton3Click()
{
    if (state.Scanning) return;
    ListView3->setSortType(ListView::SortType::None);
    ToolButton3->hide();
    ToolButton9->show();
    ProgressBar1->setMinimum(0);
    ProgressBar1->show();
    ProgressBar1->setMaximum(ComboBoxEx1->count());
    ListView2->clear();
    state.Scanning = true;
    auto control = std::make_shared<ScanControl>();
    state.ScanThread = ScanRun::start(control, makeWindowScanView(*this, control));
}

void TForm1::ToolButton9Click()
{
    showScanEnded();
    if (state.ScanThread) state.ScanThread->halt();
    ListView3->setSortType(ListView::SortType::Text);
    if (ListView3->rowCount() >= 2) ListView3->scrollToItem(ListView3->row(1));
    ListView3->sortNow();
    setStatusText(QString::number(ListView3->rowCount()) + QStringLiteral(" servers in ") +
                  fileNameText(state.CurrentList));
}

void TForm1::Timer1Timer()
{
    if (!state.Scanning) ToolButton3Click();
}

void TForm1::ListView2DblClick()
{
    const QTreeWidgetItem* entry = ListView2->selectedRow();
    if (!entry) return;
    const QString server = ListView::subItem(entry, 0);

    if (!state.Scanning) {
        ListView3->setSortType(ListView::SortType::Text);
        showServerNamed(server);
        return;
    }

    // During a scan: ask the server directly, leaving the table to the worker.
    TForm11& properties = *forms().Form11;
    properties.restartGraph(GraphRestartPenX);
    const ServerAddress address = lookupServer(currentListPath(state.CurrentList), toBytes(server));
    const std::string reply =
        queryStatusLookup(IdUDPClient1, address.ip, address.port, state.TimeoutMs, [&](int port) {
            state.SelectedIP = address.ip;
            state.SelectedPort = address.port;
            properties.showAddress(address.ip, port);
        });
    if (properties.isVisible()) {
        properties.hide();
        properties.show();
        activateWindow();
    }
    if (isLookupAnswer(reply))
        showServerAnswer(reply, nullptr);
    else
        showNoAnswer(nullptr);
}

void TForm1::AddtoBuddys1Click()
{
    const QTreeWidgetItem* player = ListView1->selectedRow();
    if (!player) return;
    const QString name = ListView::caption(player);
    setStatusText(QStringLiteral("Adding ") + name + QStringLiteral(" to Buddylist"));
    appendFileLines(dataPath(BuddyFileName), {toBytes(name)});
    setStatusText(QStringLiteral("Done!"));
    forms().Form2->FormCreate();
}

void TForm1::alertNewBuddies()
{
    std::vector<FoundBuddy> found;
    for (int i = 0; i < ListView2->rowCount(); ++i) {
        const QTreeWidgetItem* item = ListView2->row(i);
        found.push_back({toBytes(ListView::caption(item)), toBytes(ListView::subItem(item, 0))});
    }
    const bool away = isMinimized() || !isVisible();
    const std::optional<BuddyAlert> alert = m_buddyWatch.scanEnded(found, away, state.BuddyAlerts);
    if (!alert) return;
    Systray1->notify(toQString(alert->title), toQString(alert->text),
                     [this, server = toQString(alert->server)] {
                         runReported(dialogs(), [&] { showNotifiedServer(server); });
                     });
}

void TForm1::showNotifiedServer(const QString& server)
{
    Systray1->restoreApplication();
    showServerNamed(server);
}

void TForm1::showServerNamed(const QString& server)
{
    for (int i = 0; i < ListView3->rowCount(); ++i) {
        QTreeWidgetItem* row = ListView3->row(i);
        if (row->text(HostColumn) != server) continue;
        showServerRow(row);
        return;
    }
}

void TForm1::FormClose()
{
    // Halted, never waited for: the worker gives up its trips to this window.
    if (state.Scanning && state.ScanThread) state.ScanThread->halt();
    // Passwords typed into the properties window are not dropped unasked.
    if (forms().Form11->isVisible()) forms().Form11->close();
    // The console's wait for a reply ends with it, rather than keeping the
    // program, its windows shown, until the wait's time-out.
    if (forms().Form9->isVisible()) forms().Form9->hide();
}

} // namespace korvane

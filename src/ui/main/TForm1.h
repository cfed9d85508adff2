#pragma once
// Main window: tool bar, banner, server details, players, buddies online, the
// server table of the current list, progress bar and status bar.

#include "app/AppState.h"
#include "net/THostChecker.h"
#include "platform/UdpClient.h"
#include "scan/BuddyAlerts.h"
#include "scan/ScanView.h"
#include "ui/main/TSystray.h"
#include "ui/widgets/FormBase.h"
#include "ui/widgets/ListView.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <optional>

namespace korvane {

// Columns of the server table (ListView3); its icons are the scan's ScanImage.
enum ServerColumn : int { PlayersColumn = 0, MapColumn = 1, HostColumn = 2, GameColumn = 3 };

class TForm1 : public FormBase
{
public:
    explicit TForm1(Forms& forms);
    ~TForm1() override;

    // The program's state, shared by every window.
    AppState& state;

    // Tool bar
    QWidget* ToolBar1;
    QComboBox* ComboBoxEx1;
    QToolButton* ToolButton3; // "scan now "
    QToolButton* ToolButton9; // "stop scan"
    QToolButton* ToolButton6; // "search"
    QToolButton* ToolButton7; // "r-con"
    QToolButton* ToolButton1; // "connect"
    QToolButton* ToolButton2; // "buddys"
    QToolButton* ToolButton5; // "clantags"
    QToolButton* ToolButton4; // "options"

    // Banner
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;
    QLabel* Image4;

    // Selected server description
    QFrame* Panel5;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;

    QFrame* Panel2;
    ListView* ListView1; // players on the selected server
    QFrame* Panel3;
    ListView* ListView2; // buddies online
    QFrame* Panel4;
    ListView* ListView3; // server table

    QProgressBar* ProgressBar1;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;

    QTimer* Timer1;

    QList<QIcon> ImageList1;
    QList<QIcon> ImageList2;
    QList<QIcon> ImageList5;

    QMenu* PopupMenu1;
    QAction* AddtoBuddys1;
    QAction* Connectwithserver1;
    QMenu* PopupMenu4;
    QAction* rcon2;
    QAction* properties1;
    QAction* addserver1;
    QAction* deleteserver1;
    QAction* searchserver1;
    QAction* connect1;
    QAction* refresh1;
    QMenu* PopupMenu5;
    QAction* exit1;
    QAction* options2;
    QAction* refresh2;

    // Components
    std::unique_ptr<TSystray> Systray1; // made once the popup menu exists
    // Status queries of the UI thread (selection, player look-up); the scan
    // worker opens sockets of its own.
    UdpClient IdUDPClient1;
    // Pings the server of the properties window.
    std::unique_ptr<THostChecker> HostChecker1;

    // Shows a server's answer in the labels, the players list and the
    // properties window. With a row (the selection) the row takes the result;
    // without one (the look-up during a scan) the table is left alone and the
    // map list starts afresh once the game is known.
    void showServerAnswer(const std::string& reply, QTreeWidgetItem* row);
    void showNoAnswer(QTreeWidgetItem* row);

    // The current list's changes made from this window, kept in step with the file.
    // A server appended to the file: its name in the server box, a "not scanned" row.
    QTreeWidgetItem* addServerRow(const std::string& name);
    // Run after every change of the current list file made from here.
    void currentListChanged();

    void setStatusText(const QString& text);
    QString statusText() const;

    // What the list windows change here when the current list changes.
    // The server box, the table, both player lists and the labels emptied.
    void clearServerViews();
    QTreeWidgetItem* addNotScannedRow(const QString& name);
    void addNotScannedRows(const QStringList& names);
    // The names into the server box and as "not scanned" rows into the table.
    void addServers(const QStringList& names);
    // The box refilled with the names and showing text; the table left alone.
    void setServerBox(const std::vector<std::string>& names, const QString& text);
    // The table emptied and refilled with a "not scanned" row per name in the server box.
    void refillTableFromBox();
    // A newly selected list into the box and the table, with the progress bar.
    void loadList(const std::vector<std::string>& names, const QString& listName);
    // "12 servers in Serverlists\Standard".
    void showServerCount();

    // The server table as the search and quick add windows use it.
    int serverRowCount() const { return ListView3->rowCount(); }
    // Nothing for a row that is gone.
    std::optional<QString> serverText(int row, ServerColumn column) const;
    // The row selected anew, so the selection handler runs even for the row
    // selected already; then, if the handler left it in the table, scrolled
    // into view and made current.
    void showServerRow(QTreeWidgetItem* row);
    void showServerRow(int row) { showServerRow(ListView3->row(row)); }
    // The first row of that server name shown as showServerRow does; nothing when none has it.
    void showServerNamed(const QString& server);
    void focusServerTable() { ListView3->setFocus(); }

    // Scans started by the timer.
    bool autoScan() const { return Timer1->isActive(); }
    void setAutoScan(bool on);
    // No scan running: progress hidden, "scan now " back in place of "stop scan".
    void showScanEnded();
    // A complete pass has ended: a notification of the buddies new since the
    // last one while the window is out of sight.
    void alertNewBuddies();
    // The window brought forward with the server's row selected.
    void showNotifiedServer(const QString& server);

    // Handlers
    void FormCreate();
    void FormClose();
    void ListView3SelectItem();
    void ToolButton3Click();
    void ToolButton9Click();
    void Timer1Timer();
    void ToolButton1Click();
    void ListView2DblClick();
    void AddtoBuddys1Click();
    void ListView1DblClick();
    void ToolButton6Click();
    void searchserver1Click();
    void ToolButton7Click();
    void rcon2Click();
    void ToolButton2Click();
    void ToolButton5Click();
    void ToolButton4Click();
    void options2Click();
    void Connectwithserver1Click();
    void connect1Click();
    void refresh1Click();
    void refresh2Click();
    void properties1Click();
    void addserver1Click();
    void deleteserver1Click();
    void exit1Click();
    void HostChecker1Log(const std::string& msg);

protected:
    void FormShow() override;
    void closeEvent(QCloseEvent* event) override;

private:
    BuddyWatch m_buddyWatch;

    void buildControls();
    void connectHandlers();
    void loadArtwork();
    void makeHostChecker();
};

} // namespace korvane

// Main window: layout, start-up, close and the small handlers that open
// other windows or repeat a button.
#include "ui/main/TForm1.h"

#include "admin/PingGraph.h"
#include "app/AlertSetting.h"
#include "app/ServerListFile.h"
#include "app/SettingsFile.h"
#include "platform/Charset.h"
#include "platform/TextFile.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/JpegImage.h"
#include "ui/admin/TForm11.h"
#include "ui/admin/TForm9.h"
#include "ui/lists/TForm13.h"
#include "ui/lists/TForm3.h"
#include "ui/lists/TForm6.h"
#include "ui/main/Forms.h"
#include "ui/watch/TForm2.h"
#include "ui/watch/TForm4.h"
#include "ui/widgets/Furniture.h"
#include "ui/widgets/Look.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPixmap>
#include <QStringListModel>

namespace korvane {

namespace {

QLabel* label(QWidget* parent, const QString& name, const QRect& geometry, bool bold, const QColor& colour)
{
    auto* result = place<QLabel>(parent, name, geometry);
    result->setFont(tahoma(bold));
    result->setAttribute(Qt::WA_TranslucentBackground);
    setTextColour(result, colour);
    return result;
}

} // namespace

TForm1::TForm1(Forms& forms)
    : FormBase(forms, QStringLiteral("TForm1"), QStringLiteral("Korvane 1.11")), state(forms.state)
{
    forms.Form1 = this;
    buildControls();
    connectHandlers();
    makeHostChecker();
    Systray1 = std::make_unique<TSystray>(this, QStringLiteral("Korvane 1.11"), PopupMenu5,
                                          desktop().makeTrayIcon());
    runReported(dialogs(), [this] { FormCreate(); });
}

TForm1::~TForm1()
{
    // A scan still running stops before its window goes: the worker reads the
    // window's state and carries its changes here.
    state.ScanThread.reset();
}

void TForm1::buildControls()
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(msSansSerif());
    setClientSize(678, 578);

    // Tool bar: hidden buttons take no room, as the two scan buttons take turns.
    ToolBar1 = place<QWidget>(this, QStringLiteral("ToolBar1"), QRect(0, 0, 678, 25));
    ToolBar1->setFont(tahoma());
    auto* bar = new QHBoxLayout(ToolBar1);
    bar->setContentsMargins(0, 2, 0, 2);
    bar->setSpacing(0);
    ComboBoxEx1 = new QComboBox(ToolBar1);
    ComboBoxEx1->setObjectName(QStringLiteral("ComboBoxEx1"));
    ComboBoxEx1->setEditable(true);
    // Names only: a list of plain texts takes a tenth of the memory of the
    // default item model, which matters with 100,000 servers.
    ComboBoxEx1->setModel(new QStringListModel(ComboBoxEx1));
    ComboBoxEx1->setAccessibleName(QStringLiteral("server box"));
    ComboBoxEx1->hide();
    bar->addWidget(ComboBoxEx1);
    auto button = [this](const QString& name, const QString& caption, const QString& hint) {
        return addToolButton(ToolBar1, name, caption, hint, caption.trimmed(), QSize(55, 21));
    };
    ToolButton3 = button(QStringLiteral("ToolButton3"), QStringLiteral("scan now "),
                         QStringLiteral("Scans all servers in serverlists"));
    ToolButton9 = button(QStringLiteral("ToolButton9"), QStringLiteral("stop scan"), QString());
    ToolButton9->hide();
    ToolButton6 = button(QStringLiteral("ToolButton6"), QStringLiteral("search"),
                         QStringLiteral("search list servers / maps"));
    ToolButton7 = button(QStringLiteral("ToolButton7"), QStringLiteral("r-con"),
                         QStringLiteral("starts remote console"));
    ToolButton1 = button(QStringLiteral("ToolButton1"), QStringLiteral("connect"),
                         QStringLiteral("connect with server"));
    ToolButton2 =
        button(QStringLiteral("ToolButton2"), QStringLiteral("buddys"), QStringLiteral("Add buddys"));
    ToolButton5 =
        button(QStringLiteral("ToolButton5"), QStringLiteral("clantags"), QStringLiteral("Add clantags"));
    ToolButton4 = button(QStringLiteral("ToolButton4"), QStringLiteral("options"), QString());
    bar->addStretch(1);

    // Banner: four pictures in one place, at most one visible.
    QLabel** banners[] = {&Image1, &Image2, &Image3, &Image4};
    for (int i = 0; i < 4; ++i) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image->setGeometry(5, 24, 668, 65);
        image->hide();
        *banners[i] = image;
    }

    Panel5 = makePanel(this, QStringLiteral("Panel5"), QRect(4, 87, 669, 41));
    Label1 = label(Panel5, QStringLiteral("Label1"), QRect(3, 0, 560, 14), true, Green);
    Label2 = label(Panel5, QStringLiteral("Label2"), QRect(4, 13, 655, 14), true, Navy);
    Label3 = label(Panel5, QStringLiteral("Label3"), QRect(4, 26, 659, 14), false, Navy);
    Label4 = label(Panel5, QStringLiteral("Label4"), QRect(576, 0, 89, 14), true, Qt::black);
    Label4->setAlignment(Qt::AlignRight | Qt::AlignTop);

    auto list = [&](QFrame* parent, const QString& name, const QString& hint, const QString& accessible) {
        auto* view = place<ListView>(parent, name, QRect(0, 0, parent->width(), parent->height()));
        view->setToolTip(hint);
        view->setAccessibleName(accessible);
        view->setFont(tahoma());
        setColour(view, QPalette::Base, Silver);
        return view;
    };

    Panel2 = makePanel(this, QStringLiteral("Panel2"), QRect(4, 128, 332, 233));
    ListView1 =
        list(Panel2, QStringLiteral("ListView1"),
             QStringLiteral("Rightclick will move selected player to the buddylist / Doubleclick connects "
                            "with server"),
             QStringLiteral("Players on server"));
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QString(), QStringLiteral("Ping")});
    ListView1->setColumnWidth(0, 275);
    ListView1->setColumnWidth(1, 35);
    ListView1->sizeFirstColumnToList();
    ListView1->setHotTrack(true);
    ListView1->setSortType(ListView::SortType::Text);

    Panel3 = makePanel(this, QStringLiteral("Panel3"), QRect(341, 128, 332, 233));
    ListView2 =
        list(Panel3, QStringLiteral("ListView2"), QStringLiteral("doubleclick on player to scan his server"),
             QStringLiteral("Buddys online"));
    ListView2->setColumnCount(2);
    ListView2->setHeaderLabels({QString(), QStringLiteral("Host")});
    ListView2->setColumnWidth(0, 210);
    ListView2->setColumnWidth(1, 100);
    ListView2->sizeFirstColumnToList();
    ListView2->setSortType(ListView::SortType::Text);

    Panel4 = makePanel(this, QStringLiteral("Panel4"), QRect(4, 360, 669, 185));
    ListView3 = list(Panel4, QStringLiteral("ListView3"), QStringLiteral("rightclick for options"),
                     QStringLiteral("Server table"));
    ListView3->setColumnCount(4);
    ListView3->setHeaderLabels(
        {QStringLiteral("Player"), QStringLiteral("Map"), QStringLiteral("Host"), QStringLiteral("Game")});
    ListView3->setColumnWidth(PlayersColumn, 90);
    ListView3->setColumnWidth(MapColumn, 150);
    ListView3->setColumnWidth(HostColumn, 315);
    ListView3->setColumnWidth(GameColumn, 90);
    ListView3->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView3->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView3->setSortType(ListView::SortType::Text);

    ProgressBar1 = place<QProgressBar>(this, QStringLiteral("ProgressBar1"), QRect(4, 544, 669, 15));
    ProgressBar1->setAccessibleName(QStringLiteral("scan progress"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->hide();

    StatusBar1 = place<QStatusBar>(this, QStringLiteral("StatusBar1"), QRect(0, 578 - 19, 678, 19));
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusBar1->addWidget(StatusPanel0, 1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(125000);

    PopupMenu1 = makeMenu(this, QStringLiteral("PopupMenu1"));
    AddtoBuddys1 = menuItem(PopupMenu1, QStringLiteral("AddtoBuddys1"), QStringLiteral("Add to Buddys"));
    Connectwithserver1 =
        menuItem(PopupMenu1, QStringLiteral("Connectwithserver1"), QStringLiteral("Connect with server"));
    PopupMenu4 = makeMenu(this, QStringLiteral("PopupMenu4"));
    rcon2 = menuItem(PopupMenu4, QStringLiteral("rcon2"), QStringLiteral("rcon"));
    properties1 = menuItem(PopupMenu4, QStringLiteral("properties1"), QStringLiteral("properties"));
    addserver1 = menuItem(PopupMenu4, QStringLiteral("addserver1"), QStringLiteral("add server"));
    deleteserver1 = menuItem(PopupMenu4, QStringLiteral("deleteserver1"), QStringLiteral("delete server"));
    searchserver1 = menuItem(PopupMenu4, QStringLiteral("searchserver1"), QStringLiteral("search"));
    connect1 = menuItem(PopupMenu4, QStringLiteral("connect1"), QStringLiteral("connect"));
    refresh1 = menuItem(PopupMenu4, QStringLiteral("refresh1"), QStringLiteral("scan now"));
    PopupMenu5 = makeMenu(this, QStringLiteral("PopupMenu5"));
    exit1 = menuItem(PopupMenu5, QStringLiteral("exit1"), QStringLiteral("exit"));
    options2 = menuItem(PopupMenu5, QStringLiteral("options2"), QStringLiteral("options"));
    refresh2 = menuItem(PopupMenu5, QStringLiteral("refresh2"), QStringLiteral("scan now"));

    loadArtwork();
}

void TForm1::loadArtwork()
{
    QLabel* banners[] = {Image1, Image2, Image3, Image4};
    for (int i = 0; i < 4; ++i)
        banners[i]->setPixmap(QPixmap::fromImage(loadJpeg(QStringLiteral(":/art/banner%1.jpg").arg(i))));
    auto icon = [](const char* name) {
        return QIcon(QStringLiteral(":/art/%1.png").arg(QLatin1String(name)));
    };
    // In ScanImage order: new, answered, full, no response.
    ImageList5 = {icon("icon-warning"), icon("icon-grin"), icon("icon-sad"), icon("icon-thumbsdown")};
    ImageList2 = {icon("icon-medal"), icon("icon-sunglasses")};
    ImageList1 = {icon("icon-sunglasses")};
    ListView3->setImages(ImageList5);
    ListView1->setImages(ImageList2);
    ListView2->setImages(ImageList1);
    setWindowIcon(QIcon(QStringLiteral(":/art/korvane-48.png")));
}

void TForm1::connectHandlers()
{
    connectHandler(ToolButton3, &QToolButton::clicked, this, &TForm1::ToolButton3Click);
    connectHandler(ToolButton9, &QToolButton::clicked, this, &TForm1::ToolButton9Click);
    connectHandler(ToolButton6, &QToolButton::clicked, this, &TForm1::ToolButton6Click);
    connectHandler(ToolButton7, &QToolButton::clicked, this, &TForm1::ToolButton7Click);
    connectHandler(ToolButton1, &QToolButton::clicked, this, &TForm1::ToolButton1Click);
    connectHandler(ToolButton2, &QToolButton::clicked, this, &TForm1::ToolButton2Click);
    connectHandler(ToolButton5, &QToolButton::clicked, this, &TForm1::ToolButton5Click);
    connectHandler(ToolButton4, &QToolButton::clicked, this, &TForm1::ToolButton4Click);
    connectHandler(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);

    connectHandler(ListView3, &QTreeWidget::itemSelectionChanged, this, &TForm1::ListView3SelectItem);
    connectHandler(ListView1, &ListView::doubleClickedAnywhere, this, &TForm1::ListView1DblClick);
    connectHandler(ListView3, &ListView::doubleClickedAnywhere, this, &TForm1::ListView1DblClick);
    connectHandler(ListView2, &ListView::doubleClickedAnywhere, this, &TForm1::ListView2DblClick);

    connectHandler(AddtoBuddys1, &QAction::triggered, this, &TForm1::AddtoBuddys1Click);
    connectHandler(Connectwithserver1, &QAction::triggered, this, &TForm1::Connectwithserver1Click);
    connectHandler(rcon2, &QAction::triggered, this, &TForm1::rcon2Click);
    connectHandler(properties1, &QAction::triggered, this, &TForm1::properties1Click);
    connectHandler(addserver1, &QAction::triggered, this, &TForm1::addserver1Click);
    connectHandler(deleteserver1, &QAction::triggered, this, &TForm1::deleteserver1Click);
    connectHandler(searchserver1, &QAction::triggered, this, &TForm1::searchserver1Click);
    connectHandler(connect1, &QAction::triggered, this, &TForm1::connect1Click);
    connectHandler(refresh1, &QAction::triggered, this, &TForm1::refresh1Click);
    connectHandler(exit1, &QAction::triggered, this, &TForm1::exit1Click);
    connectHandler(options2, &QAction::triggered, this, &TForm1::options2Click);
    connectHandler(refresh2, &QAction::triggered, this, &TForm1::refresh2Click);

    attachPopup(ListView1, PopupMenu1);
    attachPopup(ListView3, PopupMenu4);
}

void TForm1::setStatusText(const QString& text)
{
    StatusPanel0->setText(text);
}

QString TForm1::statusText() const
{
    return StatusPanel0->text();
}

void TForm1::FormCreate()
{
    state.PingGraphX = GraphRight;
    state.PingGraphY = 11;
    state.Scanning = false;
    state.FirstShow = true;
    ProgressBar1->setTextVisible(false);
    ComboBoxEx1->setEditText(QStringLiteral("select a server"));
    ListView2->setColumnCaption(0, QStringLiteral("No Buddys online"));
    ListView1->setColumnCaption(0, QStringLiteral("Players on server"));

    state.BuddyAlerts = readAlertSetting();
    readSettings(state, [this] { setAutoScan(true); });

    QLabel* banners[] = {Image1, Image2, Image3, Image4};
    const std::string& banner = state.BannerImage;
    if (banner.size() == 1 && banner[0] >= '0' && banner[0] <= '3') banners[banner[0] - '0']->show();

    const std::string path = currentListPath(state.CurrentList);
    if (!fileExists(path)) {
        dialogs().message(this, QStringLiteral("Please select a server list !"));
        return;
    }
    const QString boxText = ComboBoxEx1->currentText();
    QStringList names;
    readServerNames(path, [&](const std::string& name) { names.append(toQString(name)); });
    addServers(names);
    // Filling the box must not change its text.
    ComboBoxEx1->setCurrentIndex(-1);
    ComboBoxEx1->setEditText(boxText);
    setStatusText(QStringLiteral("Total servers: ") + QString::number(ComboBoxEx1->count()));
}

void TForm1::FormShow()
{
    if (state.FirstShow) {
        forms().Form6->show();
        forms().Form6->RadioButton1->setChecked(true);
        forms().Form6->RadioButton2->setChecked(false);
        forms().Form6->hide();
    }
    ListView2->setFocus();
    state.FirstShow = false;
    showServerCount();
}

void TForm1::showServerCount()
{
    setStatusText(QString::number(ComboBoxEx1->count()) + QStringLiteral(" servers in ") +
                  fileNameText(state.CurrentList));
}

void TForm1::clearServerViews()
{
    ComboBoxEx1->clear();
    ListView3->clear();
    ListView2->clear();
    ListView1->clear();
    for (QLabel* label : {Label1, Label2, Label3, Label4})
        label->clear();
    ListView2->setColumnCaption(0, QStringLiteral("No Buddys online"));
}

namespace {

// The sub-items of a row of the server table: map, host and game.
QStringList notScannedSubItems(const QString& host)
{
    return {QString(), host, QString()};
}

} // namespace

QTreeWidgetItem* TForm1::addNotScannedRow(const QString& name)
{
    return ListView3->addItem(QStringLiteral("not scanned"), notScannedSubItems(name), ImageNew);
}

void TForm1::addNotScannedRows(const QStringList& names)
{
    QList<QTreeWidgetItem*> rows;
    rows.reserve(names.size());
    for (const QString& name : names)
        rows.append(ListView3->makeItem(QStringLiteral("not scanned"), notScannedSubItems(name), ImageNew));
    ListView3->addItems(rows);
}

void TForm1::refillTableFromBox()
{
    ListView3->clear();
    QStringList names;
    for (int i = 0; i < ComboBoxEx1->count(); ++i)
        names.append(ComboBoxEx1->itemText(i));
    addNotScannedRows(names);
}

std::optional<QString> TForm1::serverText(int row, ServerColumn column) const
{
    const QTreeWidgetItem* item = ListView3->row(row);
    if (!item) return std::nullopt;
    return item->text(column);
}

void TForm1::showServerRow(QTreeWidgetItem* row)
{
    ListView3->clearSelection();
    row->setSelected(true);
    // The selection handler may have reloaded the list while its query waited.
    if (ListView3->rowIndex(row) < 0) return;
    ListView3->scrollToItem(row);
    ListView3->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
}

void TForm1::setAutoScan(bool on)
{
    if (on)
        Timer1->start();
    else
        Timer1->stop();
}

void TForm1::showScanEnded()
{
    state.Scanning = false;
    ProgressBar1->hide();
    ToolButton9->hide();
    ToolButton3->show();
}

void TForm1::addServers(const QStringList& names)
{
    // Both in one go: a list of 100,000 servers added row by row takes seconds.
    ComboBoxEx1->addItems(names);
    addNotScannedRows(names);
}

void TForm1::setServerBox(const std::vector<std::string>& names, const QString& text)
{
    ComboBoxEx1->clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        texts.append(toQString(name));
    ComboBoxEx1->addItems(texts);
    ComboBoxEx1->setCurrentIndex(-1);
    ComboBoxEx1->setEditText(text);
}

void TForm1::loadList(const std::vector<std::string>& names, const QString& listName)
{
    setStatusText(QStringLiteral("loading servers...please wait"));
    repaint();
    ProgressBar1->setMinimum(0);
    ProgressBar1->setMaximum(static_cast<int>(names.size()));
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        texts.append(toQString(name));
    addServers(texts);
    ProgressBar1->setValue(ProgressBar1->maximum());
    repaint();
    ProgressBar1->hide();
    ComboBoxEx1->setCurrentIndex(-1);
    ComboBoxEx1->setEditText(listName);
    showServerCount();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    runReported(dialogs(), [this] { FormClose(); });
    event->accept();
    QApplication::quit();
}

void TForm1::ListView1DblClick()
{
    if (ListView3->rowCount() > 0) ToolButton1Click();
}

void TForm1::ToolButton6Click()
{
    forms().Form6->showInFront();
}

void TForm1::searchserver1Click()
{
    forms().Form6->showInFront();
}

void TForm1::ToolButton7Click()
{
    if (isBlankHost(state.SelectedIP)) {
        dialogs().message(this, QStringLiteral("Please select a server !"));
        return;
    }
    forms().Form9->hide();
    forms().Form9->show();
}

void TForm1::rcon2Click()
{
    ToolButton7Click();
}

void TForm1::ToolButton2Click()
{
    forms().Form2->showInFront();
}

void TForm1::ToolButton5Click()
{
    forms().Form4->showInFront();
}

void TForm1::ToolButton4Click()
{
    forms().Form3->showInFront();
}

void TForm1::options2Click()
{
    ToolButton4Click();
}

void TForm1::Connectwithserver1Click()
{
    ToolButton1Click();
}

void TForm1::connect1Click()
{
    ToolButton1Click();
}

void TForm1::refresh1Click()
{
    ToolButton3Click();
}

void TForm1::refresh2Click()
{
    ToolButton3Click();
}

void TForm1::properties1Click()
{
    forms().Form11->hide();
    forms().Form11->show();
}

void TForm1::addserver1Click()
{
    if (!state.Scanning) forms().Form13->showInFront();
}

void TForm1::exit1Click()
{
    close();
}

} // namespace korvane

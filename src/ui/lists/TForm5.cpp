// Server List Editor.
#include "ui/lists/TForm5.h"

#include "app/AppState.h"
#include "app/ServerListFile.h"
#include "lists/ListFormats.h"
#include "lists/QuickAdd.h"
#include "platform/Charset.h"
#include "platform/Errors.h"
#include "platform/TextFile.h"
#include "ui/lists/TForm13.h"
#include "ui/lists/TForm3.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"
#include "ui/widgets/Furniture.h"
#include "ui/widgets/Look.h"

#include <QDir>
#include <QHBoxLayout>

namespace korvane {

TForm5::TForm5(Forms& forms) : FormBase(forms, QStringLiteral("TForm5"), QStringLiteral("Server List Editor"))
{
    forms.Form5 = this;
    setWindowFlags(OnTopWindow);
    setClientSize(874, 476);
    setFont(msSansSerif());
    buildControls();
    connectHandlers();
}

void TForm5::buildControls()
{
    ToolBar1 = place<QWidget>(this, QStringLiteral("ToolBar1"), QRect(0, 0, 874, 29));
    ToolBar1->setFont(tahoma());
    auto* bar = new QHBoxLayout(ToolBar1);
    bar->setContentsMargins(0, 4, 0, 4);
    bar->setSpacing(0);
    auto button = [this](const QString& name, const QString& caption, const QString& hint) {
        return addToolButton(ToolBar1, name, caption, hint, hint.isEmpty() ? caption : hint, QSize(65, 21));
    };
    ToolButton5 = button(QStringLiteral("ToolButton5"), QStringLiteral("add"), QStringLiteral("add server"));
    ToolButton4 = button(QStringLiteral("ToolButton4"), QStringLiteral("change"),
                         QStringLiteral("change selected server"));
    ToolButton6 = button(QStringLiteral("ToolButton6"), QStringLiteral("delete"),
                         QStringLiteral("delete selected server"));
    ToolButton1 = button(QStringLiteral("ToolButton1"), QStringLiteral("save"), QString());
    ToolButton1->hide();
    ToolButton3 = button(QStringLiteral("ToolButton3"), QStringLiteral("Import ASE"), QString());
    ToolButton3->hide();
    bar->addStretch(1);

    Panel1 = makePanel(this, QStringLiteral("Panel1"), QRect(0, 32, 441, 41));
    auto edit = [this](const QString& name, const QString& caption, const QRect& geometry) {
        return makeLabeledEdit(Panel1, name, caption, geometry);
    };
    LabeledEdit1 = edit(QStringLiteral("LabeledEdit1"), QStringLiteral("Servername"), QRect(0, 20, 257, 19));
    LabeledEdit2 = edit(QStringLiteral("LabeledEdit2"), QStringLiteral("IP"), QRect(256, 20, 105, 19));
    LabeledEdit3 = edit(QStringLiteral("LabeledEdit3"), QStringLiteral("Port"), QRect(360, 20, 81, 19));
    onExit(LabeledEdit2, &TForm5::LabeledEdit2Change);

    auto list = [this](const QString& name, const QRect& geometry, const QString& accessible) {
        auto* view = place<ListView>(this, name, geometry);
        view->setAccessibleName(accessible);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setImages(
            {QIcon(QStringLiteral(":/art/icon-medal.png")), QIcon(QStringLiteral(":/art/icon-grin.png"))});
        view->setSortType(ListView::SortType::Text);
        setColour(view, QPalette::Base, Silver);
        return view;
    };
    ListView1 =
        list(QStringLiteral("ListView1"), QRect(0, 72, 441, 385), QStringLiteral("Servers of the list"));
    ListView1->setColumnCount(3);
    ListView1->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("IP"), QStringLiteral("Port")});
    ListView1->setColumnWidth(0, 257);
    ListView1->setColumnWidth(1, 104);
    ListView1->setColumnWidth(2, 76);
    ListView2 = list(QStringLiteral("ListView2"), QRect(448, 32, 273, 425),
                     QStringLiteral("Servers of another list"));
    ListView2->setColumnCount(3);
    ListView2->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("IP"), QStringLiteral("Port")});
    ListView2->setColumnWidth(0, 150);
    ListView2->setColumnWidth(1, 69);
    ListView3 = list(QStringLiteral("ListView3"), QRect(720, 32, 153, 425), QStringLiteral("Server lists"));
    ListView3->setColumnCount(1);
    ListView3->setHeaderHidden(true);

    StatusBar1 = place<QStatusBar>(this, QStringLiteral("StatusBar1"), QRect(0, 476 - 19, 874, 19));
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusBar1->addWidget(StatusPanel0, 1);

    Edit1 = place<QLineEdit>(this, QStringLiteral("Edit1"), QRect());
    Edit1->setAccessibleName(QStringLiteral("list name"));
    Edit1->hide();
    Button1 = place<QPushButton>(this, QStringLiteral("Button1"), QRect(), QStringLiteral("add server"));
    Button1->hide();
    Button2 = place<QPushButton>(this, QStringLiteral("Button2"), QRect(), QStringLiteral("change"));
    Button2->hide();

    PopupMenu1 = makeMenu(this, QStringLiteral("PopupMenu1"));
    DeleteServer1 = menuItem(PopupMenu1, QStringLiteral("DeleteServer1"), QStringLiteral("Delete selected"));
    attachPopup(ListView1, PopupMenu1);
    PopupMenu2 = makeMenu(this, QStringLiteral("PopupMenu2"));
    addtolist1 = menuItem(PopupMenu2, QStringLiteral("addtolist1"), QStringLiteral("add to list"));
    attachPopup(ListView2, PopupMenu2);
}

void TForm5::connectHandlers()
{
    // The tool buttons repeat the hidden buttons.
    connectHandler(ToolButton5, &QToolButton::clicked, this, &TForm5::Button1Click);
    connectHandler(ToolButton4, &QToolButton::clicked, this, &TForm5::Button2Click);
    connectHandler(ToolButton6, &QToolButton::clicked, this, &TForm5::ToolButton6Click);
    connectHandler(ToolButton1, &QToolButton::clicked, this, &TForm5::ToolButton1Click);
    connectHandler(ToolButton3, &QToolButton::clicked, this, &TForm5::ToolButton3Click);
    connectHandler(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connectHandler(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
    connectHandler(DeleteServer1, &QAction::triggered, this, &TForm5::DeleteServer1Click);
    connectHandler(addtolist1, &QAction::triggered, this, &TForm5::ListView2DblClick);
    connectHandler(ListView1, &QTreeWidget::itemClicked, this, &TForm5::ListView1Click);
    connectHandler(ListView3, &ListView::doubleClickedAnywhere, this, &TForm5::ListView3DblClick);
    connectHandler(ListView2, &ListView::doubleClickedAnywhere, this, &TForm5::ListView2DblClick);
}

std::optional<std::string> confirmImportTarget(FormBase& window, const QString& chosenPath,
                                               const std::string& extension)
{
    const ImportTarget target = importTarget(chosenPath, extension);
    if (!target.refusal.isEmpty()) {
        window.dialogs().message(&window, target.refusal);
        return std::nullopt;
    }
    if (target.replacesAnother && fileExists(listFilePath(target.listName)) &&
        !window.confirmIdle(QStringLiteral("List ") + fileNameText(target.listName) +
                            QStringLiteral(" exists. Replace it ?")))
        return std::nullopt;
    return target.listName;
}

void TForm5::openList(const std::string& name)
{
    m_listName = name;
    hide();
    show();
}

void TForm5::fillRows(ListView* view, const std::vector<ServerEntry>& servers, int image)
{
    for (const ServerEntry& server : servers)
        view->addItem(toQString(server.name), {toQString(server.ip), toQString(server.port)}, image);
}

std::vector<ServerEntry> TForm5::rows() const
{
    std::vector<ServerEntry> result;
    for (int i = 0; i < ListView1->rowCount(); ++i) {
        const QTreeWidgetItem* row = ListView1->row(i);
        result.push_back({toBytes(ListView::caption(row)), toBytes(ListView::subItem(row, 0)),
                          toBytes(ListView::subItem(row, 1))});
    }
    return result;
}

void TForm5::FormShow()
{
    forms().Form3->hide();
    ListView1->setFocus();
    ListView1->clear();
    ListView2->clear();
    LabeledEdit1->clear();
    LabeledEdit2->clear();
    LabeledEdit3->clear();
    ListView3->clear();
    for (const std::string& name : enumerateLists())
        ListView3->addFileName(name, 0);
    setWindowTitle(fileNameText(m_listName));
    Edit1->setText(fileNameText(m_listName));
    StatusPanel0->setText(QStringLiteral("0 servers listed."));
    const std::string path = listFilePath(m_listName);
    // A list that vanished is simply created by the first change; one that is
    // there but unreadable must not be replaced by this showing's empty rows.
    const bool present = pathExists(path);
    m_saveRefused = present && !fileExists(path);
    if (m_saveRefused) throw IoError("List " + toBytes(fileNameText(m_listName)) + " is not a readable file");
    try {
        fillRows(ListView1, readServers(path), -1);
    } catch (const IoError&) {
        m_saveRefused = present;
        throw;
    }
    StatusPanel0->setText(QString::number(ListView1->rowCount()) + QStringLiteral(" servers listed."));
}

void TForm5::FormHide()
{
    forms().Form13->hide();
    forms().Form3->show();
}

void TForm5::listFileChanged(const std::string& path)
{
    if (!isVisible() || m_saveRefused || m_listName.empty() || listFilePath(m_listName) != path) return;
    ListView1->clear();
    fillRows(ListView1, readServers(path), -1);
}

void TForm5::ToolButton1Click()
{
    if (m_saveRefused)
        throw IoError("List " + toBytes(fileNameText(m_listName)) +
                      " could not be read when the editor opened; it is not saved.");
    const std::string path = listFilePath(m_listName);
    writeServerList(path, rows());
    // Another list's names in the server box would cut the next scan of the current list short.
    if (path == currentListPath(state().CurrentList))
        forms().Form1->setServerBox(readServerNames(path), fileNameText(m_listName));
}

void TForm5::Button1Click()
{
    ListView1->setFocus();
    if (!LabeledEdit1->text().isEmpty() && !LabeledEdit2->text().isEmpty() && !LabeledEdit3->text().isEmpty())
        ListView1->addItem(LabeledEdit1->text(), {LabeledEdit2->text(), LabeledEdit3->text()});
    LabeledEdit1->clear();
    LabeledEdit2->clear();
    LabeledEdit3->clear();
    ToolButton1Click();
}

void TForm5::Button2Click()
{
    QTreeWidgetItem* row = ListView1->selectedRow();
    if (!row) return;
    const QString question = QStringLiteral("Change server setings ?\nold:   ") + ListView::caption(row) +
                             QLatin1Char(' ') + ListView::subItem(row, 0) + QLatin1Char(':') +
                             ListView::subItem(row, 1) + QStringLiteral("\nnew: ") + LabeledEdit1->text() +
                             QLatin1Char(' ') + LabeledEdit2->text() + QLatin1Char(':') +
                             LabeledEdit3->text();
    // The editor's list may be the current one, and a scan that starts meanwhile closes the editor.
    if (!confirmIdle(question)) return;
    row->setText(0, LabeledEdit1->text());
    row->setText(1, LabeledEdit2->text());
    row->setText(2, LabeledEdit3->text());
    ListView1->setFocus();
    ToolButton1Click();
}

void TForm5::ToolButton6Click()
{
    QTreeWidgetItem* row = ListView1->selectedRow();
    if (!row) return;
    if (!confirmIdle(QStringLiteral("Delete server: ") + ListView::caption(row) + QStringLiteral(" ?")))
        return;
    delete row;
    // The view would make the next row current and selected while the fields
    // still hold the deleted server, so "change" would write it over that row.
    ListView1->clearSelection();
    ListView1->setCurrentItem(nullptr);
    ToolButton1Click();
}

void TForm5::DeleteServer1Click()
{
    ToolButton6Click();
}

void TForm5::ListView1Click()
{
    const QTreeWidgetItem* row = ListView1->selectedRow();
    if (!row) return;
    LabeledEdit1->setText(ListView::caption(row));
    LabeledEdit2->setText(ListView::subItem(row, 0));
    LabeledEdit3->setText(ListView::subItem(row, 1));
    ListView1->setFocus();
}

void TForm5::LabeledEdit2Change()
{
    if (const auto typed = splitTypedAddress(toBytes(LabeledEdit2->text()))) {
        LabeledEdit2->setText(toQString(typed->ip));
        LabeledEdit3->setText(toQString(typed->port));
    }
}

void TForm5::ListView3DblClick()
{
    const QTreeWidgetItem* item = ListView3->selectedRow();
    if (!item) return;
    ListView2->setFocus();
    ListView2->clear();
    fillRows(ListView2, readServers(listFilePath(ListView::fileName(item))), 1);
}

void TForm5::ListView2DblClick()
{
    const QTreeWidgetItem* row = ListView2->selectedRow();
    if (!row) return;
    ListView1->addItem(ListView::caption(row), {ListView::subItem(row, 0), ListView::subItem(row, 1)});
    ToolButton1Click();
}

void TForm5::ToolButton3Click()
{
    const QString path = dialogs().openFile(this, QStringLiteral("txt (*.txt)"), QDir::currentPath());
    if (path.isEmpty()) return;
    if (!confirmIdle(QStringLiteral("Sure text is formated: Name|Ip:Port ?"))) return;
    if (const std::optional<std::string> list = confirmImportTarget(*this, path, ".txt"))
        importAse(fileNameOf(path), *list);
}

} // namespace korvane

// Options window.
#include "ui/lists/TForm3.h"

#include "app/AlertSetting.h"
#include "app/AppState.h"
#include "app/ServerListFile.h"
#include "app/SettingsFile.h"
#include "launch/EngineSearch.h"
#include "lists/ListFormats.h"
#include "platform/Charset.h"
#include "platform/TextFile.h"
#include "platform/gui/JpegImage.h"
#include "query/StatusReply.h"
#include "ui/lists/TForm17.h"
#include "ui/lists/TForm5.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"
#include "ui/widgets/Furniture.h"
#include "ui/widgets/Look.h"
#include "ui/widgets/TForm8.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSignalBlocker>

#include <tuple>

namespace korvane {

namespace {

// The maker's news, behind the banner.
const QString NewsAddress = QStringLiteral("https://korvane.sourceforge.io/news");

QString fileNamePart(const QString& path)
{
    return QFileInfo(path).fileName();
}

// An edit that still shows the kept path keeps its bytes; typed text names the file it stands for.
void takePath(std::string& path, const QString& text)
{
    if (text != fileNameText(path)) path = fileNameOf(text);
}

} // namespace

TForm3::TForm3(Forms& forms) : FormBase(forms, QStringLiteral("TForm3"), QStringLiteral("Options"))
{
    forms.Form3 = this;
    setWindowFlags(OnTopWindow);
    setClientSize(425, 261);
    setFont(msSansSerif());
    buildControls();
    connectHandlers();
}

void TForm3::buildControls()
{
    GroupBox1 =
        place<QGroupBox>(this, QStringLiteral("GroupBox1"), QRect(0, 0, 265, 261), QStringLiteral("Options"));
    CheckBox2 = place<QCheckBox>(GroupBox1, QStringLiteral("CheckBox2"), QRect(8, 16, 113, 17),
                                 QStringLiteral("Check for clantags"));
    CheckBox3 = place<QCheckBox>(GroupBox1, QStringLiteral("CheckBox3"), QRect(8, 32, 130, 17),
                                 QStringLiteral("Enable save scan"));
    CheckBox1 = place<QCheckBox>(GroupBox1, QStringLiteral("CheckBox1"), QRect(144, 16, 113, 17),
                                 QStringLiteral("Enable auto scan"));
    Legacy2 = place<TLegacy>(GroupBox1, QStringLiteral("Legacy2"), QRect(145, 33, 111, 13), desktop());
    Legacy2->setText(QStringLiteral("Korvane support"));
    Legacy2->Adress = toQString(SupportAddress);
    Legacy2->setFont(tahoma(true));
    Legacy2->ActiveColor = QColor(0, 128, 128);
    setTextColour(Legacy2, Navy);

    Panel1 = makePanel(GroupBox1, QStringLiteral("Panel1"), QRect(8, 56, 249, 121));
    auto edit = [this](const QString& name, const QString& caption, const QRect& geometry) {
        return makeLabeledEdit(Panel1, name, caption, geometry);
    };
    LabeledEdit1 = edit(QStringLiteral("LabeledEdit1"), QStringLiteral("Nickname"), QRect(8, 20, 161, 19));
    LabeledEdit2 = edit(QStringLiteral("LabeledEdit2"), QStringLiteral("Password"), QRect(176, 20, 65, 19));
    LabeledEdit3 = edit(QStringLiteral("LabeledEdit3"), QStringLiteral("MoH:AA path"), QRect(8, 60, 161, 19));
    Button3 = place<QPushButton>(Panel1, QStringLiteral("Button3"), QRect(176, 60, 65, 19),
                                 QStringLiteral("select path"));
    Button3->setAccessibleName(QStringLiteral("select MoH:AA path"));
    LabeledEdit4 =
        edit(QStringLiteral("LabeledEdit4"), QStringLiteral("Spearhead path"), QRect(8, 96, 161, 19));
    Button6 = place<QPushButton>(Panel1, QStringLiteral("Button6"), QRect(176, 96, 65, 19),
                                 QStringLiteral("select path"));
    Button6->setAccessibleName(QStringLiteral("select Spearhead path"));

    Image1 = place<QLabel>(GroupBox1, QStringLiteral("Image1"), QRect(8, 180, 249, 37));
    Image1->setPixmap(QPixmap::fromImage(loadJpeg(QStringLiteral(":/art/options-banner.jpg"))));
    Legacy1 = place<TLegacy>(GroupBox1, QStringLiteral("Legacy1"), QRect(8, 176, 249, 49), desktop());
    Legacy1->Adress = NewsAddress;
    Legacy1->ActiveColor = Red;
    Legacy1->setAttribute(Qt::WA_TranslucentBackground);
    Legacy1->setAccessibleName(QStringLiteral("Korvane news"));
    Button4 = place<QPushButton>(GroupBox1, QStringLiteral("Button4"), QRect(8, 216, 249, 17),
                                 QStringLiteral("About Korvane 1.11"));
    Button4->setFont(tahoma());
    CheckBox4 = place<QCheckBox>(GroupBox1, QStringLiteral("CheckBox4"), QRect(8, 238, 113, 17),
                                 QStringLiteral("Buddy alerts"));
    CheckBox4->setAccessibleName(QStringLiteral("Buddy alerts"));
    CheckBox4->setToolTip(
        QStringLiteral("A desktop notice when a buddy comes online while Korvane is minimised"));
    Button8 = place<QPushButton>(GroupBox1, QStringLiteral("Button8"), QRect(144, 238, 113, 17),
                                 QStringLiteral("find OpenMoHAA"));
    Button8->setAccessibleName(QStringLiteral("find OpenMoHAA"));
    Button8->setToolTip(QStringLiteral("Looks for an installed OpenMoHAA for the empty game paths"));

    GroupBox2 = place<QGroupBox>(this, QStringLiteral("GroupBox2"), QRect(264, 0, 161, 261),
                                 QStringLiteral("Server lists"));
    ListView1 = place<ListView>(GroupBox2, QStringLiteral("ListView1"), QRect(8, 16, 145, 177));
    ListView1->setAccessibleName(QStringLiteral("Server lists"));
    ListView1->setToolTip(QStringLiteral("Doubleclick to select / Rightclick to edit"));
    ListView1->setColumnCount(1);
    ListView1->setHeaderHidden(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setImages({QIcon(QStringLiteral(":/art/icon-medal.png"))});
    ListView1->setSortType(ListView::SortType::Text);
    setColour(ListView1, QPalette::Base, Silver);
    Button7 = place<QPushButton>(GroupBox2, QStringLiteral("Button7"), QRect(8, 200, 145, 17),
                                 QStringLiteral("Import SSLF"));
    Button7->setToolTip(QStringLiteral("Imports an HLSW list"));
    Button5 = place<QPushButton>(GroupBox2, QStringLiteral("Button5"), QRect(8, 216, 145, 17),
                                 QStringLiteral("Import ASE"));
    Button5->setToolTip(QStringLiteral("Imports an ALL SEEING EYE Serverlist text"));
    Button2 = place<QPushButton>(GroupBox2, QStringLiteral("Button2"), QRect(), QStringLiteral("Edit"));
    Button2->hide();
    Button1 =
        place<QPushButton>(GroupBox2, QStringLiteral("Button1"), QRect(), QStringLiteral("Save as Default"));
    Button1->hide();

    PopupMenu1 = makeMenu(this, QStringLiteral("PopupMenu1"));
    deleteserver1 = menuItem(PopupMenu1, QStringLiteral("deleteserver1"), QStringLiteral("delete list"));
    editlist1 = menuItem(PopupMenu1, QStringLiteral("editlist1"), QStringLiteral("edit list"));
    newlist1 = menuItem(PopupMenu1, QStringLiteral("newlist1"), QStringLiteral("new list"));
    selectlist1 = menuItem(PopupMenu1, QStringLiteral("selectlist1"), QStringLiteral("select list"));
    exportsslf1 = menuItem(PopupMenu1, QStringLiteral("exportsslf1"), QStringLiteral("export as SSLF"));
    importmaster1 =
        menuItem(PopupMenu1, QStringLiteral("importmaster1"), QStringLiteral("import from master"));
    attachPopup(ListView1, PopupMenu1);
}

void TForm3::connectHandlers()
{
    // A box's handler runs whenever its state changes, by the user or by FormShow.
    connectHandler(CheckBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
    connectHandler(CheckBox2, &QCheckBox::toggled, this, &TForm3::CheckBox2Click);
    connectHandler(CheckBox3, &QCheckBox::toggled, this, &TForm3::CheckBox3Click);
    connectHandler(LabeledEdit1, &QLineEdit::textChanged, this, &TForm3::LabeledEdit1Change);
    connectHandler(LabeledEdit2, &QLineEdit::textChanged, this, &TForm3::LabeledEdit2Change);
    connectHandler(LabeledEdit3, &QLineEdit::textChanged, this, &TForm3::LabeledEdit3Change);
    connectHandler(LabeledEdit4, &QLineEdit::textChanged, this, &TForm3::LabeledEdit4Change);
    connectHandler(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
    connectHandler(Button6, &QPushButton::clicked, this, &TForm3::Button6Click);
    connectHandler(CheckBox4, &QCheckBox::toggled, this, &TForm3::CheckBox4Click);
    connectHandler(Button8, &QPushButton::clicked, this, &TForm3::Button8Click);
    connectHandler(Button4, &QPushButton::clicked, this, &TForm3::Button4Click);
    connectHandler(Button7, &QPushButton::clicked, this, &TForm3::Button7Click);
    connectHandler(Button5, &QPushButton::clicked, this, &TForm3::Button5Click);
    connectHandler(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    connectHandler(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connectHandler(ListView1, &ListView::doubleClickedAnywhere, this, &TForm3::ListView1DblClick);
    connectHandler(deleteserver1, &QAction::triggered, this, &TForm3::deleteserver1Click);
    connectHandler(editlist1, &QAction::triggered, this, &TForm3::editlist1Click);
    connectHandler(newlist1, &QAction::triggered, this, &TForm3::newlist1Click);
    connectHandler(selectlist1, &QAction::triggered, this, &TForm3::selectlist1Click);
    connectHandler(exportsslf1, &QAction::triggered, this, &TForm3::exportsslf1Click);
    connectHandler(importmaster1, &QAction::triggered, this, &TForm3::importmaster1Click);
}

std::string TForm3::selectedList() const
{
    const QTreeWidgetItem* item = ListView1->selectedRow();
    return item ? ListView::fileName(item) : std::string();
}

void TForm3::FormShow()
{
    ListView1->clear();
    LabeledEdit1->setText(toQString(state().Nickname));
    LabeledEdit2->setText(toQString(state().Password));
    LabeledEdit3->setText(fileNameText(state().AAPath));
    LabeledEdit4->setText(fileNameText(state().SHPath));
    CheckBox3->setChecked(state().SaveScan);
    // These two are only ever ticked here: a box keeps what it had at the last hide.
    if (forms().Form1->autoScan()) CheckBox1->setChecked(true);
    if (state().CheckClantags) CheckBox2->setChecked(true);
    {
        // Showing the setting is no change of it.
        const QSignalBlocker quiet(CheckBox4);
        CheckBox4->setChecked(state().BuddyAlerts);
    }
    offerEngineSearch();
    showLists();
}

void TForm3::showLists()
{
    ListView1->clear();
    for (const std::string& name : enumerateLists())
        ListView1->addFileName(name, 0);
}

void TForm3::FormHide()
{
    Button1Click();
}

void TForm3::Button1Click()
{
    SettingsValues values = settingsOf(state(), CheckBox1->isChecked());
    values.checkClantags = CheckBox2->isChecked();
    values.nickname = toBytes(LabeledEdit1->text());
    values.password = toBytes(LabeledEdit2->text());
    values.saveScan = CheckBox3->isChecked();
    writeSettings(values);
}

void TForm3::CheckBox1Click()
{
    ListView1->setFocus();
    forms().Form1->setAutoScan(CheckBox1->isChecked());
}

void TForm3::CheckBox2Click()
{
    ListView1->setFocus();
    state().CheckClantags = CheckBox2->isChecked();
}

void TForm3::CheckBox3Click()
{
    if (CheckBox3->isChecked()) {
        state().TimeoutMs = 5000;
        state().SaveScan = true;
    } else {
        state().TimeoutMs = state().UserTimeoutMs;
        state().SaveScan = false;
    }
}

void TForm3::LabeledEdit1Change()
{
    state().Nickname = toBytes(LabeledEdit1->text());
}

void TForm3::LabeledEdit2Change()
{
    state().Password = toBytes(LabeledEdit2->text());
}

void TForm3::LabeledEdit3Change()
{
    takePath(state().AAPath, LabeledEdit3->text());
    offerEngineSearch();
}

void TForm3::LabeledEdit4Change()
{
    takePath(state().SHPath, LabeledEdit4->text());
    offerEngineSearch();
}

void TForm3::offerEngineSearch()
{
    Button8->setVisible(LabeledEdit3->text().isEmpty() || LabeledEdit4->text().isEmpty());
}

void TForm3::CheckBox4Click()
{
    ListView1->setFocus();
    state().BuddyAlerts = CheckBox4->isChecked();
    writeAlertSetting(CheckBox4->isChecked());
}

void TForm3::Button8Click()
{
    ListView1->setFocus();
    const std::vector<std::string> folders = engineSearchFolders(currentSearchEnvironment());
    bool found = false;
    for (const auto& [edit, path, game] : {std::tuple{LabeledEdit3, &state().AAPath, Game::AlliedAssault},
                                           {LabeledEdit4, &state().SHPath, Game::Spearhead}}) {
        if (!edit->text().isEmpty()) continue;
        const std::string engine = findEngine(game, folders);
        if (engine.empty()) continue;
        found = true;
        if (const QString refusal =
                settingsRefusal(engine, QStringLiteral("The path ") + fileNameText(engine));
            !refusal.isEmpty()) {
            dialogs().message(this, refusal);
            continue;
        }
        *path = engine;
        edit->setText(fileNameText(engine));
    }
    if (!found)
        dialogs().message(this,
                          QStringLiteral("No OpenMoHAA found on the PATH, in ~/Applications, ~/AppImages, "
                                         "~/.local/bin, ~/bin, ~/Downloads, ~/.local/share/openmohaa or "
                                         "/opt/openmohaa. Please use \"select path\"."));
}

void TForm3::choosePath(LabeledEdit* edit, std::string& path)
{
    ListView1->setFocus();
    if (state().Scanning) return;
    const QString chosen = dialogs().openFile(this, QString(), QDir::currentPath());
    if (chosen.isEmpty()) return;
    const std::string file = fileNameOf(chosen);
    if (const QString refusal = settingsRefusal(file, QStringLiteral("The path ") + chosen);
        !refusal.isEmpty()) {
        dialogs().message(this, refusal);
        return;
    }
    path = file;
    edit->setText(fileNameText(file));
}

void TForm3::Button3Click()
{
    choosePath(LabeledEdit3, state().AAPath);
}

void TForm3::Button6Click()
{
    choosePath(LabeledEdit4, state().SHPath);
}

void TForm3::Button4Click()
{
    ListView1->setFocus();
    forms().Form8->show();
    hide();
}

void TForm3::ListView1DblClick()
{
    TForm1& main = *forms().Form1;
    if (state().Scanning) main.ToolButton9Click();
    const std::string name = selectedList();
    if (name.empty() || state().Scanning) return;
    if (const QString refusal = listNameRefusal(name); !refusal.isEmpty()) {
        dialogs().message(this, refusal);
        return;
    }
    state().CurrentList = currentListOf(name);
    main.clearServerViews();
    // A vanished file stops here, with the views already empty.
    const std::vector<std::string> names = readServerNames(currentListPath(state().CurrentList));
    hide();
    main.loadList(names, fileNameText(name));
    main.ToolButton3Click();
}

void TForm3::selectlist1Click()
{
    ListView1DblClick();
}

void TForm3::deleteserver1Click()
{
    const std::string name = selectedList();
    if (name.empty() || state().Scanning || name == DefaultListName) return;
    if (!confirmIdle(QStringLiteral("Delete List ") + fileNameText(name) + QStringLiteral(" ?"))) return;
    deleteList(name);
    reload();
    state().CurrentList = currentListOf(DefaultListName);
    TForm1& main = *forms().Form1;
    main.setServerBox(readServerNames(currentListPath(state().CurrentList)), QLatin1String(DefaultListName));
    main.showServerCount();
    hide();
    main.refillTableFromBox();
    show();
}

void TForm3::editlist1Click()
{
    const std::string name = selectedList();
    if (name.empty() || state().Scanning) return;
    forms().Form5->openList(name);
    Button2Click();
}

void TForm3::Button2Click()
{
    if (!selectedList().empty()) forms().Form5->show();
}

void TForm3::newlist1Click()
{
    if (state().Scanning) return;
    hide();
    const QString folder = QDir::currentPath() + QLatin1Char('/') + QLatin1String(ServerListFolder);
    const QString chosen = dialogs().saveFile(this, QStringLiteral("new list"), folder, QString());
    if (chosen.isEmpty()) return;
    const QString typed = fileNamePart(chosen);
    if (typed.isEmpty()) return;
    const std::string name = listNameFor(typed);
    if (const QString refusal = listNameRefusal(name); !refusal.isEmpty()) {
        dialogs().message(this, refusal);
        return;
    }
    // The dialog's default name makes an accidental second "new list" easy.
    if (fileExists(listFilePath(name)) &&
        !dialogs().confirm(this, QStringLiteral("List ") + fileNameText(name) +
                                     QStringLiteral(" exists. Empty it ?")))
        return;
    // The dialogs ran event loops of their own, where a scan may have started.
    if (state().Scanning) return;
    createList(name);
    forms().Form5->openList(name);
}

void TForm3::Button7Click()
{
    ListView1->setFocus();
    if (!state().Scanning) {
        const QString path = dialogs().openFile(this, QStringLiteral("sslf (*.sslf)"), QDir::currentPath());
        if (!path.isEmpty() && confirmIdle(QStringLiteral("Import HLSW list ?")))
            if (const std::optional<std::string> list = confirmImportTarget(*this, path, ".sslf"))
                importSslf(fileNameOf(path), *list);
    }
    reload();
}

void TForm3::Button5Click()
{
    ListView1->setFocus();
    if (state().Scanning) return;
    forms().Form5->ToolButton3Click();
    reload();
}

void TForm3::exportsslf1Click()
{
    const std::string name = selectedList();
    if (name.empty() || state().Scanning) return;
    const QString chosen = dialogs().saveFile(this, fileNameText(name), QDir::currentPath(), QString());
    if (chosen.isEmpty()) return;
    const std::string target = fileNameOf(chosen);
    // ".sslf" is added after the dialog has closed, so the dialog could not warn.
    if (pathExists(target + ".sslf") &&
        !dialogs().confirm(this, QStringLiteral("File ") + fileNamePart(chosen) +
                                     QStringLiteral(".sslf exists. Replace it ?")))
        return;
    exportSslf(name, target);
}

void TForm3::importmaster1Click()
{
    forms().Form17->showInFront();
}

void TForm3::reload()
{
    hide();
    show();
}

} // namespace korvane

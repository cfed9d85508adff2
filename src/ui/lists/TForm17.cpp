// "Import from master" window.
#include "ui/lists/TForm17.h"

#include "app/ServerListFile.h"
#include "master/MastersFile.h"
#include "platform/Charset.h"
#include "platform/UiCarrier.h"
#include "ui/lists/TForm3.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"
#include "ui/widgets/Furniture.h"

#include <thread>

namespace korvane {

namespace {

// The import as its worker sees the window: every change carried to the UI
// thread without waiting for it, and nothing once the run is halted.
class WindowImportView : public ImportView
{
public:
    WindowImportView(TForm17& window, std::shared_ptr<HaltSwitch> halt)
        : m_window(&window), m_carrier(&window, std::move(halt))
    {}
    void masterEnded(const MasterResult& result) override
    {
        m_carrier.post([w = m_window, result] { w->masterEnded(result); });
        m_carrier.send();
    }
    void resolving(int ended, int total) override
    {
        m_carrier.post([w = m_window, ended, total] { w->resolving(ended, total); });
        m_carrier.send();
    }
    void ended(ImportOutcome outcome)
    {
        m_carrier.post([w = m_window, outcome = std::move(outcome)] { w->importEnded(outcome); });
        m_carrier.send();
    }

private:
    TForm17* m_window;
    UiCarrier m_carrier;
};

QString resultText(const MasterResult& result)
{
    return toQString(result.summary() + (result.detail.empty() ? "" : " (" + result.detail + ")"));
}

} // namespace

TForm17::TForm17(Forms& forms)
    : FormBase(forms, QStringLiteral("TForm17"), QStringLiteral("Import from master"))
{
    forms.Form17 = this;
    setWindowFlags(OnTopWindow);
    setClientSize(330, 244);
    buildControls();
    connectHandlers();
    ComboBox1Change();
}

TForm17::~TForm17()
{
    endRun();
}

void TForm17::buildControls()
{
    Label1 = place<QLabel>(this, QStringLiteral("Label1"), QRect(8, 12, 36, 13), QStringLiteral("Game"));
    ComboBox1 = place<QComboBox>(this, QStringLiteral("ComboBox1"), QRect(44, 8, 130, 21));
    ComboBox1->setAccessibleName(QStringLiteral("Game"));
    for (const MasterGame& game : masterGames())
        ComboBox1->addItem(QString::fromLatin1(game.title));
    Label1->setBuddy(ComboBox1);
    Button1 =
        place<QPushButton>(this, QStringLiteral("Button1"), QRect(182, 8, 68, 21), QStringLiteral("import"));
    Button1->setAccessibleName(QStringLiteral("import"));
    Button1->setToolTip(QStringLiteral("Fills the game's Internet list from the masters in Masters.txt"));
    Button2 =
        place<QPushButton>(this, QStringLiteral("Button2"), QRect(254, 8, 68, 21), QStringLiteral("stop"));
    Button2->setAccessibleName(QStringLiteral("stop"));
    Button2->setEnabled(false);
    ListView1 = place<ListView>(this, QStringLiteral("ListView1"), QRect(8, 36, 314, 120));
    ListView1->setAccessibleName(QStringLiteral("Masters"));
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QStringLiteral("Master"), QStringLiteral("Result")});
    ListView1->setColumnWidth(0, 170);
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionMode(QAbstractItemView::NoSelection);
    ProgressBar1 = place<QProgressBar>(this, QStringLiteral("ProgressBar1"), QRect(8, 162, 314, 16));
    ProgressBar1->setAccessibleName(QStringLiteral("import progress"));
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    Label2 = place<QLabel>(this, QStringLiteral("Label2"), QRect(8, 182, 314, 28));
    Label2->setWordWrap(true);
    Label3 = place<QLabel>(this, QStringLiteral("Label3"), QRect(8, 212, 314, 28),
                           QString::fromLatin1(BreakthroughNote));
    Label3->setWordWrap(true);
}

void TForm17::connectHandlers()
{
    connectHandler(Button1, &QPushButton::clicked, this, &TForm17::Button1Click);
    connectHandler(Button2, &QPushButton::clicked, this, &TForm17::Button2Click);
    connectHandler(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm17::ComboBox1Change);
}

const MasterGame& TForm17::chosenGame() const
{
    const int index = std::max(0, ComboBox1->currentIndex());
    return masterGames().at(static_cast<std::size_t>(index));
}

void TForm17::ComboBox1Change()
{
    Label3->setVisible(!chosenGame().windowsGame);
}

void TForm17::Button1Click()
{
    if (importing()) return;
    const MastersList masters = loadMasters();
    ListView1->clear();
    m_rows.clear();
    for (const MasterAddress& master : masters.masters) {
        m_rows[master.text()] = ListView1->rowCount();
        ListView1->addItem(toQString(master.text()), {QStringLiteral("asking...")});
    }
    for (const std::string& problem : masters.problems)
        ListView1->addItem(QString::fromLatin1(MastersFileName),
                           {toQString(problem.substr(problem.find(": ") + 2))});
    m_game = &chosenGame();
    if (masters.masters.empty()) {
        Label2->setText(QStringLiteral("Masters.txt names no master; ") +
                        QString::fromLatin1(m_game->listName) + QStringLiteral(" left as it was."));
        return;
    }
    m_mastersEnded = 0;
    ProgressBar1->setRange(0, static_cast<int>(masters.masters.size()));
    ProgressBar1->setValue(0);
    Label2->setText(QStringLiteral("Asking %1 masters for the %2 servers...")
                        .arg(masters.masters.size())
                        .arg(QString::fromLatin1(m_game->title)));
    Button1->setEnabled(false);
    Button2->setEnabled(true);
    ComboBox1->setEnabled(false);

    m_halt = std::make_shared<HaltSwitch>();
    // The worker owns what it uses; the window may be gone before it ends.
    auto view = std::make_shared<WindowImportView>(*this, m_halt);
    std::thread([view, halt = m_halt, cache = m_cache, game = m_game, list = masters.masters,
                 fetch = fetchOptions, resolve = resolveOptions] {
        try {
            view->ended(runMasterImport(*game, list, *view, *cache, *halt, fetch, resolve));
        } catch (const WorkerHalted&) {
        }
    }).detach();
}

void TForm17::Button2Click()
{
    if (!importing()) return;
    endRun();
    Label2->setText(QStringLiteral("Stopped; ") + QString::fromLatin1(m_game->listName) +
                    QStringLiteral(" left as it was."));
}

void TForm17::FormHide()
{
    Button2Click();
}

void TForm17::endRun()
{
    if (m_halt) m_halt->halt();
    m_halt.reset();
    Button1->setEnabled(true);
    Button2->setEnabled(false);
    ComboBox1->setEnabled(true);
}

void TForm17::masterEnded(const MasterResult& result)
{
    const auto row = m_rows.find(result.master.text());
    if (row != m_rows.end()) ListView1->row(row->second)->setText(1, resultText(result));
    ProgressBar1->setValue(++m_mastersEnded);
}

void TForm17::resolving(int ended, int total)
{
    ProgressBar1->setRange(0, std::max(total, 1));
    ProgressBar1->setValue(ended);
    Label2->setText(QStringLiteral("Finding the game ports: %1 of %2 servers").arg(ended).arg(total));
}

void TForm17::importEnded(const ImportOutcome& outcome)
{
    const MasterGame& game = *m_game;
    endRun();
    bool written = false;
    runReported(dialogs(), [&] { written = writeList(game, outcome); });
    Label2->setText(toQString(importSummary(game, outcome, written)));
    if (outcome.replacesList() && !written)
        Label2->setText(Label2->text() +
                        QStringLiteral(" It is being scanned; import again after the scan."));
}

bool TForm17::writeList(const MasterGame& game, const ImportOutcome& outcome)
{
    if (!outcome.replacesList()) return false;
    const std::string name = game.listName;
    const std::string current = std::string(ServerListFolder) + "\\" + name;
    const bool isCurrent = state().CurrentList == current;
    if (isCurrent && state().Scanning) return false;
    writeServerList(listFilePath(name), internetListEntries(outcome.resolved));
    TForm3& options = *forms().Form3;
    if (options.isVisible()) options.showLists();
    if (isCurrent) {
        // The table must show the new servers, or its rows would name servers the file no longer has.
        TForm1& main = *forms().Form1;
        main.clearServerViews();
        main.loadList(readServerNames(currentListPath(state().CurrentList)), toQString(name));
    }
    return true;
}

} // namespace korvane

#pragma once
// "Import from master" window: one game's public servers from the masters
// into its own list, with each master's result.

#include "lists/MasterImport.h"
#include "platform/HaltSwitch.h"
#include "ui/widgets/FormBase.h"
#include "ui/widgets/ListView.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <map>
#include <memory>

namespace korvane {

class TForm17 : public FormBase
{
public:
    explicit TForm17(Forms& forms);
    ~TForm17() override;

    QLabel* Label1;       // "Game"
    QComboBox* ComboBox1; // the game whose list is imported
    QPushButton* Button1; // "import"
    QPushButton* Button2; // "stop"
    ListView* ListView1;  // one row per master: "Master", "Result"
    QProgressBar* ProgressBar1;
    QLabel* Label2; // what the import is doing, then what became of the list
    QLabel* Label3; // the Breakthrough note

    const MasterGame& chosenGame() const;
    bool importing() const { return m_halt != nullptr; }

    void Button1Click();
    void Button2Click();
    void ComboBox1Change();

    // What the worker's view carries here.
    void masterEnded(const MasterResult& result);
    void resolving(int ended, int total);
    void importEnded(const ImportOutcome& outcome);

    // How long the import waits for masters and query ports (tests shorten them).
    FetchOptions fetchOptions;
    ResolveOptions resolveOptions;

protected:
    void FormHide() override;

private:
    void buildControls();
    void connectHandlers();
    // The run ends here: its worker halted if it still runs, the buttons back.
    void endRun();
    // The list written, unless it is the current list and being scanned.
    bool writeList(const MasterGame& game, const ImportOutcome& outcome);

    std::shared_ptr<HaltSwitch> m_halt; // the running import's, none between imports
    const MasterGame* m_game = nullptr; // the running import's game
    std::map<std::string, int> m_rows;  // master text -> row of ListView1
    int m_mastersEnded = 0;
    // Kept from one import to the next: a server whose answer lacks its game
    // port once keeps the one it gave before.
    std::shared_ptr<QueryPortCache> m_cache = std::make_shared<QueryPortCache>();
};

} // namespace korvane

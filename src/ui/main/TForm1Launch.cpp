// Main window: starting the game joined to the selected server.
#include "ui/main/TForm1.h"

#include "admin/PasswordFile.h"
#include "platform/Convert.h"
#include "platform/Latin1.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/TextFile.h"
#include "ui/admin/TForm11.h"
#include "ui/lists/TForm3.h"
#include "ui/main/Forms.h"
#include "ui/widgets/TForm15.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace korvane {

namespace {

struct Game
{
    const std::string& path;
    const char* requiredName;
    const char* startError;
    const char* pathError;
};

std::string gameCommandLine(const AppState& state, const std::string& password)
{
    return "connect " + state.SelectedIP + ":" + state.SelectedPort + " +name " +
           quoteWindowsArgument(state.Nickname) + " +password " + quoteWindowsArgument(password) +
           " +set cl_playintro 0 +set ui_skip_eamovie 1 +set ui_skip_titlescreen 1 +set ui_skip_legalscreen "
           "1";
}

// Handles events for one poll interval, sleeping in the event loop rather
// than spinning. False once the application is quitting.
bool processEventsForAWhile()
{
    constexpr int PollIntervalMs = 30;
    constexpr int PollAgain = 1;
    QEventLoop loop;
    QTimer::singleShot(PollIntervalMs, &loop, [&loop] { loop.exit(PollAgain); });
    // Application exit ends every nested loop with another code, and an exit
    // already under way makes exec() return -1 at once.
    return loop.exec() == PollAgain && !QCoreApplication::closingDown();
}

} // namespace

void TForm1::ToolButton1Click()
{
    Timer1->stop();
    if (forms().Form15->isVisible()) forms().Form15->hide();
    if (forms().Form11->isVisible()) forms().Form11->hide();

    if (state.SelectedIP.empty()) {
        dialogs().message(this, QStringLiteral("Please select a server !"));
        return;
    }

    // A password from the file serves this launch only; the setting stays empty.
    std::string password = state.Password;
    if (password.empty())
        password = FindServerPassword(PasswordKey(state.SelectedIP, state.SelectedPort)).value_or("");

    const std::string label = toBytes(Label4->text());
    const Game medal{state.AAPath, "MOHAA.exe", "Error starting MoHAA !", "Please select MoHAA.exe"};
    const Game spearhead{state.SHPath, "moh_spearhead.exe", "Error starting Spearhead !",
                         "Please select Spearhed.exe !"};
    const Game* game = nullptr;
    if (containsNoCase(label, "Medal"))
        game = &medal;
    else if (containsNoCase(label, "Spearhead"))
        game = &spearhead;
    else
        return;

    const std::string executable = nativePath(game->path);
    if (!fileExists(executable) || !containsNoCase(game->path, game->requiredName)) {
        dialogs().message(this, QString::fromLatin1(game->pathError));
        forms().Form3->showInFront();
        return;
    }

    const std::unique_ptr<Process> process =
        Process::start(executable, gameCommandLine(state, password), nativePath(folderOf(game->path)));
    if (!process) {
        dialogs().message(this, QString::fromLatin1(game->startError));
        return;
    }

    // Every window keeps working meanwhile, including another connect, whose
    // wait then runs inside this one. Nothing of this window is used after
    // the wait: the program may be closing.
    while (processEventsForAWhile() && process->exitStatus() == StillActive) {
    }
}

} // namespace korvane

// Main window: starting the game joined to the selected server.
#include "ui/main/TForm1.h"

#include "admin/PasswordFile.h"
#include "launch/GameLaunch.h"
#include "platform/Charset.h"
#include "platform/Process.h"
#include "ui/admin/TForm11.h"
#include "ui/lists/TForm3.h"
#include "ui/main/Forms.h"
#include "ui/widgets/TForm15.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace korvane {

namespace {

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

    if (isBlankHost(state.SelectedIP)) {
        dialogs().message(this, QStringLiteral("Please select a server !"));
        return;
    }

    // A password from the file serves this launch only; the setting stays empty.
    std::string password = state.Password;
    if (password.empty())
        password = FindServerPassword(PasswordKey(state.SelectedIP, state.SelectedPort)).value_or("");

    LaunchRequest request;
    request.game = gameOfLabel(toBytes(Label4->text()));
    request.ip = state.SelectedIP;
    request.port = state.SelectedPort;
    request.nickname = state.Nickname;
    request.password = password;
    request.aaPath = state.AAPath;
    request.shPath = state.SHPath;
    const auto outcome = planLaunch(request);
    if (const auto* refused = std::get_if<LaunchRefusal>(&outcome)) {
        dialogs().message(this, toQString(refused->message));
        if (refused->showOptions) forms().Form3->showInFront();
        return;
    }
    const auto* plan = std::get_if<LaunchPlan>(&outcome);
    if (!plan) return;

    int error = 0;
    const std::unique_ptr<Process> process =
        plan->native ? Process::startNative(plan->program, plan->arguments, plan->workingDirectory, &error)
                     : Process::start(plan->program, plan->windowsArguments, plan->workingDirectory);
    if (!process) {
        dialogs().message(this, toQString(plan->native ? plan->startError + ": " + systemErrorText(error)
                                                       : plan->startError));
        return;
    }

    // Every window keeps working meanwhile, including another connect, whose
    // wait then runs inside this one. Nothing of this window is used after
    // the wait unless the game has ended: the program may be closing.
    int status = StillActive;
    while (processEventsForAWhile() && (status = process->exitStatus()) == StillActive) {
    }
    // The engine says why it could not start only on its own console.
    if (plan->native && status != StillActive && status != 0)
        dialogs().message(this, toQString(engineExitMessage(status)));
}

} // namespace korvane

#include "launch/GameLaunch.h"

#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/TextFile.h"

#include <algorithm>

namespace korvane {

namespace {

const char* const EngineStem = "openmohaa";
const char* const LauncherPrefix = "launch_openmohaa_";
const char* const AppImageEnding = ".appimage";

// One Windows executable: the file-name text its path must hold and the
// messages of its failures, exactly as the Windows route has always said them.
struct WindowsGame
{
    const char* requiredName;
    const char* startError;
    const char* pathError;
};
const WindowsGame AlliedAssaultExe{"MOHAA.exe", "Error starting MoHAA !", "Please select MoHAA.exe"};
const WindowsGame SpearheadExe{"moh_spearhead.exe", "Error starting Spearhead !",
                               "Please select Spearhed.exe !"};

const char* launcherWord(Game game)
{
    switch (game) {
    case Game::AlliedAssault:
        return "base";
    case Game::Spearhead:
        return "spearhead";
    case Game::Breakthrough:
        return "breakthrough";
    case Game::None:
        break;
    }
    return "";
}

const char* gameName(Game game)
{
    switch (game) {
    case Game::AlliedAssault:
        return "Allied Assault";
    case Game::Spearhead:
        return "Spearhead";
    case Game::Breakthrough:
        return "Breakthrough";
    case Game::None:
        break;
    }
    return "";
}

bool isSuffixWord(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

using Outcome = std::variant<std::monostate, LaunchPlan, LaunchRefusal>;

LaunchRefusal refusal(std::string message)
{
    return LaunchRefusal{std::move(message), true};
}

// The launcher of another game started in its stead: the right launcher
// beside it, else the engine beside it.
std::variant<std::string, LaunchRefusal> programForGame(const std::string& program, const EngineName& name,
                                                        Game game)
{
    if (name.form != EngineForm::Launcher || name.launcherGame == game) return program;
    const std::string folder = folderOf(program);
    const std::string launcher = std::string(LauncherPrefix) + launcherWord(game) + name.suffix;
    const std::string engine = EngineStem + name.suffix;
    for (const std::string& candidate : {launcher, engine}) {
        const std::string path = folder + "/" + candidate;
        if (inspectProgram(path) != ProgramFile::Missing) return path;
    }
    return refusal(namePartOf(program) + " starts " + gameName(name.launcherGame) + " only, and neither " +
                   launcher + " nor " + engine +
                   " is beside it. Please select the launcher or the engine for " + gameName(game) + ".");
}

Outcome nativePlan(const LaunchRequest& request, const std::string& path)
{
    const std::string given = nativePath(path);
    const auto chosen = programForGame(given, engineNameOf(given), request.game);
    if (const auto* refused = std::get_if<LaunchRefusal>(&chosen)) return *refused;
    const std::string& program = std::get<std::string>(chosen);
    switch (inspectProgram(program)) {
    case ProgramFile::Missing:
        return refusal(program + " was not found. Please select the OpenMoHAA engine.");
    case ProgramFile::Folder:
        return refusal(program + " is a folder. Please select the openmohaa program or a launch_openmohaa "
                                 "launcher inside it.");
    case ProgramFile::NotExecutable:
        return refusal(program + " is not executable. Please select the OpenMoHAA engine, or make this file "
                                 "executable (chmod +x).");
    case ProgramFile::ScriptWithoutRunBit:
        return refusal(program +
                       " is a script without its run bit. Make it executable (chmod +x) and connect "
                       "again.");
    case ProgramFile::Executable:
        break;
    }
    LaunchPlan plan;
    plan.native = true;
    plan.program = program;
    plan.arguments =
        engineArguments(request.game, request.ip, request.port, request.nickname, request.password);
    plan.workingDirectory = folderOf(program);
    plan.startError = "Error starting OpenMoHAA";
    return plan;
}

bool windowsPathPasses(const std::string& path, const WindowsGame& game)
{
    return fileExists(nativePath(path)) && containsNoCase(path, game.requiredName);
}

LaunchPlan windowsPlan(const LaunchRequest& request, const std::string& path, const WindowsGame& game)
{
    LaunchPlan plan;
    plan.program = nativePath(path);
    plan.windowsArguments = windowsCommandLine(request.ip, request.port, request.nickname, request.password);
    plan.workingDirectory = nativePath(folderOf(path));
    plan.startError = game.startError;
    return plan;
}

bool namesEngine(const std::string& path)
{
    return engineNameOf(nativePath(path)).form != EngineForm::None;
}

// The server's game's own path first. One engine serves every game, so where
// that path is neither the engine nor the Windows executable, another path
// that names the engine does.
Outcome planFor(const LaunchRequest& request, const std::string& own, const std::string& other,
                const WindowsGame* windows)
{
    if (namesEngine(own)) return nativePlan(request, own);
    if (windows && windowsPathPasses(own, *windows)) return windowsPlan(request, own, *windows);
    if (namesEngine(other)) return nativePlan(request, other);
    if (windows) return refusal(windows->pathError);
    return refusal(
        "Breakthrough servers can only be joined with the OpenMoHAA engine. Please select openmohaa or "
        "a launch_openmohaa launcher as a game path.");
}

} // namespace

Game gameOfLabel(const std::string& label)
{
    if (containsNoCase(label, "Medal")) return Game::AlliedAssault;
    if (containsNoCase(label, "Spearhead")) return Game::Spearhead;
    if (containsNoCase(label, "Breakthrough")) return Game::Breakthrough;
    return Game::None;
}

int targetGame(Game game)
{
    switch (game) {
    case Game::Spearhead:
        return 1;
    case Game::Breakthrough:
        return 2;
    case Game::AlliedAssault:
    case Game::None:
        break;
    }
    return 0;
}

EngineName engineNameOf(const std::string& path)
{
    const std::string name = namePartOf(path);
    const std::string lower = lowerCase(name);
    if (lower.ends_with(AppImageEnding) && lower.find(EngineStem) != std::string::npos)
        return {EngineForm::AppImage, Game::None, {}};
    const size_t dot = lower.find('.');
    const std::string stem = lower.substr(0, dot);
    std::string suffix;
    if (dot != std::string::npos) {
        const std::string word = lower.substr(dot + 1);
        if (!isSuffixWord(word) || word == "exe") return {};
        suffix = name.substr(dot);
    }
    if (stem == EngineStem) return {EngineForm::Engine, Game::None, suffix};
    for (const Game game : {Game::AlliedAssault, Game::Spearhead, Game::Breakthrough})
        if (stem == std::string(LauncherPrefix) + launcherWord(game))
            return {EngineForm::Launcher, game, suffix};
    return {};
}

std::string windowsCommandLine(const std::string& ip, const std::string& port, const std::string& nickname,
                               const std::string& password)
{
    return "connect " + ip + ":" + port + " +name " + quoteWindowsArgument(nickname) + " +password " +
           quoteWindowsArgument(password) +
           " +set cl_playintro 0 +set ui_skip_eamovie 1 +set ui_skip_titlescreen 1 +set ui_skip_legalscreen "
           "1";
}

std::vector<std::string> engineArguments(Game game, const std::string& ip, const std::string& port,
                                         const std::string& nickname, const std::string& password)
{
    std::vector<std::string> arguments{"+set", "com_target_game", std::to_string(targetGame(game))};
    if (!nickname.empty()) arguments.insert(arguments.end(), {"+set", "name", nickname});
    if (!password.empty()) arguments.insert(arguments.end(), {"+set", "password", password});
    arguments.insert(arguments.end(), {"+set", "cl_playintro", "0", "+set", "ui_skip_eamovie", "1", "+set",
                                       "ui_skip_titlescreen", "1", "+set", "ui_skip_legalscreen", "1"});
    arguments.insert(arguments.end(), {"+connect", ip + ":" + port});
    return arguments;
}

std::variant<std::monostate, LaunchPlan, LaunchRefusal> planLaunch(const LaunchRequest& request)
{
    switch (request.game) {
    case Game::AlliedAssault:
        return planFor(request, request.aaPath, request.shPath, &AlliedAssaultExe);
    case Game::Spearhead:
        return planFor(request, request.shPath, request.aaPath, &SpearheadExe);
    case Game::Breakthrough:
        return planFor(request, request.aaPath, request.shPath, nullptr);
    case Game::None:
        break;
    }
    return std::monostate{};
}

std::string engineExitMessage(int status)
{
    if (status == 0) return {};
    return "OpenMoHAA ended with exit code " + std::to_string(status) +
           ". If it stopped at once, check that the game's data folders (main, mainta, maintt) are beside "
           "the "
           "engine.";
}

} // namespace korvane

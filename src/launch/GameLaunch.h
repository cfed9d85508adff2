#pragma once
// Which program "connect" starts, with which arguments, for the game a server
// runs: the Windows executables with their one command line (via wine where
// needed), or the OpenMoHAA engine, which runs all three games natively and
// is told the game on its command line.

#include <string>
#include <variant>
#include <vector>

namespace korvane {

enum class Game { None, AlliedAssault, Spearhead, Breakthrough };

// The game of the details' game label: "Medal" (any case) first, then
// "Spearhead", then "Breakthrough"; None for anything else.
Game gameOfLabel(const std::string& label);

// The engine's com_target_game: 0, 1 or 2.
int targetGame(Game game);

// The forms the engine comes in, told by the file name alone (any case):
// the engine "openmohaa", its launchers "launch_openmohaa_base",
// "launch_openmohaa_spearhead" and "launch_openmohaa_breakthrough" (each
// possibly with an architecture suffix such as ".x86_64"), or an AppImage
// whose name holds "openmohaa". Windows builds (".exe") are none of these.
enum class EngineForm { None, Engine, Launcher, AppImage };

struct EngineName
{
    EngineForm form = EngineForm::None;
    Game launcherGame = Game::None; // the game a launcher starts
    std::string suffix;             // ".x86_64", or ""
};

EngineName engineNameOf(const std::string& path);

// The Windows games' one argument string: connect, the address, the quoted
// nickname and password, the four settings that skip the intro.
std::string windowsCommandLine(const std::string& ip, const std::string& port, const std::string& nickname,
                               const std::string& password);

// The engine's arguments: the target game first, then the nickname and the
// password (each left out when empty, so the engine keeps its own), the same
// four settings, and connect last, once everything is set.
std::vector<std::string> engineArguments(Game game, const std::string& ip, const std::string& port,
                                         const std::string& nickname, const std::string& password);

struct LaunchRequest
{
    Game game = Game::None;
    std::string ip;
    std::string port;
    std::string nickname;
    std::string password; // for this launch
    std::string aaPath;
    std::string shPath;
};

struct LaunchPlan
{
    bool native = false;
    std::string program;                // a path of this system
    std::string windowsArguments;       // the Windows route's command line
    std::vector<std::string> arguments; // the engine's arguments
    std::string workingDirectory;
    std::string startError; // said when the program cannot be started
};

// Why nothing starts: the message, and whether the Options window then shows
// so the path can be put right.
struct LaunchRefusal
{
    std::string message;
    bool showOptions = true;
};

// Nothing (monostate) for Game::None. Reads the file system for the path test.
std::variant<std::monostate, LaunchPlan, LaunchRefusal> planLaunch(const LaunchRequest& request);

// What to say when the engine has ended with this status ("" for 0): a
// launcher that stops at once usually misses the game data.
std::string engineExitMessage(int status);

} // namespace korvane

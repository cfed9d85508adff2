// Which program connect starts for each game and game path, and where an
// installed engine is found.
#include "launch/GameLaunch.h"
#include "launch/EngineSearch.h"
#include "support/DataFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace korvane;

namespace {

// A file of the folder with its mode; a program when executable.
void put(const test::DataFolder& folder, const std::string& name, mode_t mode,
         const std::string& bytes = "\177ELF")
{
    folder.write(name, bytes);
    ::chmod(folder.file(name).c_str(), mode);
}

} // namespace

TEST(GameLaunch, EngineNamesByFileName)
{
    struct Case
    {
        std::string path;
        EngineForm form;
        Game launcherGame;
    };
    const Case cases[] = {
        {"/usr/games/openmohaa", EngineForm::Engine, Game::None},
        {"/g/OpenMoHAA.x86_64", EngineForm::Engine, Game::None},
        {"/g/launch_openmohaa_base.x86_64", EngineForm::Launcher, Game::AlliedAssault},
        {"/g/launch_openmohaa_spearhead", EngineForm::Launcher, Game::Spearhead},
        {"/g/LAUNCH_OPENMOHAA_BREAKTHROUGH.arm64", EngineForm::Launcher, Game::Breakthrough},
        {"/a/OpenMoHAA-0.82.1-x86_64.AppImage", EngineForm::AppImage, Game::None},
    };
    for (const Case& c : cases) {
        const EngineName name = engineNameOf(c.path);
        EXPECT_EQ(name.form, c.form) << c.path;
        EXPECT_EQ(name.launcherGame, c.launcherGame) << c.path;
    }
    // Windows builds, the server, archives, look-alikes and folders named after the engine's data.
    for (const char* path : {"/g/openmohaa.exe", "/g/launch_openmohaa_base.exe", "/g/omohaaded.x86_64",
                             "/g/openmohaa-linux.tar.gz", "/g/openmohaa.x86_64.zip",
                             "/g/launch_openmohaa_demo", "/g/Game.AppImage", ""})
        EXPECT_EQ(engineNameOf(path).form, EngineForm::None) << path;
}

// The choices the window tests leave out; the engine's refusals and the
// launchers beside each other are joined through the main window there.
TEST(GameLaunch, ProgramForEachGameAndPath)
{
    test::DataFolder folder;
    put(folder, "win/moh_spearhead.exe", 0644);
    put(folder, "win/openmohaa.exe", 0644);
    put(folder, "eng/launch_openmohaa_base.x86_64", 0755);
    put(folder, "eng/launch_openmohaa_spearhead.x86_64", 0755);
    put(folder, "eng/openmohaa.x86_64", 0755);
    put(folder, "lone/launch_openmohaa_base", 0755);
    const auto f = [&](const std::string& name) { return name.empty() ? name : folder.file(name); };

    struct Case
    {
        const char* why;
        Game game;
        std::string aa, sh;
        std::string program; // started, "" when nothing is
        bool native;
        std::string message; // the refusal's, with <f> for the folder
    };
    const Case cases[] = {
        {"a Windows build of the engine goes the Windows way", Game::AlliedAssault, "win/openmohaa.exe", "",
         "win/openmohaa.exe", false, ""},
        {"no launcher of the game beside it: the engine", Game::Breakthrough,
         "eng/launch_openmohaa_base.x86_64", "", "eng/openmohaa.x86_64", true, ""},
        {"one engine serves a game whose path is empty", Game::AlliedAssault, "", "eng/openmohaa.x86_64",
         "eng/openmohaa.x86_64", true, ""},
        {"the game's own Windows path comes first", Game::Spearhead, "eng/openmohaa.x86_64",
         "win/moh_spearhead.exe", "win/moh_spearhead.exe", false, ""},
        {"a launcher alone for another game", Game::Spearhead, "", "lone/launch_openmohaa_base", "", false,
         "launch_openmohaa_base starts Allied Assault only, and neither launch_openmohaa_spearhead nor "
         "openmohaa is beside it. Please select the launcher or the engine for Spearhead."},
        {"an engine that is gone", Game::AlliedAssault, "gone/openmohaa", "", "", false,
         "<f>/gone/openmohaa was not found. Please select the OpenMoHAA engine."},
    };
    for (const Case& c : cases) {
        LaunchRequest request{c.game, "127.0.0.1", "12203", "Sniper", "", f(c.aa), f(c.sh)};
        const auto outcome = planLaunch(request);
        const auto* plan = std::get_if<LaunchPlan>(&outcome);
        const auto* refused = std::get_if<LaunchRefusal>(&outcome);
        EXPECT_EQ(plan ? plan->program : "", f(c.program)) << c.why;
        if (plan) {
            EXPECT_EQ(plan->native, c.native) << c.why;
            EXPECT_EQ(plan->workingDirectory, f(c.program.substr(0, c.program.rfind('/')))) << c.why;
        }
        std::string message = c.message;
        if (message.rfind("<f>", 0) == 0) message.replace(0, 3, folder.path().toStdString());
        EXPECT_EQ(refused ? refused->message : "", message) << c.why;
    }
}

TEST(EngineSearch, FirstFolderWithAProgramDecides)
{
    test::DataFolder home;
    put(home, "usrgames/openmohaa", 0755);
    put(home, "Applications/OpenMoHAA-x86_64.AppImage", 0755);
    put(home, ".local/share/openmohaa/openmohaa-0.82.1/launch_openmohaa_base.x86_64", 0755);
    put(home, ".local/share/openmohaa/openmohaa-0.82.1/launch_openmohaa_spearhead.x86_64", 0644);
    put(home, ".local/share/openmohaa/openmohaa-0.82.1/openmohaa.x86_64", 0755);
    put(home, "Downloads/launch_openmohaa_spearhead", 0644);
    const std::string h = home.path().toStdString();
    // What is found, under home.
    const auto found = [&](Game game, const SearchEnvironment& environment) {
        const std::string path = findEngine(game, engineSearchFolders(environment));
        return path.rfind(h + "/", 0) == 0 ? path.substr(h.size() + 1) : path;
    };
    EXPECT_EQ(found(Game::Spearhead, {h, "/nonexistent:" + h + "/usrgames", ""}), "usrgames/openmohaa")
        << "a package on the PATH first";
    EXPECT_EQ(found(Game::AlliedAssault, {h, "/nonexistent", ""}), "Applications/OpenMoHAA-x86_64.AppImage")
        << "then the AppImage places";
    EXPECT_EQ(found(Game::Spearhead, {h + "/nowhere", "", h + "/.local/share"}),
              ".local/share/openmohaa/openmohaa-0.82.1/openmohaa.x86_64")
        << "a launcher that cannot run is passed over for the engine";
    EXPECT_EQ(found(Game::Spearhead, {h + "/nowhere", "", ""}), "") << "nothing that can run";
}

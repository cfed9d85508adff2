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
         const std::string& bytes = "\x7f"
                                    "ELF")
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
        // Windows builds, the server, archives, look-alikes and folders named after the engine's data.
        {"/g/openmohaa.exe", EngineForm::None, Game::None},
        {"/g/launch_openmohaa_base.exe", EngineForm::None, Game::None},
        {"/g/omohaaded.x86_64", EngineForm::None, Game::None},
        {"/g/openmohaa-linux.tar.gz", EngineForm::None, Game::None},
        {"/g/openmohaa.x86_64.zip", EngineForm::None, Game::None},
        {"/g/launch_openmohaa_demo", EngineForm::None, Game::None},
        {"/g/Game.AppImage", EngineForm::None, Game::None},
        {"", EngineForm::None, Game::None},
    };
    for (const Case& c : cases) {
        const EngineName name = engineNameOf(c.path);
        EXPECT_EQ(name.form, c.form) << c.path;
        EXPECT_EQ(name.launcherGame, c.launcherGame) << c.path;
    }
}

TEST(GameLaunch, ProgramForEachGameAndPath)
{
    test::DataFolder folder;
    put(folder, "win/MOHAA.exe", 0644);
    put(folder, "win/moh_spearhead.exe", 0644);
    put(folder, "win/openmohaa.exe", 0644);
    put(folder, "eng/launch_openmohaa_base.x86_64", 0755);
    put(folder, "eng/launch_openmohaa_spearhead.x86_64", 0755);
    put(folder, "eng/openmohaa.x86_64", 0755);
    put(folder, "lone/launch_openmohaa_base", 0755);
    put(folder, "app/OpenMoHAA-0.82.1-x86_64.AppImage", 0755);
    put(folder, "bad/openmohaa", 0644);
    put(folder, "bad/launch_openmohaa_spearhead", 0644, "#!/bin/sh\n");
    folder.write("dir/openmohaa/main/pak0.pk3", "");
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
    const std::string refusedBreakthrough =
        "Breakthrough servers can only be joined with the OpenMoHAA engine. "
        "Please select openmohaa or a launch_openmohaa launcher as a game path.";
    const Case cases[] = {
        {"the Windows game as ever", Game::AlliedAssault, "win/MOHAA.exe", "", "win/MOHAA.exe", false, ""},
        {"a Windows build of the engine goes the Windows way", Game::AlliedAssault, "win/openmohaa.exe", "",
         "win/openmohaa.exe", false, ""},
        {"the game's own launcher", Game::AlliedAssault, "eng/launch_openmohaa_base.x86_64", "",
         "eng/launch_openmohaa_base.x86_64", true, ""},
        {"another game's launcher: the right one beside it", Game::Spearhead, "",
         "eng/launch_openmohaa_base.x86_64", "eng/launch_openmohaa_spearhead.x86_64", true, ""},
        {"no launcher of the game beside it: the engine", Game::Breakthrough,
         "eng/launch_openmohaa_base.x86_64", "", "eng/openmohaa.x86_64", true, ""},
        {"Breakthrough from the Spearhead path", Game::Breakthrough, "win/MOHAA.exe",
         "app/OpenMoHAA-0.82.1-x86_64.AppImage", "app/OpenMoHAA-0.82.1-x86_64.AppImage", true, ""},
        {"one engine serves a game whose path is empty", Game::AlliedAssault, "", "eng/openmohaa.x86_64",
         "eng/openmohaa.x86_64", true, ""},
        {"the game's own Windows path comes first", Game::Spearhead, "eng/openmohaa.x86_64",
         "win/moh_spearhead.exe", "win/moh_spearhead.exe", false, ""},
        {"Breakthrough has no Windows route", Game::Breakthrough, "win/MOHAA.exe", "win/moh_spearhead.exe",
         "", false, refusedBreakthrough},
        {"the game folder alone", Game::AlliedAssault, "win", "", "", false, "Please select MoHAA.exe"},
        {"a launcher alone for another game", Game::Spearhead, "", "lone/launch_openmohaa_base", "", false,
         "launch_openmohaa_base starts Allied Assault only, and neither launch_openmohaa_spearhead nor "
         "openmohaa is beside it. Please select the launcher or the engine for Spearhead."},
        {"a folder named like the engine", Game::AlliedAssault, "dir/openmohaa", "", "", false,
         "<f>/dir/openmohaa is a folder. Please select the openmohaa program or a launch_openmohaa launcher "
         "inside it."},
        {"an engine file that is not executable", Game::AlliedAssault, "bad/openmohaa", "", "", false,
         "<f>/bad/openmohaa is not executable. Please select the OpenMoHAA engine, or make this file "
         "executable "
         "(chmod +x)."},
        {"a launcher script without its run bit", Game::Spearhead, "", "bad/launch_openmohaa_spearhead", "",
         false,
         "<f>/bad/launch_openmohaa_spearhead is a script without its run bit. Make it executable (chmod +x) "
         "and "
         "connect again."},
        {"an engine that is gone", Game::AlliedAssault, "gone/openmohaa", "", "", false,
         "<f>/gone/openmohaa was not found. Please select the OpenMoHAA engine."},
        {"no game", Game::None, "eng/openmohaa.x86_64", "", "", false, ""},
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

    struct Case
    {
        const char* why;
        SearchEnvironment environment;
        Game game;
        std::string found; // under home, "" for none
    };
    const std::string data = h + "/.local/share";
    const std::string release = ".local/share/openmohaa/openmohaa-0.82.1/";
    const Case cases[] = {
        {"a package on the PATH first",
         {h, "/nonexistent:" + h + "/usrgames", ""},
         Game::Spearhead,
         "usrgames/openmohaa"},
        {"then the AppImage places",
         {h, "/nonexistent", ""},
         Game::AlliedAssault,
         "Applications/OpenMoHAA-x86_64.AppImage"},
        {"then a release unpacked in the engine's data folder: the game's launcher",
         {h + "/nowhere", "", data},
         Game::AlliedAssault,
         release + "launch_openmohaa_base.x86_64"},
        {"a launcher that cannot run is passed over for the engine",
         {h + "/nowhere", "", data},
         Game::Spearhead,
         release + "openmohaa.x86_64"},
        {"nothing that can run", {h + "/nowhere", "", ""}, Game::Spearhead, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findEngine(c.game, engineSearchFolders(c.environment)),
                  c.found.empty() ? "" : h + "/" + c.found)
            << c.why;
}

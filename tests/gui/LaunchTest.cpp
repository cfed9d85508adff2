// "connect": the game's command line, its password, the checks and the wait;
// the Options window's search for an installed engine.
#include "support/FakeGame.h"
#include "support/FormsFixture.h"
#include "support/ScopedPath.h"
#include "ui/admin/TForm11.h"
#include "ui/lists/TForm3.h"
#include "ui/widgets/TForm15.h"

#include <QDir>
#include <QTimer>

#include <fstream>
#include <map>
#include <optional>
#include <sys/stat.h>

using namespace korvane;
using korvane::test::FakeGame;

namespace {

const std::vector<std::string> Header = {"// Korvane 1.11 password list", "//", ""};
const std::vector<std::string> SetOptions = {
    "+set", "cl_playintro",        "0", "+set", "ui_skip_eamovie",     "1",
    "+set", "ui_skip_titlescreen", "1", "+set", "ui_skip_legalscreen", "1"};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

class Launch : public test::FormsFixture
{
protected:
    // No wine may be found: an .exe that cannot run must fail to start.
    test::ScopedPath noWine{folder.file("nobin")};
    std::string gameDir = folder.file("Program Files/MOHAA");

    void SetUp() override
    {
        writeData({"Omaha", "127.0.0.1", "12203"}, test::config({{1, "timer on"}}));
        QDir().mkpath(QString::fromStdString(gameDir));
        start();
        ASSERT_TRUE(form1().Timer1->isActive());
        AppState& s = form1().state;
        s.SelectedIP = "127.0.0.1";
        s.SelectedPort = "12203";
        s.Nickname = "Sniper";
    }

    FakeGame medalGame(const std::string& name = "MOHAA.exe", int code = 0, bool executable = true)
    {
        const FakeGame game = FakeGame::write(gameDir, name, code, executable);
        form1().Label4->setText(QStringLiteral("Medal of Honor"));
        form1().state.AAPath = game.path;
        return game;
    }
    void connect()
    {
        dialogs.clear();
        form1().ToolButton1->click();
    }
    std::vector<std::string> expectedArgv(const std::vector<std::string>& middle)
    {
        return std::vector<std::string>{gameDir, "connect", "127.0.0.1:12203"} + middle + SetOptions;
    }
};

// How the game splits the line is the process tests' business; here, what goes into it.
TEST_F(Launch, NicknameAndPasswordReachTheGameExactlyAsTyped)
{
    struct Case
    {
        const char* name;
        std::string nickname;
        std::string password;
        std::vector<std::string> argv; // after the address
    };
    const Case cases[] = {
        {"blanks stay inside the quotes", "Big Al", "a b",
         std::vector<std::string>{"+name", "Big Al", "+password", "a b"} + SetOptions},
        // Quotes and a trailing backslash are quoted, so the game gets exactly what was typed.
        {"quote in the nickname", "Bob\"x", "pw",
         std::vector<std::string>{"+name", "Bob\"x", "+password", "pw"} + SetOptions},
        {"backslash ends the nickname", "Sniper\\", "pw",
         std::vector<std::string>{"+name", "Sniper\\", "+password", "pw"} + SetOptions},
    };
    for (const Case& c : cases) {
        const FakeGame game = medalGame();
        form1().state.Nickname = c.nickname;
        form1().state.Password = c.password;
        connect();
        EXPECT_TRUE(dialogs.shown().isEmpty()) << c.name;
        EXPECT_EQ(game.recorded(), std::vector<std::string>({gameDir, "connect", "127.0.0.1:12203"}) + c.argv)
            << c.name;
        EXPECT_EQ(form1().state.Password, c.password) << c.name;
    }
}

TEST_F(Launch, PasswordFromTheSettingOrElseTheLastServerRecord)
{
    struct Case
    {
        const char* name;
        std::string setting;
        std::optional<std::vector<std::string>> file; // records after the header; none: no file
        std::string used;
    };
    const std::string k = "127.0.0.112203";
    const Case cases[] = {
        {"setting wins, file never read", "mine", std::nullopt, "mine"},
        {"setting wins over a record", "mine", std::vector<std::string>{k, "stored"}, "mine"},
        {"last server record, not the rcon one", "",
         std::vector<std::string>{k, "old", k, "new", k, "rcon:admin", "127.0.0.11", "other"}, "new"},
        {"only an rcon record", "", std::vector<std::string>{k, "rcon:admin"}, ""},
        {"no record", "", std::vector<std::string>{}, ""},
    };
    for (const Case& c : cases) {
        if (c.file)
            folder.writeLines("Passwords.txt", Header + *c.file);
        else
            QFile::remove(QString::fromStdString(folder.file("Passwords.txt")));
        const FakeGame game = medalGame();
        form1().state.Password = c.setting;
        connect();
        EXPECT_TRUE(dialogs.shown().isEmpty()) << c.name;
        EXPECT_EQ(game.recorded(), expectedArgv({"+name", "Sniper", "+password", c.used})) << c.name;
        EXPECT_EQ(form1().state.Password, c.setting) << c.name;
    }
}

TEST_F(Launch, GameChosenByTheLabelAndItsPath)
{
    struct Case
    {
        QString label;
        std::string aaName;
        std::string shName;
        const char* started; // nullptr: nothing starts
    };
    const Case cases[] = {
        {"Medal of Honor", "MOHAA.exe", "moh_spearhead.exe", "MOHAA.exe"},
        {"MEDAL", "MOHAA.exe", "moh_spearhead.exe", "MOHAA.exe"},
        {"Spearhead", "MOHAA.exe", "moh_spearhead.exe", "moh_spearhead.exe"},
        {"spearHEAD", "MOHAA.exe", "MOH_SPEARHEAD.EXE", "MOH_SPEARHEAD.EXE"},
        {"Medal Spearhead", "mohaa.exe", "moh_spearhead.exe", "mohaa.exe"},
        {"", "MOHAA.exe", "moh_spearhead.exe", nullptr},
        {"Call of Duty", "MOHAA.exe", "moh_spearhead.exe", nullptr},
    };
    for (const Case& c : cases) {
        const FakeGame aa = FakeGame::write(gameDir, c.aaName, 0);
        const FakeGame sh = FakeGame::write(gameDir, c.shName, 0);
        QFile::remove(QString::fromStdString(aa.record));
        QFile::remove(QString::fromStdString(sh.record));
        form1().state.AAPath = aa.path;
        form1().state.SHPath = sh.path;
        form1().Label4->setText(c.label);
        connect();
        const std::string label = c.label.toStdString();
        EXPECT_TRUE(dialogs.shown().isEmpty()) << label;
        EXPECT_EQ(aa.ran(), c.started && c.aaName == c.started) << label;
        EXPECT_EQ(sh.ran(), c.started && c.shName == c.started) << label;
        EXPECT_FALSE(forms->Form3->isVisible()) << label;
    }
}

TEST_F(Launch, RefusalsAndTheirMessages)
{
    struct Case
    {
        const char* name;
        std::function<void()> prepare;
        QString kind;
        QString text; // empty: no box at all
        bool optionsShown;
    };
    const auto medal = [this](const std::string& path) {
        form1().Label4->setText(QStringLiteral("Medal of Honor"));
        form1().state.AAPath = path;
    };
    const auto spearhead = [this](const std::string& path) {
        form1().Label4->setText(QStringLiteral("Spearhead"));
        form1().state.SHPath = path;
    };
    const std::string cannotRunAA = FakeGame::write(gameDir, "MOHAA.exe", 0, false).path;
    const std::string cannotRunSH = FakeGame::write(gameDir, "moh_spearhead.exe", 0, false).path;
    const std::string otherExe = FakeGame::write(gameDir, "game.exe", 0).path;
    // The Allied Assault path names an engine file for the server's game: a
    // folder when content is null, a stand-in exiting with 1 when it is empty.
    const auto engine = [&](const QString& label, const std::string& path, const char* content, mode_t mode) {
        const std::string dir = path.substr(0, path.rfind('/'));
        QDir().mkpath(QString::fromStdString(content ? dir : path));
        if (content && *content) {
            std::ofstream(path) << content;
            ::chmod(path.c_str(), mode);
        } else if (content) {
            FakeGame::write(dir, path.substr(dir.size() + 1), 1, (mode & S_IXUSR) != 0);
        }
        form1().Label4->setText(label);
        form1().state.AAPath = path;
        form1().state.SHPath.clear();
    };
    const std::string e[] = {gameDir + "/e0/openmohaa",
                             gameDir + "/e1/openmohaa",
                             gameDir + "/e2/launch_openmohaa_base",
                             gameDir + "/e3/openmohaa",
                             gameDir + "/e4/launch_openmohaa_breakthrough",
                             gameDir + "/e5/MOHAA.exe"};
    const auto at = [](const std::string& path, const char* text) {
        return QString::fromStdString(path) + text;
    };
    const Case cases[] = {
        {"no server selected", [&] { form1().state.SelectedIP.clear(); }, "message",
         "Please select a server !", false},
        {"an IP of blanks", [&] { form1().state.SelectedIP = " "; }, "message", "Please select a server !",
         false},
        {"AA path empty", [&] { medal(""); }, "message", "Please select MoHAA.exe", true},
        {"AA path the game folder", [&] { medal(gameDir); }, "message", "Please select MoHAA.exe", true},
        {"AA path without MOHAA.exe", [&] { medal(otherExe); }, "message", "Please select MoHAA.exe", true},
        {"AA path missing file", [&] { medal(gameDir + "/gone/MOHAA.exe"); }, "message",
         "Please select MoHAA.exe", true},
        {"SH path empty", [&] { spearhead(""); }, "message", "Please select Spearhed.exe !", true},
        {"SH path is the AA game", [&] { spearhead(cannotRunAA); }, "message", "Please select Spearhed.exe !",
         true},
        {"AA cannot start", [&] { medal(cannotRunAA); }, "message", "Error starting MoHAA !", false},
        {"SH cannot start", [&] { spearhead(cannotRunSH); }, "message", "Error starting Spearhead !", false},
        {"no game label",
         [&] {
             medal(cannotRunAA);
             form1().Label4->clear();
         },
         "", "", false},
        // The password is looked up before the game is chosen.
        {"password file missing, no game label",
         [&] {
             form1().Label4->clear();
             QFile::remove(QString::fromStdString(folder.file("Passwords.txt")));
         },
         "error", "File not found", false},
        {"password file missing",
         [&] {
             medal(cannotRunAA);
             QFile::remove(QString::fromStdString(folder.file("Passwords.txt")));
         },
         "error", "File not found", false},
        {"engine: a folder", [&] { engine("Medal of Honor", e[0], nullptr, 0); }, "message",
         at(e[0],
            " is a folder. Please select the openmohaa program or a launch_openmohaa launcher inside it."),
         true},
        {"engine: a file that is not executable", [&] { engine("Spearhead", e[1], "\177ELF", 0644); },
         "message",
         at(e[1], " is not executable. Please select the OpenMoHAA engine, or make this file executable "
                  "(chmod +x)."),
         true},
        {"engine: a launcher script without its run bit", [&] { engine("Medal of Honor", e[2], "", 0644); },
         "message",
         at(e[2], " is a script without its run bit. Make it executable (chmod +x) and connect again."),
         true},
        {"engine: an executable that is no program",
         [&] { engine("Medal of Honor", e[3], "\x01\x02", 0755); }, "message",
         "Error starting OpenMoHAA: Exec format error", false},
        {"engine: a launcher that stops at once", [&] { engine("Breakthrough", e[4], "", 0755); }, "message",
         "OpenMoHAA ended with exit code 1. If it stopped at once, check that the game's data folders (main, "
         "mainta, maintt) are beside the engine.",
         false},
        {"Breakthrough without the engine", [&] { engine("Breakthrough", e[5], "", 0755); }, "message",
         "Breakthrough servers can only be joined with the OpenMoHAA engine. Please select openmohaa or a "
         "launch_openmohaa launcher as a game path.",
         true},
    };
    for (const Case& c : cases) {
        form1().state.SelectedIP = "127.0.0.1";
        form1().state.Password.clear();
        folder.writeLines("Passwords.txt", Header);
        form1().Timer1->start();
        forms->Form3->hide();
        forms->Form11->show();
        forms->Form15->show();
        c.prepare();
        connect();
        if (c.text.isEmpty()) {
            EXPECT_TRUE(dialogs.shown().isEmpty()) << c.name;
        } else {
            ASSERT_EQ(dialogs.shown().size(), 1) << c.name;
            EXPECT_EQ(dialogs.shown()[0].kind, c.kind) << c.name;
            EXPECT_EQ(dialogs.shown()[0].text, c.text) << c.name;
        }
        EXPECT_EQ(forms->Form3->isVisible(), c.optionsShown) << c.name;
        EXPECT_FALSE(form1().Timer1->isActive()) << c.name;
        EXPECT_FALSE(forms->Form11->isVisible()) << c.name;
        EXPECT_FALSE(forms->Form15->isVisible()) << c.name;
    }
    EXPECT_EQ((FakeGame{e[4], "", "", e[4] + ".runs"}.runs()), 1)
        << "an engine that stops at once is not started again";
}

TEST_F(Launch, WindowsKeepWorkingUntilTheGameExits)
{
    const FakeGame game = FakeGame::write(gameDir, "MOHAA.exe", 0, true, true);
    form1().Label4->setText(QStringLiteral("Medal of Honor"));
    form1().state.AAPath = game.path;
    bool optionsOpenedDuringTheWait = false;
    QTimer::singleShot(0, &form1(), [&] {
        // Another window's button works while the game runs; then the game may end.
        form1().ToolButton4->click();
        optionsOpenedDuringTheWait = forms->Form3->isVisible();
        game.release();
    });
    connect();
    EXPECT_TRUE(optionsOpenedDuringTheWait);
    ASSERT_FALSE(game.recorded().empty());
    EXPECT_EQ(game.recorded().back(), "released");
    EXPECT_FALSE(form1().Timer1->isActive());
}

// The engine runs every game from one program and is told the server's game.
TEST_F(Launch, EngineToldTheServersGame)
{
    struct Case
    {
        const char* why;
        QString label;
        std::string aa, sh; // program names in the case's folder, "" for an empty path
        std::string started;
        int target;
        std::string password;
    };
    const Case cases[] = {
        {"Allied Assault through its launcher", "Medal of Honor", "launch_openmohaa_base", "",
         "launch_openmohaa_base", 0, "pw"},
        {"Spearhead through the engine", "Spearhead", "", "openmohaa.x86_64", "openmohaa.x86_64", 1, "a b"},
        {"Spearhead through its launcher beside the base one", "Spearhead", "", "launch_openmohaa_base",
         "launch_openmohaa_spearhead", 1, "pw"},
        {"Breakthrough through an AppImage; no password given", "Breakthrough", "OpenMoHAA-x86_64.AppImage",
         "", "OpenMoHAA-x86_64.AppImage", 2, ""},
        {"Breakthrough beside a Windows game path", "Breakthrough", "MOHAA.exe", "openmohaa", "openmohaa", 2,
         "pw"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string dir = gameDir + "/case" + std::to_string(++n);
        QDir().mkpath(QString::fromStdString(dir));
        std::map<std::string, FakeGame> programs;
        for (const std::string& name : {c.aa, c.sh, c.started})
            if (!name.empty()) programs.emplace(name, FakeGame::write(dir, name, 0));
        AppState& s = form1().state;
        s.AAPath = c.aa.empty() ? "" : dir + "/" + c.aa;
        s.SHPath = c.sh.empty() ? "" : dir + "/" + c.sh;
        s.Nickname = "Big Al";
        s.Password = c.password;
        form1().Label4->setText(c.label);
        connect();
        EXPECT_TRUE(dialogs.shown().isEmpty()) << c.why;
        std::vector<std::string> argv{dir,    "+set", "com_target_game", std::to_string(c.target),
                                      "+set", "name", "Big Al"};
        if (!c.password.empty()) argv = argv + std::vector<std::string>{"+set", "password", c.password};
        argv = argv + SetOptions + std::vector<std::string>{"+connect", "127.0.0.1:12203"};
        EXPECT_EQ(programs.at(c.started).recorded(), argv) << c.why;
        for (const auto& [name, program] : programs)
            EXPECT_EQ(program.runs(), name == c.started ? 1 : 0) << c.why << ": " << name;
    }
}

// The Options window offers to find an installed engine for an empty game path.
TEST_F(Launch, OptionsFindAnInstalledEngineForTheEmptyPathsOnly)
{
    // Only the test's own folders are searched.
    const test::ScopedVariable home{"HOME", folder.file("home")}, dataHome{"XDG_DATA_HOME", std::nullopt};
    const std::string release = folder.file("home/.local/share/openmohaa/openmohaa-0.82.1");
    QDir().mkpath(QString::fromStdString(release));
    const std::string base = FakeGame::write(release, "launch_openmohaa_base.x86_64", 0).path;
    writeData({}, test::config({{7, "/games/moh_spearhead.exe"}}));
    start();
    TForm3& options = *forms->Form3;
    options.show();
    ASSERT_TRUE(options.Button8->isVisible());

    options.Button8->click();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(options.LabeledEdit3->text().toStdString(), base);
    EXPECT_EQ(options.LabeledEdit4->text(), "/games/moh_spearhead.exe");
    EXPECT_EQ(form1().state.AAPath, base);
    EXPECT_FALSE(options.Button8->isVisible());
    options.hide();
    EXPECT_NE(folder.read("Config").find("\r\n" + base + "\r\n/games/moh_spearhead.exe\r\n"),
              std::string::npos);

    // Nothing installed: the offer says where it looked.
    QFile::remove(QString::fromStdString(base));
    options.show();
    options.LabeledEdit3->clear();
    ASSERT_TRUE(options.Button8->isVisible());
    options.Button8->click();
    EXPECT_EQ(dialogs.shownTexts(),
              QStringList{"No OpenMoHAA found on the PATH, in ~/Applications, ~/AppImages, "
                          "~/.local/bin, ~/bin, ~/Downloads, ~/.local/share/openmohaa or "
                          "/opt/openmohaa. Please use \"select path\"."});
    EXPECT_TRUE(options.LabeledEdit3->text().isEmpty());
}

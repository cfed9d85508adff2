// Windows command-line splitting and starting programs, directly or via wine.
#include "platform/Process.h"
#include "support/FakeGame.h"
#include "support/ScopedPath.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

using namespace korvane;
using korvane::test::FakeGame;
using korvane::test::ScopedPath;

namespace {

int waitForExit(Process& process)
{
    int status;
    while ((status = process.exitStatus()) == StillActive)
        ::usleep(10000);
    return status;
}

struct Folder
{
    QTemporaryDir dir;
    std::string path(const std::string& sub = {}) const
    {
        const std::string base = dir.path().toStdString();
        if (sub.empty()) return base;
        QDir().mkpath(QString::fromStdString(base + "/" + sub));
        return base + "/" + sub;
    }
};

} // namespace

TEST(WindowsCommandLine, SplitsAsTheCRuntimeDoes)
{
    struct Case
    {
        std::string line;
        std::vector<std::string> argv;
    };
    const Case cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"a b\t\tc  ", {"a", "b", "c"}},
        {"  lead", {"lead"}},
        {R"("a b" c)", {"a b", "c"}},
        {R"(x"a b"y)", {"xa by"}},
        {R"("")", {""}},
        {R"(a "" b)", {"a", "", "b"}},
        {R"(a\b c\\d)", {R"(a\b)", R"(c\\d)"}},
        {R"(+name "a\b" +password "c\d")", {"+name", R"(a\b)", "+password", R"(c\d)"}},
        {R"(trail\)", {R"(trail\)"}},
        {R"(a\"b)", {R"(a"b)"}},
        {R"(a\\"b c")", {R"(a\b c)"}},
        {R"(a\\\"b)", {R"(a\"b)"}},
        {R"("a\\\\" b)", {R"(a\\)", "b"}},
        {R"("a""b")", {R"(a"b)"}},
        {R"("a"" b" c)", {R"(a" b)", "c"}},
        {R"("""")", {R"(")"}},
        {R"(a""b)", {"ab"}},
        {R"("open to the end)", {"open to the end"}},
        {"\"\xff\x01 x\"", {"\xff\x01 x"}},
        // A quote inside a quoted nickname ends the argument early, and the
        // quote pairs shift for the rest of the line.
        {R"(+name "Bob"x" +password "" +set a 1)", {"+name", "Bobx +password \" +set a 1"}},
        {R"(+name "Bob" +password "" +set a 1)", {"+name", "Bob", "+password", "", "+set", "a", "1"}},
        {R"(+password "p"q" +set a 1)", {"+password", "pq +set a 1"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitWindowsCommandLine(c.line), c.argv) << c.line;
}

TEST(WindowsCommandLine, QuotingGivesBackExactlyTheText)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Sniper", R"("Sniper")"}, // a plain text only gains its quotes
        {"", R"("")"},
        {"Big Al", R"("Big Al")"},
        {R"(Sniper\)", R"("Sniper\\")"},
        {R"(a"b)", R"("a\"b")"},
        {R"(a\"b)", R"("a\\\"b")"},
        {R"(a\b)", R"("a\b")"},
        {R"("")", R"("\"\"")"},
        {"\xff\x01", "\"\xff\x01\""},
    };
    for (const auto& [text, quoted] : cases) {
        EXPECT_EQ(quoteWindowsArgument(text), quoted) << text;
        EXPECT_EQ(splitWindowsCommandLine("+name " + quoteWindowsArgument(text) + " +set a 1"),
                  (std::vector<std::string>{"+name", text, "+set", "a", "1"}))
            << text;
    }
}

TEST(Process, RunsWithArgumentsAndWorkingDirectoryAndReportsItsExitCode)
{
    Folder folder;
    const std::string dir = folder.path("game dir");
    for (int code : {0, 3, 255}) {
        const FakeGame game = FakeGame::write(dir, "MOHAA.exe", code);
        auto process = Process::start(game.path, R"(connect 1.2.3.4:12203 +name "A B" +password "")", dir);
        ASSERT_TRUE(process);
        EXPECT_EQ(waitForExit(*process), code);
        EXPECT_EQ(process->exitStatus(), code);
        const std::vector<std::string> expected = {dir,         "connect", "1.2.3.4:12203", "+name", "A B",
                                                   "+password", ""};
        EXPECT_EQ(game.recorded(), expected);
    }
}

TEST(Process, ReportsStillActiveUntilTheProgramEnds)
{
    Folder folder;
    const FakeGame game = FakeGame::write(folder.path(), "moh_spearhead.exe", 7, true, true);
    auto process = Process::start(game.path, "", folder.path());
    ASSERT_TRUE(process);
    while (!game.ran())
        ::usleep(10000);
    EXPECT_EQ(process->exitStatus(), StillActive);
    game.release();
    EXPECT_EQ(waitForExit(*process), 7);
    EXPECT_EQ(game.recorded().back(), "released");
}

TEST(Process, StartFailures)
{
    Folder folder;
    const std::string dir = folder.path();
    const std::string emptyBin = folder.path("emptybin");
    ScopedPath path(emptyBin);
    const FakeGame notExecutable = FakeGame::write(dir, "game.sh", 0, false);
    const FakeGame exeWithoutWine = FakeGame::write(dir, "MOHAA.exe", 0, false);
    const FakeGame runnable = FakeGame::write(dir, "ok.exe", 0);
    struct Case
    {
        const char* name;
        std::string program;
        std::string workingDirectory;
    };
    const Case cases[] = {
        {"missing program", dir + "/missing.exe", dir},
        {"not executable", notExecutable.path, dir},
        {".exe not executable and no wine", exeWithoutWine.path, dir},
        {"a folder", dir, dir},
        {"missing working directory", runnable.path, dir + "/nowhere"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Process::start(c.program, "a b", c.workingDirectory), nullptr) << c.name;
    EXPECT_FALSE(notExecutable.ran());
    EXPECT_FALSE(exeWithoutWine.ran());
    EXPECT_FALSE(runnable.ran());
}

TEST(Process, ExeThatCannotRunDirectlyGoesThroughWine)
{
    Folder folder;
    const std::string bin = folder.path("bin");
    const std::string dir = folder.path("Program Files/MOHAA");
    const FakeGame wine = FakeGame::write(bin, "wine", 4);
    const FakeGame game = FakeGame::write(dir, "MOHAA.exe", 0, false);
    ScopedPath path("/nonexistent:" + bin);
    EXPECT_EQ(findOnPath("wine"), wine.path);
    auto process = Process::start(game.path, R"(+name "x y")", dir);
    ASSERT_TRUE(process);
    EXPECT_EQ(waitForExit(*process), 4);
    const std::vector<std::string> expected = {dir, game.path, "+name", "x y"};
    EXPECT_EQ(wine.recorded(), expected);
}

TEST(Process, FindOnPathSkipsWhatCannotRun)
{
    Folder folder;
    const std::string a = folder.path("a");
    const std::string b = folder.path("b");
    FakeGame::write(a, "tool", 0, false);
    const FakeGame runnable = FakeGame::write(b, "tool", 0);
    ScopedPath path(a + ":" + b);
    EXPECT_EQ(findOnPath("tool"), runnable.path);
    EXPECT_EQ(findOnPath("absent"), "");

    // A relative entry is made absolute: the program starts in another folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder.path()));
    ScopedPath relative("b");
    const std::string found = findOnPath("tool");
    QDir::setCurrent(previous);
    EXPECT_EQ(QFileInfo(QString::fromStdString(found)).canonicalFilePath().toStdString(),
              QFileInfo(QString::fromStdString(runnable.path)).canonicalFilePath().toStdString());
    EXPECT_TRUE(found.starts_with("/")) << found;
}

// The Options window's offer to find an installed engine for an empty game
// path.
#include "support/FakeGame.h"
#include "support/FormsFixture.h"
#include "support/ScopedPath.h"
#include "ui/lists/TForm3.h"

#include <QDir>

using namespace korvane;
using korvane::test::FakeGame;
using korvane::test::ScopedPath;
using korvane::test::ScopedVariable;

class OptionsEngine : public test::FormsFixture
{
protected:
    // Only the test's own folders are searched.
    ScopedVariable home{"HOME", folder.file("home")};
    ScopedVariable dataHome{"XDG_DATA_HOME", std::nullopt};
    ScopedPath path{folder.file("nobin")};
    TForm3& options() { return *forms->Form3; }
};

TEST_F(OptionsEngine, FindsAnInstalledEngineForTheEmptyPathsOnly)
{
    const std::string release = folder.file("home/.local/share/openmohaa/openmohaa-0.82.1");
    QDir().mkpath(QString::fromStdString(release));
    const std::string base = FakeGame::write(release, "launch_openmohaa_base.x86_64", 0).path;
    writeData({}, test::config({{7, "/games/moh_spearhead.exe"}}));
    start();
    options().show();
    ASSERT_TRUE(options().Button8->isVisible());

    options().Button8->click();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_EQ(options().LabeledEdit3->text().toStdString(), base);
    EXPECT_EQ(options().LabeledEdit4->text(), "/games/moh_spearhead.exe");
    EXPECT_EQ(form1().state.AAPath, base);
    EXPECT_FALSE(options().Button8->isVisible());
    options().hide();
    EXPECT_NE(folder.read("Config").find("\r\n" + base + "\r\n/games/moh_spearhead.exe\r\n"),
              std::string::npos);

    // Nothing installed: the offer says where it looked.
    QFile::remove(QString::fromStdString(base));
    options().show();
    options().LabeledEdit3->clear();
    ASSERT_TRUE(options().Button8->isVisible());
    options().Button8->click();
    EXPECT_EQ(dialogs.shownTexts(),
              QStringList{"No OpenMoHAA found on the PATH, in ~/Applications, ~/AppImages, "
                          "~/.local/bin, ~/bin, ~/Downloads, ~/.local/share/openmohaa or "
                          "/opt/openmohaa. Please use \"select path\"."});
    EXPECT_TRUE(options().LabeledEdit3->text().isEmpty());
}

// The credits window: shown by the Options window's about button, and a click
// on either picture goes back.
#include "support/FormsFixture.h"
#include "ui/lists/TForm3.h"
#include "ui/widgets/TForm8.h"

#include <QTest>

using namespace korvane;
using korvane::test::FormsFixture;

class CreditsWindow : public FormsFixture
{};

TEST_F(CreditsWindow, AboutShowsThemAndAClickOnEitherPictureGoesBackToOptions)
{
    writeData();
    start();
    for (const char* banner : {"0", "3"}) {
        form1().state.BannerImage = banner;
        forms->Form3->show();
        QTest::mouseClick(forms->Form3->Button4, Qt::LeftButton);
        EXPECT_TRUE(forms->Form8->isVisible()) << banner;
        EXPECT_FALSE(forms->Form3->isVisible()) << banner;
        QLabel* shown = forms->Form8->Image1->isVisible() ? forms->Form8->Image1 : forms->Form8->Image2;
        EXPECT_EQ(shown == forms->Form8->Image2, std::string(banner) == "3") << banner;
        QTest::mouseClick(shown, Qt::LeftButton);
        EXPECT_FALSE(forms->Form8->isVisible()) << banner;
        EXPECT_TRUE(forms->Form3->isVisible()) << banner;
    }
    EXPECT_TRUE(dialogs.shown().isEmpty());
}

// The link label and the credits window.
#include "support/FormsFixture.h"
#include "support/RecordingDesktop.h"
#include "ui/lists/TForm3.h"
#include "ui/widgets/TForm8.h"
#include "ui/widgets/TLegacy.h"

#include <QEnterEvent>
#include <QMouseEvent>

using namespace korvane;
using korvane::test::FormsFixture;

namespace {

void click(QWidget* widget)
{
    const QPointF at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

} // namespace

TEST(LinkLabel, ClickOpensWebOrMailAddress)
{
    test::RecordingDesktop addresses;
    TLegacy link(addresses, nullptr);
    link.resize(100, 18);
    int clicks = 0;
    link.OnClick = [&] { ++clicks; };
    struct Case
    {
        TAdressType type;
        QString address;
        QStringList opened;
    };
    const Case cases[] = {
        {TAdressType::atWWW, "http://www.example.org", {"http://www.example.org"}},
        {TAdressType::atMail, "someone@example.org", {"mailto:someone@example.org"}},
        {TAdressType::atMail, "http://odd", {"mailto:http://odd"}},
        {TAdressType::atWWW, "", {}}, // nowhere to go
        {TAdressType::atWWW, "HTTPS://clan.example/x", {"HTTPS://clan.example/x"}},
        {TAdressType::atWWW, "www.clan.example", {"http://www.clan.example"}},
        // Only a scheme before "://" counts: a host with a port opens as http.
        {TAdressType::atWWW, "www.clan.example:8080/forum", {"http://www.clan.example:8080/forum"}},
        {TAdressType::atWWW, " www.clan.example", {"http://www.clan.example"}},
        {TAdressType::atWWW, " https://clan.example", {"https://clan.example"}},
        // A server's link never reaches the desktop with another scheme.
        {TAdressType::atWWW, "file:///etc/passwd", {}},
        {TAdressType::atWWW, "smb://host/share", {}},
        {TAdressType::atWWW, "javascript:alert(1)", {}},
    };
    for (const Case& c : cases) {
        addresses.opened.clear();
        link.setAdressType(c.type);
        link.Adress = c.address;
        click(&link);
        EXPECT_EQ(addresses.opened, c.opened) << c.address.toStdString();
    }
    EXPECT_EQ(clicks, static_cast<int>(std::size(cases)));
}

TEST(LinkLabel, HoverUnderlinesInActiveColourAndRestores)
{
    test::RecordingDesktop desktop;
    TLegacy link(desktop, nullptr);
    QPalette palette = link.palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128));
    link.setPalette(palette);
    link.ActiveColor = QColor(0, 128, 128);
    int entered = 0, left = 0;
    link.OnMouseEnter = [&] { ++entered; };
    link.OnMouseExit = [&] { ++left; };

    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&link, &enter);
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 128, 128));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_FALSE(link.font().underline());
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
}

class Credits : public FormsFixture
{};

TEST_F(Credits, BannerThreeShowsTheSecondPictureForGood)
{
    writeData();
    start();
    forms->Form8->show();
    EXPECT_TRUE(forms->Form8->Image1->isVisible());
    EXPECT_FALSE(forms->Form8->Image2->isVisible());
    forms->Form8->hide();
    form1().state.BannerImage = "3";
    forms->Form8->show();
    EXPECT_FALSE(forms->Form8->Image1->isVisible());
    EXPECT_TRUE(forms->Form8->Image2->isVisible());
    forms->Form8->hide();
    form1().state.BannerImage = "0";
    forms->Form8->show();
    EXPECT_TRUE(forms->Form8->Image2->isVisible());
    // The artwork is decoded through libjpeg.
    EXPECT_EQ(forms->Form8->Image2->pixmap().size(), QSize(249, 249));
    EXPECT_EQ(form1().Image1->pixmap().size(), QSize(668, 65));
}

class LinkCaption : public FormsFixture
{};

// The caption is set before the label's bold face; it still shows whole.
TEST_F(LinkCaption, TheSupportLinkIsNotCut)
{
    writeData();
    start();
    const TLegacy* link = forms->Form3->Legacy2;
    EXPECT_EQ(link->text(), "Korvane support");
    EXPECT_GE(link->width(), link->sizeHint().width());
    EXPECT_LE(link->geometry().right(), forms->Form3->GroupBox1->contentsRect().right());
}

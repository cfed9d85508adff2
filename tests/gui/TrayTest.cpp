// The tray icon's state machine, driven by minimising and restoring a window.
#include "support/FormsFixture.h"
#include "ui/main/TSystray.h"

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QShowEvent>
#include <QWidget>

#include <gtest/gtest.h>

using namespace korvane;

namespace {

struct TrayCalls
{
    int adds = 0;
    int modifies = 0;
    int removes = 0;
    QString tip;
    qint64 iconKey = 0;
};

class FakeTray : public TrayIconBackend
{
public:
    FakeTray(TrayCalls& calls, bool available) : m_calls(calls), m_available(available) {}
    bool available() const override { return m_available; }
    void add(const QIcon& icon, const QString& tip) override
    {
        ++m_calls.adds;
        m_calls.tip = tip;
        m_calls.iconKey = icon.cacheKey();
    }
    void modify(const QIcon& icon, const QString& tip) override
    {
        ++m_calls.modifies;
        m_calls.tip = tip;
        m_calls.iconKey = icon.cacheKey();
    }
    void remove() override { ++m_calls.removes; }

private:
    TrayCalls& m_calls;
    bool m_available;
};

// Counts the show and hide handlers a window would run (spontaneous events,
// from the window system, run none).
class Window : public QWidget
{
public:
    int shows = 0;
    int hides = 0;

protected:
    void showEvent(QShowEvent* event) override { shows += !event->spontaneous(); }
    void hideEvent(QHideEvent* event) override { hides += !event->spontaneous(); }
};

enum class Step { ShowMinimized, Minimise, AppMinimize, DoubleClick, LeftClick, SetHint, Disable, Enable };

} // namespace

class Tray : public ::testing::Test
{
protected:
    TrayCalls calls;
    Window window;
    TrayIconBackend* backend = nullptr;
    std::unique_ptr<TSystray> tray;

    void make(bool available = true)
    {
        auto fake = std::make_unique<FakeTray>(calls, available);
        backend = fake.get();
        tray = std::make_unique<TSystray>(&window, std::move(fake));
        tray->setHint(QStringLiteral("Korvane"));
        window.setWindowIcon(QIcon(QPixmap(16, 16)));
        window.show();
        QApplication::processEvents();
    }
    void run(Step step)
    {
        switch (step) {
        case Step::ShowMinimized:
            window.showMinimized();
            break;
        case Step::Minimise: // as the window manager does it
            window.setWindowState(window.windowState() | Qt::WindowMinimized);
            break;
        case Step::AppMinimize:
            tray->AppMinimize();
            break;
        case Step::DoubleClick:
            backend->clicked(TrayIconBackend::Click::Double);
            break;
        case Step::LeftClick:
            backend->clicked(TrayIconBackend::Click::Left);
            break;
        case Step::SetHint:
            tray->setHint(QStringLiteral("new hint"));
            break;
        case Step::Disable:
            tray->setEnabled(false);
            break;
        case Step::Enable:
            tray->setEnabled(true);
            break;
        }
        QApplication::processEvents();
    }
};

TEST_F(Tray, Defaults)
{
    TSystray fresh(&window, std::make_unique<FakeTray>(calls, true));
    EXPECT_TRUE(fresh.Enabled());
    EXPECT_TRUE(fresh.Icon().isNull());
    EXPECT_TRUE(fresh.Hint().isEmpty());
    EXPECT_EQ(fresh.PopupMenu(), nullptr);
    EXPECT_FALSE(fresh.iconShown());
    EXPECT_TRUE(fresh.OnDblClick && fresh.OnRightClick);
    EXPECT_FALSE(fresh.OnLeftClick);
}

TEST_F(Tray, StateTable)
{
    using S = Step;
    struct Case
    {
        const char* name;
        std::vector<Step> steps;
        int adds, modifies, removes;
        bool shown, windowVisible, minimised;
        QString tip;
    };
    const Case cases[] = {
        {"minimise", {S::Minimise}, 1, 0, 0, true, false, true, "Korvane"},
        {"minimised by the program", {S::ShowMinimized}, 1, 0, 0, true, false, true, "Korvane"},
        {"minimise twice adds once",
         {S::Minimise, S::Minimise, S::AppMinimize},
         1,
         0,
         0,
         true,
         false,
         true,
         "Korvane"},
        {"double-click restores", {S::Minimise, S::DoubleClick}, 1, 0, 1, false, true, false, "Korvane"},
        {"again after a restore",
         {S::Minimise, S::DoubleClick, S::Minimise},
         2,
         0,
         1,
         true,
         false,
         true,
         "Korvane"},
        {"left click does nothing", {S::Minimise, S::LeftClick}, 1, 0, 0, true, false, true, "Korvane"},
        {"hint while shown", {S::Minimise, S::SetHint}, 1, 1, 0, true, false, true, "new hint"},
        {"hint while hidden waits for the add",
         {S::SetHint, S::Minimise},
         1,
         0,
         0,
         true,
         false,
         true,
         "new hint"},
        {"disabled: minimising keeps the entry", {S::Disable, S::Minimise}, 0, 0, 0, false, true, true, ""},
        {"disabled while minimised", {S::Minimise, S::Disable}, 1, 0, 1, false, true, true, "Korvane"},
        {"enabled again while minimised",
         {S::Minimise, S::Disable, S::Enable},
         2,
         0,
         1,
         true,
         false,
         true,
         "Korvane"},
        {"enabled while not minimised", {S::Disable, S::Enable}, 0, 0, 0, false, true, false, ""},
        {"clicks ignored while disabled",
         {S::Minimise, S::Disable, S::DoubleClick},
         1,
         0,
         1,
         false,
         true,
         true,
         "Korvane"},
        {"hint while disabled", {S::Disable, S::SetHint}, 0, 0, 0, false, true, false, ""},
    };
    for (const Case& c : cases) {
        calls = {};
        window.setWindowState(Qt::WindowNoState);
        make();
        for (Step step : c.steps)
            run(step);
        EXPECT_EQ(calls.adds, c.adds) << c.name;
        EXPECT_EQ(calls.modifies, c.modifies) << c.name;
        EXPECT_EQ(calls.removes, c.removes) << c.name;
        EXPECT_EQ(tray->iconShown(), c.shown) << c.name;
        EXPECT_EQ(window.isVisible(), c.windowVisible) << c.name;
        EXPECT_EQ(window.isMinimized(), c.minimised) << c.name;
        EXPECT_EQ(calls.tip, c.tip) << c.name;
        tray.reset();
    }
}

TEST_F(Tray, GoingToTheTrayAndBackRunsNoShowOrHideHandler)
{
    make();
    const int shows = window.shows;
    run(Step::Minimise);
    run(Step::DoubleClick);
    run(Step::Minimise);
    run(Step::DoubleClick);
    EXPECT_EQ(window.shows, shows);
    EXPECT_EQ(window.hides, 0);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(Tray, TipCutTo63Characters)
{
    make();
    const QString hint = QString(63, QLatin1Char('a')) + QStringLiteral("overflow");
    tray->setHint(hint);
    run(Step::Minimise);
    EXPECT_EQ(calls.tip, QString(63, QLatin1Char('a')));
    EXPECT_EQ(tray->Hint(), hint);
    tray->setHint(QString(63, QLatin1Char('b')));
    EXPECT_EQ(calls.tip, QString(63, QLatin1Char('b')));
}

TEST_F(Tray, WindowIconUntilAnIconIsSet)
{
    make();
    run(Step::Minimise);
    EXPECT_EQ(calls.iconKey, window.windowIcon().cacheKey());
    const QIcon own(QPixmap(8, 8));
    tray->setIcon(own);
    EXPECT_EQ(calls.modifies, 1);
    EXPECT_EQ(calls.iconKey, tray->Icon().cacheKey());
    EXPECT_NE(calls.iconKey, window.windowIcon().cacheKey());
}

TEST_F(Tray, WithoutANotificationAreaTheWindowStaysInTheTaskBar)
{
    make(false);
    run(Step::Minimise);
    run(Step::Disable);
    run(Step::Enable);
    EXPECT_EQ(calls.adds, 0);
    EXPECT_FALSE(tray->iconShown());
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
}

TEST_F(Tray, ClosingWhileMinimisedRemovesTheIcon)
{
    make();
    run(Step::Minimise);
    tray.reset();
    EXPECT_EQ(calls.removes, 1);
}

TEST_F(Tray, RightButtonOpensThePopupMenu)
{
    make();
    QMenu menu;
    menu.addAction(QStringLiteral("exit"));
    run(Step::Minimise);
    backend->clicked(TrayIconBackend::Click::Right); // no menu yet: nothing
    tray->setPopupMenu(&menu);
    backend->clicked(TrayIconBackend::Click::Right);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    tray->setEnabled(false);
    backend->clicked(TrayIconBackend::Click::Right);
    EXPECT_FALSE(menu.isVisible());
}

class TrayOfTheMainWindow : public test::FormsFixture
{};

TEST_F(TrayOfTheMainWindow, HintAndMenuFromTheDesign)
{
    writeData();
    build();
    const TSystray& tray = *forms->Form1->Systray1;
    EXPECT_EQ(tray.Hint(), QStringLiteral("Korvane 1.11"));
    ASSERT_EQ(tray.PopupMenu(), forms->Form1->PopupMenu5);
    QStringList items;
    for (QAction* action : tray.PopupMenu()->actions())
        items.append(action->text());
    EXPECT_EQ(items, (QStringList{"exit", "options", "scan now"}));
    EXPECT_TRUE(tray.Enabled());
}

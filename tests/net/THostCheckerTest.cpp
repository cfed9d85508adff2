// The host checker: its properties, the log lines of a check in both modes,
// the counters its checks share and its own timer.
#include "net/THostChecker.h"
#include "support/ScriptedIcmpEcho.h"

#include "support/UiThread.h"

#include <gtest/gtest.h>

using namespace korvane;
using korvane::test::ScriptedIcmpEcho;

namespace {

struct Checker : ::testing::Test
{
    std::shared_ptr<ScriptedIcmpEcho> service = std::make_shared<ScriptedIcmpEcho>();
    std::unique_ptr<THostChecker> checker;
    std::vector<std::string> lines; // "status level message"
    std::vector<std::string> notices;

    void SetUp() override
    {
        test::ensureUiThread();
        checker = std::make_unique<THostChecker>(service);
        checker->setHostName("127.0.0.1");
        checker->OnLog = [this](THostChecker&, const std::string& id, std::string& msg, std::uint8_t& level,
                                TLogStatus& status) {
            EXPECT_EQ(id, "Link checker");
            lines.push_back(std::to_string(status) + " " + std::to_string(level) + " " + msg);
        };
        checker->OnLink = [this](THostChecker&) { notices.push_back("link"); };
        checker->OnNoLink = [this](THostChecker&) { notices.push_back("no link"); };
        checker->OnCheckLink = [this](THostChecker&, bool link) {
            notices.push_back(link ? "true" : "false");
        };
    }
    void TearDown() override
    {
        checker.reset();
        service->release();
        // The workers end before the next test looks at the registry.
        EXPECT_TRUE(QTest::qWaitFor([&] { return pingWorkers().running() == 0; }));
    }
    bool waitLines(std::size_t n)
    {
        return QTest::qWaitFor([&] { return lines.size() >= n; });
    }
};

} // namespace

TEST_F(Checker, SettingsIgnoreZeroAndBlank)
{
    EXPECT_EQ(checker->timerInterval(), 1000); // the period of 10000 reaches the timer only when set
    checker->setPingCount(0);
    checker->setPingSize(0);
    checker->setTTL(0);
    checker->setPingTimeOut(0);
    checker->setAutoCheckPeriod(0);
    checker->setHostName(" \t ");
    const auto settings = [&] {
        return std::vector<int>{checker->PingCount(),   checker->PingSize(),        checker->TTL(),
                                checker->PingTimeOut(), checker->AutoCheckPeriod(), checker->timerInterval()};
    };
    EXPECT_EQ(settings(), (std::vector<int>{5, 1, 64, 1500, 10000, 1000}));
    EXPECT_EQ(checker->HostName(), "127.0.0.1");
    checker->setPingCount(2);
    checker->setPingSize(8);
    checker->setTTL(3);
    checker->setPingTimeOut(900);
    checker->setAutoCheckPeriod(65535);
    checker->setHostName(" 127.0.0.2 ");
    EXPECT_EQ(settings(), (std::vector<int>{2, 8, 3, 900, 65535, 65535}));
    EXPECT_EQ(checker->HostName(), " 127.0.0.2 "); // stored as given, trimmed only for the ping
}

TEST_F(Checker, LogLinesOfAChecksPingsAndVerdict)
{
    struct Case
    {
        const char* why;
        THostChecker_PingMode mode;
        int count;
        std::vector<ScriptedIcmpEcho::Outcome> outcomes;
        std::vector<std::string> lines;
        std::vector<std::string> notices;
    };
    const std::string reply = "8 64 Ping for 127.0.0.1, received 1 bytes from 127.0.0.1 in ";
    const std::string silent = "3 64 Ping for 127.0.0.1, Request timed out";
    const std::string link = "9 96 There is link to 127.0.0.1.";
    const std::string noLink = "9 96 No link to 127.0.0.1.";
    const auto both = THostChecker_PingMode::hpmSimultaneous;
    const auto oneByOne = THostChecker_PingMode::hpmOneByOne;
    const Case cases[] = {
        {"answering", both, 1, {{0, 23}}, {reply + "23ms", link}, {"link", "true"}},
        {"silent", both, 1, {{11010, 0}}, {silent, noLink}, {"no link", "false"}},
        {"one reply of five is enough",
         both,
         5,
         {{11010, 0}, {11010, 0}, {0, 250}, {11010, 0}, {11010, 0}},
         {silent, silent, reply + "250ms", silent, silent, link},
         {"link", "true"}},
        {"one by one",
         oneByOne,
         3,
         {{11010, 0}, {11010, 0}, {11010, 0}},
         {silent, silent, silent, noLink},
         {"no link", "false"}},
    };
    for (const Case& c : cases) {
        lines.clear();
        notices.clear();
        checker->setPingCount(static_cast<std::uint8_t>(c.count));
        checker->PingMode = c.mode;
        // Simultaneous pings pass the script one at a time, so the lines keep its order.
        service->hold();
        for (const ScriptedIcmpEcho::Outcome& outcome : c.outcomes)
            service->queue(outcome);
        checker->CheckNow();
        for (std::size_t i = 0; i < c.outcomes.size(); ++i) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return service->waiting() >= 1; })) << c.why;
            service->releaseOne();
            EXPECT_TRUE(waitLines(i + 1)) << c.why;
        }
        EXPECT_TRUE(waitLines(c.lines.size())) << c.why;
        EXPECT_EQ(lines, c.lines) << c.why;
        EXPECT_EQ(notices, c.notices) << c.why;
        EXPECT_EQ(service->requests().back().data.size(), 1u) << c.why; // PingSize 1
    }
}

TEST_F(Checker, ACheckStartedMeanwhileResetsTheCountersAndLateResultsCountForIt)
{
    const std::string silent = "3 64 Ping for 127.0.0.1, Request timed out";
    checker->setPingCount(2);
    service->answer({11010, 0});
    service->hold();
    checker->CheckNow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return service->waiting() == 2; }));
    service->releaseOne();
    EXPECT_TRUE(waitLines(1));
    checker->CheckNow(); // the first check's second ping is still out
    EXPECT_TRUE(QTest::qWaitFor([&] { return service->waiting() == 3; }));
    service->release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return pingWorkers().running() == 0; }));
    QCoreApplication::processEvents();
    // The late ping and the first of the new check make the verdict; the last ping waits for a next one.
    EXPECT_EQ(lines,
              (std::vector<std::string>{silent, silent, silent, "9 96 No link to 127.0.0.1.", silent}));
}

TEST_F(Checker, AutoCheckRepeatsOnItsPeriodAndCheckNowRunsOnce)
{
    checker->setPingCount(1);
    checker->CheckNow();
    EXPECT_TRUE(waitLines(2));
    EXPECT_FALSE(checker->timerActive());
    EXPECT_EQ(service->requests().size(), 1u);

    checker->setAutoCheckPeriod(20);
    checker->setAutoCheck(true);
    EXPECT_TRUE(checker->timerActive());
    EXPECT_TRUE(waitLines(8));
    checker->setAutoCheck(false);
    EXPECT_FALSE(checker->timerActive());
}

// The ping worker: its result fields, its end notification on the UI thread,
// and the registry of running workers.
#include "net/TPingThread.h"
#include "support/ScriptedIcmpEcho.h"

#include "UiThread.h"

#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

using namespace korvane;
using korvane::test::ScriptedIcmpEcho;

TEST(PingWorker, ResultFieldsOfEachOutcome)
{
    auto service = std::make_shared<ScriptedIcmpEcho>();
    service->addName("alpha", "alpha.example", "127.0.0.1");
    struct Case
    {
        const char* why;
        std::string host;
        bool resolveNames;
        std::optional<ScriptedIcmpEcho::Outcome> outcome; // none: no handle
        int result;
        std::string hostIP, replyIP, replyHost;
        std::uint32_t time, errorCode;
        std::string errorText;
    };
    const Case cases[] = {
        {"reply", " 127.0.0.1\t", false, {{0, 23}}, 1, "127.0.0.1", "127.0.0.1", "127.0.0.1", 23, 0, ""},
        {"reply, name looked up",
         "alpha",
         true,
         {{0, 7}},
         1,
         "127.0.0.1",
         "127.0.0.1",
         "alpha.example",
         7,
         0,
         ""},
        {"silent host",
         "127.0.0.1",
         false,
         {{11010, 0}},
         0,
         "127.0.0.1",
         "",
         "",
         0,
         11010,
         "Request timed out"},
        {"unknown name", "nowhere", false, {{0, 0}}, 0, "", "", "", 0, 11018, "Bad Destination"},
        {"no ICMP here", "127.0.0.1", false, std::nullopt, 0, "", "", "", 0, 0, ""},
    };
    for (const Case& c : cases) {
        service->failSetUp(c.outcome ? std::nullopt : std::optional(IcmpSetUpFailure::Handle));
        if (c.outcome) service->queue(*c.outcome);
        TPingThread worker;
        worker.Host = c.host;
        worker.ResolveNames = c.resolveNames;
        worker.Execute(*service);
        EXPECT_EQ(worker.Result, c.result) << c.why;
        EXPECT_EQ(worker.HostIP, c.hostIP) << c.why;
        EXPECT_EQ(worker.ReplyIP, c.replyIP) << c.why;
        EXPECT_EQ(worker.ReplyHost, c.replyHost) << c.why;
        EXPECT_EQ(worker.Time, c.time) << c.why;
        EXPECT_EQ(worker.ErrorCode, c.errorCode) << c.why;
        EXPECT_EQ(worker.ErrorText, c.errorText) << c.why;
    }
    // Settings of 0 keep the echo's own: 56 bytes, 4000 ms, TTL 64.
    const ScriptedIcmpEcho::Request first = service->requests().front();
    EXPECT_EQ(first.data.size(), 56u);
    EXPECT_EQ(first.timeoutMs, 4000);
    EXPECT_EQ(first.options.Ttl, 64);
}

namespace {

struct Started
{
    std::shared_ptr<ScriptedIcmpEcho> service = std::make_shared<ScriptedIcmpEcho>();
    std::shared_ptr<HaltSwitch> halt = std::make_shared<HaltSwitch>();
    QObject context;
    WorkerRegistry registry;
    std::vector<std::string> ended; // hosts, in the order their notifications ran
    bool offUiThread = false;

    void start(const std::string& host)
    {
        auto worker = std::make_shared<TPingThread>();
        worker->Host = host;
        TPingThread::start(worker, service, UiCarrier(&context, halt), halt, registry,
                           [this](const TPingThread& done) {
                               offUiThread |= QThread::currentThread() != context.thread();
                               ended.push_back(done.Host);
                           });
    }
};

} // namespace

TEST(PingWorker, EndsOnTheUiThreadAndLeavesTheRegistry)
{
    test::ensureUiThread();
    Started run;
    run.service->hold();
    for (const char* host : {"127.0.0.1", "127.0.0.2", "127.0.0.3"})
        run.start(host);
    EXPECT_TRUE(QTest::qWaitFor([&] { return run.service->waiting() == 3; }));
    EXPECT_EQ(run.registry.running(), 3u);
    run.service->release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return run.registry.running() == 0; }));
    EXPECT_EQ(run.ended.size(), 3u);
    EXPECT_FALSE(run.offUiThread);
}

TEST(PingWorker, NothingArrivesAfterAHaltOrTheQuitNotice)
{
    test::ensureUiThread();
    for (bool quitNotice : {false, true}) {
        auto run = std::make_unique<Started>();
        run->service->hold();
        run->start("127.0.0.1");
        run->start("127.0.0.1");
        EXPECT_TRUE(QTest::qWaitFor([&] { return run->service->waiting() == 2; }));
        if (quitNotice) {
            run->registry.quitAll();
            EXPECT_EQ(run->registry.running(), 0u);
        } else {
            run->halt->halt(); // what the host checker does as it goes
        }
        run->service->release();
        // Each worker holds the service until its thread has ended.
        EXPECT_TRUE(QTest::qWaitFor([&] { return run->service.use_count() == 1; }));
        EXPECT_EQ(run->registry.running(), 0u); // and the last of them has let go of it
        QCoreApplication::processEvents();
        EXPECT_TRUE(run->ended.empty()) << quitNotice;
    }
}

// The ping worker: its result fields, its end notification on the UI thread,
// and the registry of running workers.
#include "net/TPingThread.h"
#include "support/ScriptedIcmpEcho.h"

#include "support/UiThread.h"

#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

using namespace korvane;
using korvane::test::ScriptedIcmpEcho;

TEST(PingWorker, ResultFieldsOfEachOutcome)
{
    ScriptedIcmpEcho service;
    service.addName("alpha", "alpha.example", "127.0.0.1");
    struct Case
    {
        const char* why;
        std::string host;
        bool names;
        std::optional<ScriptedIcmpEcho::Outcome> outcome; // none: no handle to be had
        int result;
        std::string hostIP, replyHost;
        std::uint32_t time;
        std::string errorText;
    };
    const Case cases[] = {
        {"reply, blanks trimmed", " 127.0.0.1\t", false, {{0, 23}}, 1, "127.0.0.1", "127.0.0.1", 23, ""},
        {"reply, its name looked up", "alpha", true, {{0, 7}}, 1, "127.0.0.1", "alpha.example", 7, ""},
        {"silent host", "127.0.0.1", true, {{11010, 0}}, 0, "127.0.0.1", "", 0, "Request timed out"},
        {"no ICMP here", "127.0.0.1", true, std::nullopt, 0, "", "", 0, ""},
    };
    for (const Case& c : cases) {
        service.failSetUp(c.outcome ? std::nullopt : std::optional(IcmpSetUpFailure::Handle));
        if (c.outcome) service.queue(*c.outcome);
        TPingThread worker;
        worker.Host = c.host;
        worker.ResolveNames = c.names;
        worker.Execute(service);
        EXPECT_EQ(worker.Result, c.result) << c.why;
        EXPECT_EQ(worker.HostIP, c.hostIP) << c.why;
        EXPECT_EQ(worker.ReplyHost, c.replyHost) << c.why;
        EXPECT_EQ(worker.Time, c.time) << c.why;
        EXPECT_EQ(worker.ErrorText, c.errorText) << c.why;
    }
    // Settings of 0 keep the echo's own: 56 bytes, 4000 ms, TTL 64.
    const ScriptedIcmpEcho::Request first = service.requests().front();
    EXPECT_EQ(first.data.size(), 56u);
    EXPECT_EQ(first.timeoutMs, 4000);
    EXPECT_EQ(first.options.Ttl, 64);
}

TEST(PingWorker, EndsOnTheUiThreadUnlessHaltedOrToldToQuit)
{
    test::ensureUiThread();
    enum class Stop { None, Halt, QuitNotice };
    for (Stop stop : {Stop::None, Stop::Halt, Stop::QuitNotice}) {
        auto service = std::make_shared<ScriptedIcmpEcho>();
        auto halt = std::make_shared<HaltSwitch>();
        QObject context;
        WorkerRegistry registry;
        int ended = 0;
        bool offUiThread = false;
        service->hold();
        for (int i = 0; i < 3; ++i) {
            auto worker = std::make_shared<TPingThread>();
            worker->Host = "127.0.0.1";
            TPingThread::start(worker, service, UiCarrier(&context, halt), halt, registry,
                               [&](const TPingThread&) {
                                   offUiThread |= QThread::currentThread() != context.thread();
                                   ++ended;
                               });
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return service->waiting() == 3; }));
        EXPECT_EQ(registry.running(), 3u);
        if (stop == Stop::Halt) halt->halt(); // what the host checker does as it goes
        if (stop == Stop::QuitNotice) registry.quitAll();
        service->release();
        // Each worker holds the service until its thread has ended.
        EXPECT_TRUE(QTest::qWaitFor([&] { return service.use_count() == 1; }));
        EXPECT_EQ(registry.running(), 0u);
        QCoreApplication::processEvents();
        EXPECT_EQ(ended, stop == Stop::None ? 3 : 0);
        EXPECT_FALSE(offUiThread);
    }
}

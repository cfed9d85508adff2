// A worker's changes carried to the UI thread: in order, batched until the
// next trip, and never past a halt or the end of the window they were for.
#include "platform/UiCarrier.h"
#include "support/UiThread.h"

#include <QCoreApplication>
#include <QTest>

#include <future>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace korvane;

namespace {

// The worker's side of a test: a thread with a carrier to the main thread.
struct Worker
{
    std::shared_ptr<HaltSwitch> halt = std::make_shared<HaltSwitch>();
    std::unique_ptr<QObject> window = std::make_unique<QObject>();
    UiCarrier carrier{window.get(), halt};
    std::vector<int> applied; // touched on the UI thread only
    std::thread thread;

    Worker() { test::ensureUiThread(); }
    void change(int value)
    {
        carrier.post([this, value] { applied.push_back(value); });
    }
    ~Worker()
    {
        if (thread.joinable()) thread.join();
    }
};

} // namespace

TEST(UiCarrier, ChangesWaitForATripAndArriveInOrder)
{
    Worker w;
    std::promise<void> posted, goOn;
    std::future<void> goOnSignal = goOn.get_future();
    int seenByRead = -1;
    w.thread = std::thread([&] {
        w.change(1);
        w.change(2);
        posted.set_value();
        goOnSignal.wait();
        seenByRead = w.carrier.read<int>([&] { return static_cast<int>(w.applied.size()); });
        w.change(3);
        w.carrier.send();
        w.change(4);
        w.carrier.flush();
    });
    posted.get_future().wait();
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.applied.empty()) << "posted changes travel with the next trip, not before";
    goOn.set_value();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.applied.size() == 4; }));
    w.thread.join();
    EXPECT_EQ(seenByRead, 2) << "a read runs after the changes posted before it";
    EXPECT_EQ(w.applied, (std::vector<int>{1, 2, 3, 4}));
}

// The worker sends while the UI thread runs no events: send never waits for it.
TEST(UiCarrier, AHaltOrTheWindowsEndReleasesTheWorkerAndDropsItsChanges)
{
    enum class End { Halt, WindowGone };
    for (const End end : {End::Halt, End::WindowGone}) {
        SCOPED_TRACE(end == End::Halt ? "halt" : "window gone");
        Worker w;
        std::promise<void> sent;
        bool halted = false;
        w.thread = std::thread([&] {
            w.change(1);
            w.carrier.send(); // on its way, not yet run: the main thread runs no events
            sent.set_value();
            try {
                w.change(2);
                w.carrier.flush();
            } catch (const WorkerHalted&) {
                halted = true;
            }
        });
        sent.get_future().wait();
        if (end == End::Halt)
            w.halt->halt();
        else
            w.window.reset();
        w.thread.join();
        QCoreApplication::processEvents();
        EXPECT_TRUE(halted);
        EXPECT_TRUE(w.applied.empty());
    }
}

TEST(UiCarrier, OnTheUiThreadItselfChangesRunAtTheTrip)
{
    Worker w;
    w.change(1);
    EXPECT_TRUE(w.applied.empty());
    EXPECT_EQ(w.carrier.read<int>([&] { return static_cast<int>(w.applied.size()); }), 1);
    w.change(2);
    w.carrier.send();
    EXPECT_EQ(w.applied, (std::vector<int>{1, 2}));
}

// One pass of the scan worker against stand-in servers on 127.0.0.1, through
// a view that records every change.

#include "ScanTestSupport.h"
#include "net/PrivateNetwork.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/TextFile.h"
#include "scan/WatchLists.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

using namespace korvane;
using namespace korvane::test;
using fleet::Behaviour;

namespace {

struct ScanPass : ::testing::Test
{
    DataFolder folder;
    RecordingView view;
    ScanControl control;

    PassResult scan(const fleet::Fleet& servers, int inFlight = DefaultInFlight, int timeoutMs = 300)
    {
        writeScanDataOnce(servers);
        loadTable(view, servers, timeoutMs);
        return runScanPass(view, control, inFlight);
    }
    void writeScanDataOnce(const fleet::Fleet& servers)
    {
        if (!folder.exists("Serverlists/Standard")) writeScanData(folder, servers);
    }
    const ScanRow& rowOf(const std::string& host)
    {
        for (const ScanRow& row : view.rows)
            if (row.host == host) return row;
        static const ScanRow none;
        ADD_FAILURE() << "no row " << host;
        return none;
    }
};

} // namespace

TEST_F(ScanPass, ChangesInTheirExactOrder)
{
    fleet::FleetConfig config;
    config.servers = {makeServer("A", Behaviour::Answer, {"Bob", "[xy]Ann"}),
                      makeServer("B", Behaviour::Silent)};
    fleet::Fleet servers(config);
    servers.start();
    writeScanData(folder, servers);
    folder.write("Buddys.txt", "bob\r\n");
    folder.write("clantags.txt", "[XY]\r\n");
    view.clantags = true;

    for (int inFlight : {1, DefaultInFlight}) {
        view.changes.clear();
        ASSERT_EQ(scan(servers, inFlight).end, PassEnd::Complete);
        const std::vector<std::string> expected = {
            "hideListEditors",
            "unsortTable",
            "clearBuddies",
            "startProgress",
            "repaintBuddies",
            "stepProgress 1",
            "status 0 - 2 scanning...",
            "repaintWindow",
            "addBuddy bob|A",
            "buddyCaption 1 Buddys online",
            "addBuddy [xy]Ann|A",
            "buddyCaption 2 Buddys online",
            "buddyCaption 2 Buddys online", // the entry the reply's last line feed starts
            "writeRow 0 2/16|1|obj/obj_team2|A|Medal of Honor",
            "scrollToRow 0",
            "stepProgress 2",
            "status 1 - 2 scanning...",
            "repaintWindow",
            "writeRow 1 no response|3| |B| ",
            "scrollToRow 1",
            "hideProgress",
            "sortPlayersAndBuddies",
            "status 2 servers in Serverlists\\Standard",
            "sortTableByCaption",
            "scrollToFirstPopulated",
            "endScanning",
        };
        EXPECT_EQ(view.changes, expected) << "in flight " << inFlight;
    }
}

TEST_F(ScanPass, RowContentsOfEachOutcome)
{
    std::vector<std::string> twenty;
    for (int i = 0; i < 20; ++i)
        twenty.push_back("p" + std::to_string(i));
    fleet::FleetConfig config;
    config.servers = {
        makeServer("full", Behaviour::Answer, twenty, 20),
        makeServer("empty", Behaviour::Answer, {}, 16),
        makeServer("silent", Behaviour::Silent),
        makeServer("badmax", Behaviour::BadMax, {"x"}),
        makeServer("three", Behaviour::Answer, {"a", "b", "c"}),
        makeServer("garbage", Behaviour::Garbage),
    };
    config.servers[4].game = fleet::Game::Spearhead;
    fleet::Fleet servers(config);
    servers.start();
    ASSERT_EQ(scan(servers).end, PassEnd::Complete);

    EXPECT_EQ(rowOf("full"), (ScanRow{"FULL", ImageFull, "obj/obj_team2", "full", "Medal of Honor"}));
    EXPECT_EQ(rowOf("empty"), (ScanRow{"0/16", ImageAnswered, "obj/obj_team2", "empty", "Medal of Honor"}));
    EXPECT_EQ(rowOf("silent"), (ScanRow{"no response", ImageNoResponse, " ", "silent", " "}));
    EXPECT_EQ(rowOf("badmax"), (ScanRow{"sends shit", ImageNoResponse, " ", "badmax", " "}));
    EXPECT_EQ(rowOf("three"), (ScanRow{"3/16", ImageAnswered, "obj/obj_team2", "three", "Spearhead"}));
    EXPECT_EQ(rowOf("garbage").caption, "sends shit");

    // Sorted by caption; the scroll passes over 0/16 and stops at the first row with players.
    std::vector<std::string> captions;
    for (const ScanRow& row : view.rows)
        captions.push_back(row.caption);
    EXPECT_EQ(captions,
              (std::vector<std::string>{"0/16", "3/16", "FULL", "no response", "sends shit", "sends shit"}));
    EXPECT_EQ(view.scrolledRow, 1);
    EXPECT_FALSE(view.scanning);
    EXPECT_FALSE(view.progressVisible);
    EXPECT_EQ(view.progressPosition, 6);
    EXPECT_EQ(view.buddyCaption, "No Buddys online");
}

TEST_F(ScanPass, MissingWatchListTurnsAnsweringServersIntoSendsShit)
{
    fleet::FleetConfig config;
    config.servers = {makeServer("empty", Behaviour::Answer), makeServer("silent", Behaviour::Silent)};
    fleet::Fleet servers(config);
    servers.start();
    writeScanData(folder, servers);
    std::remove(folder.file("clantags.txt").c_str());
    ASSERT_EQ(scan(servers).end, PassEnd::Complete);
    EXPECT_EQ(rowOf("empty").caption, "sends shit");
    EXPECT_EQ(rowOf("silent").caption, "no response");
}

TEST_F(ScanPass, BuddiesFoundStayWhenTheReplyBreaks)
{
    fleet::FleetConfig config;
    config.servers = {makeServer("badmax", Behaviour::BadMax, {"Bob"})};
    fleet::Fleet servers(config);
    servers.start();
    writeScanData(folder, servers);
    folder.write("Buddys.txt", "BOB\r\nbob");
    ASSERT_EQ(scan(servers).end, PassEnd::Complete);
    EXPECT_EQ(view.buddies, (std::vector<BuddyItem>{{"bob", "badmax"}, {"BOB", "badmax"}}));
    EXPECT_EQ(view.buddyCaption, "2 Buddys online");
    EXPECT_EQ(rowOf("badmax").caption, "sends shit");
}

TEST_F(ScanPass, ListNamesDecideTheAddressAsked)
{
    fleet::FleetConfig config;
    config.servers = {makeServer("first", Behaviour::Answer, {"a"}),
                      makeServer("second", Behaviour::Answer, {"a", "b"})};
    fleet::Fleet servers(config);
    servers.start();
    // Two entries named "dup": both rows ask the later entry's address.
    folder.write("Serverlists/Standard", crlf({"dup", "127.0.0.1", std::to_string(servers.port(0)), "dup",
                                               "127.0.0.1", std::to_string(servers.port(1))}));
    folder.write("Buddys.txt", "");
    folder.write("clantags.txt", "");
    view.loadServers({"dup", "dup", "gone"});
    view.list = "Serverlists\\Standard";
    view.timeout = 300;
    ASSERT_EQ(runScanPass(view, control).end, PassEnd::Complete);
    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(view.rows[0], (ScanRow{"2/16", ImageAnswered, "obj/obj_team2", "dup", "Medal of Honor"}));
    EXPECT_EQ(view.rows[1], view.rows[0]);
    // The name left the list: no address, and the row's name is emptied.
    EXPECT_EQ(view.rows[2], (ScanRow{"no response", ImageNoResponse, " ", "", " "}));
}

TEST_F(ScanPass, TheSmallerOfServerBoxAndTableIsScanned)
{
    fleet::FleetConfig config;
    config.servers = {makeServer("a", Behaviour::Answer), makeServer("b", Behaviour::Answer)};
    fleet::Fleet servers(config);
    servers.start();
    writeScanData(folder, servers);
    loadTable(view, servers);
    view.serverBox.push_back("extra");
    ASSERT_EQ(runScanPass(view, control).end, PassEnd::Complete);
    EXPECT_EQ(view.statusText, "2 servers in Serverlists\\Standard");

    view.rows.pop_back();
    view.changes.clear();
    ASSERT_EQ(runScanPass(view, control).end, PassEnd::Complete);
    EXPECT_EQ(view.statusText, "1 servers in Serverlists\\Standard");
    EXPECT_EQ(view.progressPosition, 1);
}

TEST_F(ScanPass, StatusTextsOfTwelveServers)
{
    fleet::FleetConfig config;
    for (int i = 0; i < 12; ++i)
        config.servers.push_back(makeServer("s" + std::to_string(i), Behaviour::Answer));
    fleet::Fleet servers(config);
    servers.start();
    ASSERT_EQ(scan(servers).end, PassEnd::Complete);
    std::vector<std::string> statuses;
    for (const std::string& change : view.changes)
        if (change.rfind("status ", 0) == 0) statuses.push_back(change.substr(7));
    ASSERT_EQ(statuses.size(), 13u);
    EXPECT_EQ(statuses.front(), "0 - 12 scanning...");
    EXPECT_EQ(statuses[11], "11 - 12 scanning...");
    EXPECT_EQ(statuses.back(), "12 servers in Serverlists\\Standard");
}

TEST_F(ScanPass, EmptyListEndsAtOnce)
{
    folder.write("Serverlists/Standard", "");
    view.loadServers({});
    view.list = "Serverlists\\Standard";
    ASSERT_EQ(runScanPass(view, control).end, PassEnd::Complete);
    EXPECT_EQ(view.statusText, "0 servers in Serverlists\\Standard");
    EXPECT_FALSE(view.scanning);
}

TEST_F(ScanPass, MissingListFileEndsTheWorkerInTheScanningState)
{
    fleet::FleetConfig config;
    config.servers = {makeServer("a", Behaviour::Answer)};
    fleet::Fleet servers(config);
    servers.start();
    loadTable(view, servers);
    folder.write("Buddys.txt", "");
    folder.write("clantags.txt", "");
    const PassResult result = runScanPass(view, control);
    EXPECT_EQ(result.end, PassEnd::Failed);
    EXPECT_EQ(result.error, "File not found");
    EXPECT_TRUE(view.scanning);
    EXPECT_TRUE(view.progressVisible);
    EXPECT_EQ(view.changes.back(), "repaintWindow");
    EXPECT_EQ(view.rows[0].caption, "not scanned");
    EXPECT_EQ(control.openSockets.load(), 0);
}

// Every observable result of a pass is the same one at a time and overlapped.
TEST_F(ScanPass, OverlappedPassShowsWhatAOneAtATimePassShows)
{
    // Garbage is left out: the fleet draws its bytes afresh for every reply.
    // One each of the replies the fleet is slow to build, so its own
    // serving never decides a time-out.
    const Behaviour kinds[] = {Behaviour::Answer, Behaviour::Silent, Behaviour::Full,   Behaviour::Answer,
                               Behaviour::Short,  Behaviour::Long,   Behaviour::Answer, Behaviour::BadMax,
                               Behaviour::Slow,   Behaviour::Answer};
    fleet::FleetConfig config;
    for (int i = 0; i < 24; ++i) {
        fleet::ServerConfig s =
            makeServer("srv" + std::to_string(i), i == 16 ? Behaviour::Oversize : kinds[i % 10],
                       {"Bob", "[xy]p" + std::to_string(i), "x"}, 8 + i % 5);
        if (i > 10 && s.behaviour == Behaviour::Long) s.behaviour = Behaviour::Full;
        s.delayMs = i == 18 ? 4000 : 30; // one slow server misses its time-out
        s.game = i % 2 ? fleet::Game::Spearhead : fleet::Game::AlliedAssault;
        config.servers.push_back(s);
    }
    fleet::Fleet servers(config);
    servers.start();
    writeScanData(folder, servers);
    folder.write("Buddys.txt", "bob\r\n\r\nBOB");
    folder.write("clantags.txt", "[XY]\r\n");
    view.clantags = true;

    ASSERT_EQ(scan(servers, 1, 1500).end, PassEnd::Complete);
    const RecordingView oneAtATime = view;
    view = RecordingView{};
    view.clantags = true;
    ASSERT_EQ(scan(servers, DefaultInFlight, 1500).end, PassEnd::Complete);

    EXPECT_EQ(view.changes, oneAtATime.changes);
    for (std::size_t i = 0; i < std::min(view.changes.size(), oneAtATime.changes.size()); ++i)
        if (view.changes[i] != oneAtATime.changes[i]) {
            ADD_FAILURE() << "first difference at " << i << ": " << view.changes[i] << " vs "
                          << oneAtATime.changes[i];
            break;
        }
    EXPECT_EQ(view.rows, oneAtATime.rows);
    EXPECT_EQ(view.buddies, oneAtATime.buddies);
    EXPECT_EQ(control.openSockets.load(), 0);
}

// A view whose applying of some rows blocks for a while, as a long match over
// a big buddy file or a busy window does; it notes the sockets still open
// whenever a row is applied.
struct HeldUpView : RecordingView
{
    const ScanControl* control = nullptr;
    std::vector<int> heldRows;
    int holdMs = 0;
    int mostWaitingWhileApplying = 0;

    void writeRow(int row, const ScanRow& r) override
    {
        mostWaitingWhileApplying = std::max(mostWaitingWhileApplying, control->waiting.load());
        if (std::find(heldRows.begin(), heldRows.end(), row) != heldRows.end())
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        RecordingView::writeRow(row, r);
    }
};

// Late servers, forged replies from other ports and from ::1, and a worker
// held up while replies land: every pass shows what a plain one-at-a-time
// pass that is never held up shows.
TEST_F(ScanPass, HeldUpWorkerLateServersAndStraysShowWhatAPlainPassShows)
{
    constexpr int TimeoutMs = 400;
    struct Server
    {
        const char* name;
        Behaviour behaviour;
        int delayMs;
        const char* caption;
    } table[] = {
        {"first", Behaviour::Answer, 0, "1/16"},
        {"late", Behaviour::Slow, 700, "no response"},
        {"stray", Behaviour::Stray, 100, "1/16"},
        {"onlyStrays", Behaviour::Stray, 3000, "no response"},
        {"slowInTime", Behaviour::Slow, 100, "1/16"},
        {"silent", Behaviour::Silent, 0, "no response"},
        {"lateToo", Behaviour::Slow, 600, "no response"},
        {"last", Behaviour::Answer, 0, "1/16"},
    };
    fleet::FleetConfig config;
    for (const Server& t : table) {
        fleet::ServerConfig s = makeServer(t.name, t.behaviour, {&t == table ? "Bob" : "x"});
        s.delayMs = t.delayMs;
        config.servers.push_back(s);
    }
    fleet::Fleet servers(config);
    servers.start();
    writeScanData(folder, servers);
    folder.write("Buddys.txt", "bob\r\n");

    ASSERT_EQ(scan(servers, 1, TimeoutMs).end, PassEnd::Complete);
    const RecordingView plain = view;
    for (std::size_t i = 0; i < std::size(table); ++i) {
        const ScanRow& row = rowOf(table[i].name);
        EXPECT_EQ(row.caption, table[i].caption) << table[i].name;
        EXPECT_NE(row.map, "forged/elsewhere") << table[i].name;
    }
    EXPECT_EQ(view.buddies, (std::vector<BuddyItem>{{"bob", "first"}}));

    for (int inFlight : {1, DefaultInFlight}) {
        HeldUpView held;
        held.control = &control;
        held.heldRows = {0, 4};
        held.holdMs = 850; // past every late reply
        loadTable(held, servers, TimeoutMs);
        ASSERT_EQ(runScanPass(held, control, inFlight).end, PassEnd::Complete);
        EXPECT_EQ(held.changes, plain.changes) << "in flight " << inFlight;
        EXPECT_EQ(held.rows, plain.rows) << "in flight " << inFlight;
        EXPECT_EQ(held.buddies, plain.buddies) << "in flight " << inFlight;
        if (inFlight == 1) {
            EXPECT_EQ(held.mostWaitingWhileApplying, 0) << "the next server is asked only after";
        }
        EXPECT_EQ(control.openSockets.load(), 0);
    }
}

// A view that edits the data files while the pass runs: after the matching
// of entry `after` (counted over the pass, from 1).
struct EditingView : RecordingView
{
    int after = 0;
    std::function<void()> edit;
    int entries = 0;
    void updateBuddyCaption() override
    {
        RecordingView::updateBuddyCaption();
        if (++entries == after) edit();
    }
};

// The watch lists are read afresh for every player entry and the list for
// every row (one at a time), so an edit during the pass counts from the next
// one on: in place with the same size, replaced whole, removed. With many
// servers asked at once, every row's address is read as the pass starts, so
// an outside edit of the list is not seen.
TEST_F(ScanPass, EditsDuringThePassCountFromTheNextEntryOrRow)
{
    fleet::FleetConfig config;
    config.servers = {makeServer("A", Behaviour::Answer, {"Bob", "Ann", "Cid"}),
                      makeServer("B", Behaviour::Answer, {"Bob"})};
    fleet::Fleet servers(config);
    servers.start();
    const std::string movedB = "A\r\n127.0.0.1\r\n" + std::to_string(servers.ports()[0]) +
                               "\r\nB\r\n127.0.0.1\r\n" + std::to_string(test::unusedPort()) + "\r\n";
    struct Case
    {
        const char* what;
        int after;
        std::function<void(const DataFolder&)> edit;
        std::vector<BuddyItem> buddies;
        std::string captionB;
        int inFlight = 1;
    } cases[] = {
        {"buddy file rewritten in place, same size",
         1,
         [](const DataFolder& f) {
             std::ofstream(f.file("Buddys.txt"), std::ios::binary | std::ios::in | std::ios::out)
                 << "ann\r\n";
         },
         {{"ann", "A"}, {"bob", "A"}},
         "1/16"},
        {"buddy file replaced",
         2,
         [](const DataFolder&) {
             replaceFileLines(dataPath(BuddyFileName), {"cid", "bob"});
         },
         {{"bob", "A"}, {"bob", "B"}, {"cid", "A"}},
         "1/16"},
        {"clan-tag file removed",
         2,
         [](const DataFolder& f) { std::remove(f.file("clantags.txt").c_str()); },
         {{"bob", "A"}},
         "sends shit"},
        {"list changed after the first row",
         4,
         [&](const DataFolder& f) { f.write("Serverlists/Standard", movedB); },
         {{"bob", "A"}},
         "no response"},
        {"list changed after the first row, many in flight",
         4,
         [&](const DataFolder& f) { f.write("Serverlists/Standard", movedB); },
         {{"bob", "A"}, {"bob", "B"}},
         "1/16",
         DefaultInFlight},
    };
    for (const Case& c : cases) {
        writeScanData(folder, servers);
        folder.write("Buddys.txt", "bob\r\n");
        EditingView editing;
        editing.after = c.after;
        editing.edit = [&] { c.edit(folder); };
        loadTable(editing, servers);
        ASSERT_EQ(runScanPass(editing, control, c.inFlight).end, PassEnd::Complete) << c.what;
        EXPECT_EQ(editing.buddies, c.buddies) << c.what;
        const auto b = std::find_if(editing.rows.begin(), editing.rows.end(),
                                    [](const ScanRow& row) { return row.host == "B"; });
        ASSERT_NE(b, editing.rows.end()) << c.what;
        EXPECT_EQ(b->caption, c.captionB) << c.what;
    }
}

// A view whose time-out the user changes once the first row is written.
struct TimeOutChangingView : RecordingView
{
    int changedTo = 0;
    void writeRow(int row, const ScanRow& r) override
    {
        if (row == 0) timeout = changedTo;
        RecordingView::writeRow(row, r);
    }
};

// Servers still waiting take the time-out in force, counted from their own
// requests, and so do those not asked yet.
TEST_F(ScanPass, ATimeOutChangedDuringThePassAppliesToServersStillWaiting)
{
    fleet::FleetConfig config;
    config.servers = {makeServer("first", Behaviour::Answer)};
    for (int i = 0; i < 5; ++i)
        config.servers.push_back(makeServer("silent" + std::to_string(i), Behaviour::Silent));
    fleet::Fleet servers(config);
    servers.start();
    writeScanData(folder, servers);
    for (int inFlight : {DefaultInFlight, 3}) {
        TimeOutChangingView changing;
        loadTable(changing, servers, 60000);
        changing.changedTo = 100;
        // Halts a pass that waits out the old minute.
        ScanControl guarded;
        std::promise<void> ended;
        std::thread watchdog([&guarded, done = ended.get_future()] {
            if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) guarded.halt();
        });
        const PassResult result = runScanPass(changing, guarded, inFlight);
        ended.set_value();
        watchdog.join();
        ASSERT_EQ(result.end, PassEnd::Complete) << "in flight " << inFlight;
        EXPECT_EQ(changing.rows[0].caption, "0/16");
        for (std::size_t row = 1; row < changing.rows.size(); ++row)
            EXPECT_EQ(changing.rows[row].caption, "no response");
    }
}

// A pass over a slow line: a network namespace of the test's own whose
// loopback carries 8 Mbit/s and queues at most 50 ms, as a home line's
// provider does. Replies the line cannot carry at once are dropped there, so
// a scan that asks faster than the line brings the replies loses servers.
TEST(ShapedPath, NoLiveServerIsLostOnASlowLine)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root for a network namespace with a shaped loopback";
    if (std::system("command -v tc >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs tc (iproute2) to shape the loopback";
    DataFolder folder;
    bool shaped = false;
    int answering = 0;
    std::vector<std::string> lost;
    const bool entered = PrivateNetwork::run([&] {
        shaped =
            std::system("tc qdisc add dev lo root tbf rate 8mbit burst 16kb latency 50ms 2>/dev/null") == 0;
        if (!shaped) return;
        // About 300 KB of replies: far more than the line queues, and a
        // third of a second to carry.
        fleet::Fleet servers(fleet::generateFleet(800, 0, 0.25, 7));
        servers.start();
        writeScanData(folder, servers);
        ScanTable table;
        loadTable(table, servers, 1500);
        ScanControl control;
        ASSERT_EQ(runScanPass(table, control).end, PassEnd::Complete);
        for (const fleet::ServerConfig& server : servers.config().servers) {
            if (server.behaviour == fleet::Behaviour::Silent) continue;
            ++answering;
            for (const ScanRow& row : table.rows)
                if (row.host == server.listName && row.caption == "no response") lost.push_back(row.host);
        }
    });
    if (!entered) GTEST_SKIP() << "no network namespace could be made (unshare -n)";
    if (!shaped) GTEST_SKIP() << "the kernel cannot shape the loopback (tc qdisc tbf)";
    EXPECT_EQ(answering, 600);
    EXPECT_EQ(lost, std::vector<std::string>{});
}

// Descriptors the process has open.
int openDescriptors()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

TEST_F(ScanPass, NoDescriptorOutlivesAPassOrAHalt)
{
    fleet::FleetConfig config;
    for (int i = 0; i < 20; ++i)
        config.servers.push_back(
            makeServer("s" + std::to_string(i), i < 4 ? Behaviour::Answer : Behaviour::Silent));
    fleet::Fleet servers(config);
    servers.start();
    writeScanData(folder, servers);
    // A first pass: the process keeps one socket for arrival stamps from its
    // first on, and the fleet is up for certain.
    loadTable(view, servers, 50);
    ASSERT_EQ(runScanPass(view, control).end, PassEnd::Complete);
    const int before = openDescriptors();

    ASSERT_EQ(runScanPass(view, control).end, PassEnd::Complete);
    EXPECT_EQ(openDescriptors(), before) << "after a complete pass";

    loadTable(view, servers, 60000);
    auto shared = std::make_shared<ScanControl>();
    auto table = std::make_unique<RecordingView>(view);
    std::shared_ptr<ScanRun> run = ScanRun::start(shared, std::move(table), 8);
    // The worker waits a minute per silent server; wait until it is asking.
    for (int i = 0; i < 500 && shared->waiting.load() < 8; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(shared->waiting.load(), 8);
    EXPECT_GT(openDescriptors(), before);
    run->halt();
    ASSERT_TRUE(shared->waitFinished(5000));
    EXPECT_EQ(shared->result().end, PassEnd::Halted);
    EXPECT_EQ(shared->openSockets.load(), 0);
    // The halt switch goes with the worker thread's last reference.
    shared.reset();
    run.reset();
    for (int i = 0; i < 500 && openDescriptors() != before; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(openDescriptors(), before) << "after a halt";
}

// The program raises a low soft limit as far as the hard one allows, then
// sizes the scan's sockets from what it got, keeping a margin that shrinks.
TEST(ScanSockets, RaisedLimitThenSocketsInsideItWithAMarginThatShrinks)
{
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct
    {
        rlim_t soft;
        long raisedTo; // the limit asked for at start, 0: none
        int sockets;   // of 512 wanted
    } cases[] = {{4096, 0, 512}, {600, 0, 472}, {256, 0, 192},   {129, 0, 97},     {64, 0, 48},
                 {20, 0, 4},     {10, 0, 1},    {64, 1024, 512}, {2048, 1024, 512}};
    for (const auto& c : cases) {
        if (c.soft > saved.rlim_max) continue;
        rlimit limit = saved;
        limit.rlim_cur = c.soft;
        ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
        long raised = static_cast<long>(c.soft);
        if (c.raisedTo > 0) raised = raiseOpenFileLimit(c.raisedTo);
        const int got = descriptorsToSpare(512);
        ::setrlimit(RLIMIT_NOFILE, &saved);
        const long expectedLimit = std::max<long>(
            static_cast<long>(c.soft), std::min<long>(c.raisedTo, static_cast<long>(saved.rlim_max)));
        EXPECT_EQ(raised, expectedLimit) << "soft limit " << c.soft;
        if (c.raisedTo == 0 || raised >= 1024) {
            EXPECT_EQ(got, c.sockets) << "soft limit " << c.soft;
        }
    }
}

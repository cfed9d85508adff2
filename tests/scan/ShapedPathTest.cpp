// A pass over a slow line: a network namespace of the test's own whose
// loopback carries 8 Mbit/s and queues at most 50 ms, as a home line's
// provider does. Replies the line cannot carry at once are dropped there, so
// a scan that asks faster than the line brings the replies loses servers.

#include "ScanTestSupport.h"
#include "net/PrivateNetwork.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

using namespace korvane;
using namespace korvane::test;

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

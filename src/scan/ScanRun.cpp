#include "scan/ScanRun.h"

#include "app/ServerListFile.h"
#include "app/ServerListIndex.h"
#include "platform/Convert.h"
#include "platform/UdpExchangePool.h"
#include "query/ScanReply.h"
#include "query/StatusQuery.h"
#include "scan/WatchLists.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>
#include <vector>

namespace korvane {

bool showsPlayers(const std::string& caption)
{
    return !caption.empty() && caption[0] >= '1' && caption[0] <= '9';
}

void ScanControl::finish(PassResult result)
{
    {
        std::lock_guard<std::mutex> guard(m_resultMutex);
        m_result = std::move(result);
        m_finished = true;
    }
    m_resultChanged.notify_all();
}

bool ScanControl::waitFinished(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_resultMutex);
    return m_resultChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [this] { return m_finished.load(); });
}

PassResult ScanControl::result()
{
    std::lock_guard<std::mutex> guard(m_resultMutex);
    return m_result;
}

namespace {

// How many rows are applied between two trips to the window while replies
// are already in, so the window never waits long for its next slice.
constexpr int RowsPerTrip = 64;
// How many rows' hosts one read of the table brings.
constexpr int HostsPerRead = 512;

// One row's exchange, from its launch until its turn comes.
struct Exchange
{
    bool done = false;
    ServerAddress address;
    std::string listName;
    std::exception_ptr lookupError;
    std::string reply;
};

class Pass
{
public:
    Pass(ScanView& view, ScanControl& control, int inFlight)
        : m_view(view), m_control(control), m_limit(std::max(1, inFlight))
    {}
    ~Pass()
    {
        m_pool.close();
        noteSockets();
    }

    PassResult run();

private:
    void checkHalt() const
    {
        if (m_control.halted()) throw ScanHalted{};
    }
    void launchMore(int& next, int turn, int n);
    void launch(int row);
    void finish(int row, std::string reply);
    void collect();
    void apply(int row);
    const std::string& hostOf(int row, int n);
    void noteSockets()
    {
        m_control.openSockets = m_pool.openSockets();
        m_control.waiting = m_pool.waiting();
        m_control.dropped = m_pool.dropped();
    }

    ScanView& m_view;
    ScanControl& m_control;
    const int m_limit;
    // Copied so a worker outliving the program's globals never reads them.
    const std::string m_request = StatusRequest;
    UdpExchangePool m_pool;
    std::vector<Exchange> m_rows;
    std::vector<std::string> m_hosts;
    int m_hostsFrom = 0;
    ServerListIndex m_list;
    WatchListReader m_watchLists;
};

PassResult Pass::run()
{
    m_view.hideListEditors();
    m_view.unsortTable();
    m_view.clearBuddies();
    const int n = std::max(0, std::min(m_view.serverBoxCount(), m_view.rowCount()));
    m_view.startProgress();
    m_view.repaintBuddies();
    m_rows.resize(static_cast<std::size_t>(n));

    int next = 0;
    int sinceTrip = 0;
    for (int turn = 0; turn < n; ++turn) {
        checkHalt();
        m_view.stepProgress();
        m_view.setStatusText(std::to_string(turn) + " - " + std::to_string(n) + " scanning...");
        m_view.repaintWindow();
        Exchange& current = m_rows[static_cast<std::size_t>(turn)];
        for (;;) {
            // The time-out in force, for the exchanges still waiting too.
            m_pool.setTimeout(std::max(0, m_view.timeoutMs()));
            launchMore(next, turn, n);
            collect();
            if (current.done) break;
            m_view.send();
            sinceTrip = 0;
            m_pool.wait(m_control.wakeHandle());
            checkHalt();
        }
        apply(turn);
        current = Exchange{};
        if (++sinceTrip >= RowsPerTrip) {
            m_view.send();
            sinceTrip = 0;
        }
    }

    m_view.hideProgress();
    m_view.sortPlayersAndBuddies();
    m_view.setStatusText(std::to_string(n) + " servers in " + m_view.currentList());
    m_view.sortTableByCaption();
    m_view.scrollToFirstPopulated();
    m_view.endScanning();
    m_view.flush();
    return {PassEnd::Complete, {}};
}

// Rows are handed to the pool in order; it sends them as the path allows.
// The row whose turn it is keeps its place until it is applied, so with a
// limit of one the next server is asked only after that.
void Pass::launchMore(int& next, int turn, int n)
{
    while (next < n) {
        const int busy = m_pool.pending() + (m_rows[static_cast<std::size_t>(turn)].done ? 1 : 0);
        if (next > turn && busy >= m_limit) break;
        launch(next++);
    }
}

const std::string& Pass::hostOf(int row, int n)
{
    const int offset = row - m_hostsFrom;
    if (offset < 0 || offset >= static_cast<int>(m_hosts.size())) {
        m_hostsFrom = row;
        m_hosts = m_view.rowHosts(row, std::min(HostsPerRead, n - row));
    }
    return m_hosts[static_cast<std::size_t>(row - m_hostsFrom)];
}

void Pass::launch(int row)
{
    Exchange& exchange = m_rows[static_cast<std::size_t>(row)];
    const std::string& host = hostOf(row, static_cast<int>(m_rows.size()));
    try {
        exchange.address = m_list.lookup(currentListPath(m_view.currentList()), host);
    } catch (const std::exception&) {
        // Reported when the row's turn comes, so every earlier row still shows.
        exchange.lookupError = std::current_exception();
        exchange.done = true;
        return;
    }
    if (exchange.address.found) exchange.listName = host;
    int port = 0;
    try {
        port = strToInt(exchange.address.port);
    } catch (const std::exception&) {
        finish(row, {}); // a bad port: no reply
        return;
    }
    // A name that does not resolve or a socket error ends as no reply too.
    m_pool.submit(row, exchange.address.ip, port, m_request);
}

void Pass::finish(int row, std::string reply)
{
    Exchange& exchange = m_rows[static_cast<std::size_t>(row)];
    exchange.reply = std::move(reply);
    exchange.done = true;
}

// Takes every reply that has come, ends every exchange whose time is up and
// sends what may leave.
void Pass::collect()
{
    m_pool.pump([this](int row, std::optional<std::string> reply) { finish(row, reply.value_or("")); });
    noteSockets();
}

void Pass::apply(int row)
{
    Exchange& exchange = m_rows[static_cast<std::size_t>(row)];
    if (exchange.lookupError) std::rethrow_exception(exchange.lookupError);
    const std::string& listName = exchange.listName;
    const ScanReply reply = evaluateScanReply(exchange.reply);
    if (!reply.answered) {
        m_view.writeRow(row, {"no response", ImageNoResponse, " ", listName, " "});
        m_view.scrollToRow(row);
        return;
    }
    try {
        for (std::size_t k = 0; k < reply.names.size(); ++k) {
            const std::string& name = reply.names[k];
            // An empty entry matches nothing, so its reading of the lists
            // only tells whether both still open; an empty entry right after
            // another learns nothing new from it, and a reply of thousands of
            // them costs what a short one does.
            if (name.empty() && k > 0 && reply.names[k - 1].empty()) {
                m_view.updateBuddyCaption();
                continue;
            }
            // Read afresh for every entry, as a change must count from the next one.
            const PreparedWatchLists& lists = m_watchLists.current();
            const bool clantags = !name.empty() && m_view.checkClantags();
            for (const std::string& caption : matchPlayer(name, lists, clantags))
                m_view.addBuddy(caption, listName);
            m_view.updateBuddyCaption();
        }
        const ScanOutcome outcome = decideScanOutcome(reply);
        m_view.writeRow(row, {scanCaption(reply, outcome),
                              outcome == ScanOutcome::Full ? ImageFull : ImageAnswered, reply.map, listName,
                              reply.game});
        m_view.scrollToRow(row);
    } catch (const std::exception&) {
        m_view.writeRow(row, {"sends shit", ImageNoResponse, " ", listName, " "});
        m_view.scrollToRow(row);
    }
}

} // namespace

PassResult runScanPass(ScanView& view, ScanControl& control, int inFlight)
{
    try {
        Pass pass(view, control, inFlight);
        return pass.run();
    } catch (const ScanHalted&) {
        return {PassEnd::Halted, {}};
    } catch (const std::exception& error) {
        return {PassEnd::Failed, error.what()};
    }
}

std::shared_ptr<ScanRun> ScanRun::start(std::shared_ptr<ScanControl> control, std::unique_ptr<ScanView> view,
                                        int inFlight)
{
    std::shared_ptr<ScanRun> run(new ScanRun(control));
    std::thread([control, view = std::move(view), inFlight]() mutable {
        PassResult result = runScanPass(*view, *control, inFlight);
        view.reset();
        control->finish(std::move(result));
    }).detach();
    return run;
}

ScanRun::~ScanRun()
{
    m_control->halt();
}

} // namespace korvane

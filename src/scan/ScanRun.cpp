#include "scan/ScanRun.h"

#include "app/ServerListFile.h"
#include "platform/Convert.h"
#include "platform/UdpClient.h"
#include "query/ScanReply.h"
#include "query/StatusQuery.h"
#include "scan/WatchLists.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <exception>
#include <optional>
#include <poll.h>
#include <sys/resource.h>
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

int inFlightLimit(int wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::max(1, wanted);
    // A quarter of a small limit is margin enough; a large one keeps 128.
    const long current = static_cast<long>(limit.rlim_cur);
    const long usable = current - std::clamp<long>(current / 4, 16, 128);
    return static_cast<int>(std::clamp<long>(std::min<long>(wanted, usable), 1, std::max(1, wanted)));
}

namespace {

using Clock = std::chrono::steady_clock;

// One row's exchange, from its launch until its turn comes.
struct Exchange
{
    bool done = false;
    std::string listName;
    std::exception_ptr lookupError;
    std::unique_ptr<UdpClient> client;
    int timeoutMs = 0;
    Clock::time_point deadline;
    std::string reply;
};

class Pass
{
public:
    Pass(ScanView& view, ScanControl& control, int inFlight)
        : m_view(view), m_control(control), m_limit(inFlightLimit(inFlight))
    {}
    ~Pass() { closeAll(); }

    PassResult run();

private:
    void checkHalt() const
    {
        if (m_control.halted()) throw ScanHalted{};
    }
    void launch(int row);
    void finishExchange(int row, std::string reply);
    void harvest(int waitMs);
    int msToEarliestDeadline() const;
    void apply(int row);
    void closeAll();

    ScanView& m_view;
    ScanControl& m_control;
    const int m_limit;
    // Copied so a worker outliving the program's globals never reads them.
    const std::string m_request = StatusRequest;
    std::vector<Exchange> m_rows;
    std::vector<int> m_inFlight; // rows whose exchange waits, in launch order
};

PassResult Pass::run()
{
    m_view.hideListEditors();
    m_view.unsortTable();
    m_view.clearBuddies();
    const int n = std::min(m_view.serverBoxCount(), m_view.rowCount());
    m_view.startProgress();
    m_view.repaintBuddies();
    m_rows.resize(static_cast<std::size_t>(std::max(n, 0)));

    int next = 0;
    for (int turn = 0; turn < n;) {
        checkHalt();
        m_view.stepProgress();
        m_view.setStatusText(std::to_string(turn) + " - " + std::to_string(n) + " scanning...");
        m_view.repaintWindow();
        if (next == turn) launch(next++);
        for (;;) {
            // The row whose turn it is keeps its place until it is applied, so
            // with a limit of one the next server is asked only after that.
            const auto busy = [&] {
                return static_cast<int>(m_inFlight.size()) +
                       (m_rows[static_cast<std::size_t>(turn)].done ? 1 : 0);
            };
            while (busy() < m_limit && next < n)
                launch(next++);
            harvest(0);
            if (m_rows[static_cast<std::size_t>(turn)].done) break;
            m_view.flush();
            harvest(msToEarliestDeadline());
            checkHalt();
        }
        apply(turn);
        m_rows[static_cast<std::size_t>(turn)] = Exchange{};
        ++turn;
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

void Pass::launch(int row)
{
    Exchange& exchange = m_rows[static_cast<std::size_t>(row)];
    const std::string host = m_view.rowHost(row);
    ServerAddress address;
    try {
        address = lookupServer(currentListPath(m_view.currentList()), host);
    } catch (const std::exception&) {
        // Reported when the row's turn comes, so every earlier row still shows.
        exchange.lookupError = std::current_exception();
        exchange.done = true;
        return;
    }
    if (address.found) exchange.listName = host;
    const int timeoutMs = std::max(0, m_view.timeoutMs());
    try {
        exchange.client = std::make_unique<UdpClient>();
        exchange.client->open();
        ++m_control.openSockets;
        exchange.client->setPeer(address.ip, strToInt(address.port));
        exchange.client->send(m_request);
    } catch (const std::exception&) {
        // A bad port, a name that does not resolve, a socket error: no reply.
        finishExchange(row, {});
        return;
    }
    exchange.timeoutMs = timeoutMs;
    exchange.deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    m_inFlight.push_back(row);
}

void Pass::finishExchange(int row, std::string reply)
{
    Exchange& exchange = m_rows[static_cast<std::size_t>(row)];
    if (exchange.client && exchange.client->isOpen()) {
        exchange.client->close();
        --m_control.openSockets;
    }
    exchange.client.reset();
    exchange.reply = std::move(reply);
    exchange.done = true;
}

int Pass::msToEarliestDeadline() const
{
    if (m_inFlight.empty()) return 0;
    Clock::time_point earliest = Clock::time_point::max();
    for (int row : m_inFlight)
        earliest = std::min(earliest, m_rows[static_cast<std::size_t>(row)].deadline);
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(earliest - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Takes every reply that has come and ends every exchange whose time is up.
// A reply counts by when it arrived, however late the worker looks at it,
// and only from the server asked.
void Pass::harvest(int waitMs)
{
    std::vector<pollfd> fds;
    fds.reserve(m_inFlight.size() + 1);
    for (int row : m_inFlight)
        fds.push_back({m_rows[static_cast<std::size_t>(row)].client->nativeHandle(), POLLIN, 0});
    fds.push_back({m_control.wakeHandle(), POLLIN, 0});
    int ready;
    do {
        ready = ::poll(fds.data(), fds.size(), waitMs);
    } while (ready < 0 && errno == EINTR);

    const Clock::time_point now = Clock::now();
    std::vector<int> waiting;
    waiting.reserve(m_inFlight.size());
    for (std::size_t k = 0; k < m_inFlight.size(); ++k) {
        const int row = m_inFlight[k];
        Exchange& exchange = m_rows[static_cast<std::size_t>(row)];
        std::optional<std::string> reply;
        if (ready > 0 && fds[k].revents != 0) {
            try {
                reply = exchange.client->takeReply(exchange.timeoutMs);
            } catch (const std::exception&) {
                reply = std::string();
            }
        }
        if (reply) {
            finishExchange(row, std::move(*reply));
        } else if (exchange.deadline <= now) {
            finishExchange(row, {});
        } else {
            waiting.push_back(row);
        }
    }
    m_inFlight.swap(waiting);
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
        for (const std::string& name : reply.names) {
            const WatchLists lists = readWatchLists();
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

void Pass::closeAll()
{
    for (int row : m_inFlight)
        finishExchange(row, {});
    m_inFlight.clear();
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

#pragma once
// The scan-all worker: one pass over the server table through a ScanView, with
// several status exchanges in flight and every result applied in row order.

#include "platform/HaltSwitch.h"
#include "scan/ScanView.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace korvane {

// How many status exchanges a pass keeps under way at once, sent or waiting
// to be sent. A silent server holds its place for a whole time-out, so a pass
// takes about one time-out as long as its silent servers all fit; the
// exchanges share a few sockets, so this does not cost descriptors, and they
// leave only as fast as the path brings their replies.
inline constexpr int DefaultInFlight = 4096;
inline constexpr int MaxInFlight = 65536;

// Thrown through the worker when its run was halted.
using ScanHalted = WorkerHalted;

enum class PassEnd { Complete, Halted, Failed };

struct PassResult
{
    PassEnd end = PassEnd::Halted;
    std::string error; // for Failed
};

// The state one run shares between the UI thread and its worker. Halting
// wakes the worker at once; nothing is posted to a window after a halt.
class ScanControl : public HaltSwitch
{
public:
    std::atomic<int> openSockets{0};       // the pass's sockets
    std::atomic<int> waiting{0};           // exchanges waiting for a reply
    std::atomic<std::uint64_t> dropped{0}; // replies the system dropped for want of room

    void finish(PassResult result);
    bool finished() const { return m_finished.load(); }
    // Waits up to timeoutMs for the worker to end; true when it has.
    bool waitFinished(int timeoutMs);
    PassResult result();

private:
    std::atomic<bool> m_finished{false};
    std::mutex m_resultMutex;
    std::condition_variable m_resultChanged;
    PassResult m_result;
};

// The row a first-populated scroll stops at: the first caption beginning with 1 to 9.
bool showsPlayers(const std::string& caption);

// One pass on the calling thread.
PassResult runScanPass(ScanView& view, ScanControl& control, int inFlight = DefaultInFlight);

// The UI side's handle of a worker running on a thread of its own. The worker
// releases itself when it ends; the handle only halts it (also when dropped).
class ScanRun
{
public:
    static std::shared_ptr<ScanRun> start(std::shared_ptr<ScanControl> control,
                                          std::unique_ptr<ScanView> view, int inFlight = DefaultInFlight);
    ~ScanRun();
    ScanRun(const ScanRun&) = delete;
    ScanRun& operator=(const ScanRun&) = delete;

    void halt() { m_control->halt(); }
    ScanControl& control() const { return *m_control; }
    std::shared_ptr<ScanControl> sharedControl() const { return m_control; }

private:
    explicit ScanRun(std::shared_ptr<ScanControl> control) : m_control(std::move(control)) {}
    std::shared_ptr<ScanControl> m_control;
};

} // namespace korvane

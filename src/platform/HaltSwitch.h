#pragma once
// The halt of a worker, shared by the UI side and the worker's thread. A halt
// is immediate and final: it wakes the worker at once, and nothing the worker
// posts reaches the UI side afterwards.

#include <atomic>
#include <mutex>

namespace korvane {

// Thrown through a worker whose run was halted; deliberately not a
// std::exception, so no per-step handler mistakes it for a failure.
struct WorkerHalted
{};

class HaltSwitch
{
public:
    HaltSwitch();
    ~HaltSwitch();
    HaltSwitch(const HaltSwitch&) = delete;
    HaltSwitch& operator=(const HaltSwitch&) = delete;

    void halt();
    bool halted() const { return m_halted.load(); }

    // Runs post while not halted, holding off a halt meanwhile, so a halt and
    // a post never cross. False when halted.
    template <typename F> bool whileRunning(F&& post)
    {
        std::lock_guard<std::mutex> guard(m_postMutex);
        if (m_halted.load()) return false;
        post();
        return true;
    }

    // Becomes readable on the halt, for a worker waiting in poll().
    int wakeHandle() const { return m_wakeFd; }

private:
    std::atomic<bool> m_halted{false};
    std::mutex m_postMutex;
    int m_wakeFd = -1;
};

} // namespace korvane

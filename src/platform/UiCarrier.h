#pragma once
// Carries a worker's reads and changes of a window to the window's thread, in
// the order the worker issues them. Changes gather into a batch that travels
// with the next read or flush; the worker waits for each trip, but never past
// a halt or the window's end, so it can never hang on a UI thread that has
// stopped running its calls.

#include "platform/HaltSwitch.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

namespace korvane {

class UiCarrier
{
public:
    // context: an object living on the UI thread; a trip posted to it is
    // dropped when it is destroyed.
    // Built on the UI thread; the worker never touches context itself, which
    // may be gone by the time a halted worker looks.
    UiCarrier(QObject* context, std::shared_ptr<HaltSwitch> control)
        : m_context(context), m_uiThread(context->thread()), m_control(std::move(control))
    {}

    void post(std::function<void()> change) { m_batch.push_back(std::move(change)); }
    // The changes so far reach the window before flush returns.
    void flush()
    {
        if (!m_batch.empty()) trip({}, true);
        awaitPrevious();
    }
    // The changes so far are on their way; the worker goes on meanwhile.
    void send()
    {
        if (!m_batch.empty()) trip({}, false);
    }
    template <typename T> T read(std::function<T()> get)
    {
        auto value = std::make_shared<std::optional<T>>();
        trip([value, get = std::move(get)] { *value = get(); }, true);
        return value->value_or(T{});
    }

private:
    // Runs the batch, then the read, on the UI thread, after the trip before;
    // throws WorkerHalted when the run is halted or the window went away
    // first. Returns at once unless told to wait.
    void trip(std::function<void()> read, bool wait);
    void awaitPrevious();

    QObject* m_context;
    QThread* m_uiThread;
    std::shared_ptr<HaltSwitch> m_control;
    std::vector<std::function<void()>> m_batch;
    std::future<void> m_previous; // the trip on its way, if any
};

} // namespace korvane

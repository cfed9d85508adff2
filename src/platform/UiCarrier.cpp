#include "platform/UiCarrier.h"

#include <QMetaObject>
#include <QThread>

#include <chrono>
#include <future>

namespace korvane {

namespace {

// How often a waiting worker looks at the halt flag.
constexpr std::chrono::milliseconds HaltCheck{20};

} // namespace

void UiCarrier::trip(std::function<void()> read, bool wait)
{
    if (m_control->halted()) throw WorkerHalted{};
    // One trip on its way at a time: the worker never runs far ahead of the window.
    awaitPrevious();
    auto batch = std::make_shared<std::vector<std::function<void()>>>(std::move(m_batch));
    m_batch.clear();
    auto done = std::make_shared<std::promise<void>>();
    m_previous = done->get_future();
    std::shared_ptr<HaltSwitch> control = m_control;

    auto onUi = [batch, read = std::move(read), done, control] {
        try {
            for (const auto& change : *batch) {
                if (control->halted()) break;
                change();
            }
            if (read && !control->halted()) read();
            done->set_value();
        } catch (...) {
            done->set_exception(std::current_exception());
        }
    };

    if (QThread::currentThread() == m_uiThread) {
        if (control->halted()) throw WorkerHalted{};
        onUi();
    } else if (!control->whileRunning(
                   [&] { QMetaObject::invokeMethod(m_context, std::move(onUi), Qt::QueuedConnection); })) {
        throw WorkerHalted{};
    }
    if (wait) awaitPrevious();
}

void UiCarrier::awaitPrevious()
{
    if (!m_previous.valid()) return;
    std::future<void> finished = std::move(m_previous);
    while (finished.wait_for(HaltCheck) != std::future_status::ready)
        if (m_control->halted()) throw WorkerHalted{};
    try {
        finished.get();
    } catch (const std::future_error&) {
        throw WorkerHalted{}; // the window was destroyed with the trip still queued
    }
    if (m_control->halted()) throw WorkerHalted{};
}

} // namespace korvane

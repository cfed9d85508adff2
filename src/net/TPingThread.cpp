#include "net/TPingThread.h"

#include "net/TICMP.h"

#include <thread>

namespace korvane {

WorkerRegistry::Id WorkerRegistry::add(std::shared_ptr<HaltSwitch> quit)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    const Id id = m_next++;
    m_workers.emplace(id, std::move(quit));
    return id;
}

void WorkerRegistry::remove(Id id)
{
    std::lock_guard<std::mutex> guard(m_mutex);
    m_workers.erase(id);
}

void WorkerRegistry::quitAll()
{
    std::map<Id, std::shared_ptr<HaltSwitch>> workers;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        workers.swap(m_workers);
    }
    for (const auto& entry : workers)
        entry.second->halt();
}

std::size_t WorkerRegistry::running() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_workers.size();
}

WorkerRegistry& pingWorkers()
{
    // Never destroyed: a worker still waiting for its reply when the program
    // ends may look at it while the process's statics are being torn down.
    static WorkerRegistry* registry = new WorkerRegistry;
    return *registry;
}

namespace {

// Blanks and control characters off both ends.
std::string trimmed(const std::string& text)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t first = 0, last = text.size();
    while (first < last && blank(text[first]))
        ++first;
    while (last > first && blank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

} // namespace

void TPingThread::Execute(IcmpEcho& service)
{
    try {
        TICMP icmp(service);
        if (Size != 0) icmp.Size = Size;
        if (TimeOut != 0) icmp.TimeOut = TimeOut;
        if (TTL != 0) icmp.TTL = TTL;
        icmp.Flags = Flags;
        icmp.setAddress(trimmed(Host));
        Result = icmp.SendEcho();
        HostIP = icmp.HostIP();
        if (Result != 0) {
            ErrorCode = 0;
            ReplyIP = dottedAddress(icmp.Reply.Address);
            ReplyHost = ReplyIP;
            Status = icmp.Reply.Status;
            Time = icmp.Reply.RoundTripTime;
            DataSize = icmp.Reply.DataSize;
            if (ResolveNames && icmp.Reply.Address != 0)
                if (const auto name = service.nameOf(icmp.Reply.Address)) ReplyHost = *name;
        } else {
            ErrorCode = icmp.LastError;
            ErrorText = icmp.ErrorText();
        }
    } catch (const TICMPException&) {
        // A failed ping without a reason; nobody is told more.
    }
}

void TPingThread::start(std::shared_ptr<TPingThread> worker, std::shared_ptr<IcmpEcho> service,
                        UiCarrier carrier, std::shared_ptr<HaltSwitch> quit, WorkerRegistry& registry,
                        EndNotification onEnd)
{
    const WorkerRegistry::Id id = registry.add(std::move(quit));
    try {
        std::thread([worker = std::move(worker), service = std::move(service), carrier = std::move(carrier),
                     &registry, id, onEnd = std::move(onEnd)]() mutable {
            worker->Execute(*service);
            try {
                carrier.post([worker, onEnd = std::move(onEnd)] { onEnd(*worker); });
                carrier.flush();
            } catch (...) {
                // Halted, or the notification failed on the UI side: this worker is done either way.
            }
            registry.remove(id);
        }).detach();
    } catch (...) {
        registry.remove(id);
        throw;
    }
}

} // namespace korvane

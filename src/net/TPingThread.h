#pragma once
// A worker that sends one ICMP echo on a thread of its own and keeps the
// outcome for whoever started it. It never touches a window: its end
// notification is carried to the UI thread, in order and never after a halt,
// and the worker frees itself once the notification has run or been dropped.

#include "platform/HaltSwitch.h"
#include "platform/IcmpEcho.h"
#include "platform/UiCarrier.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace korvane {

// The ping workers still running, so that program end can give each its quit
// notice. A worker leaves the list when it ends, so the notice reaches only
// running workers and no entry outlives its worker.
class WorkerRegistry
{
public:
    using Id = std::uint64_t;

    // quit: halted by the quit notice.
    Id add(std::shared_ptr<HaltSwitch> quit);
    void remove(Id id);
    // The quit notice to every running worker; the list is emptied.
    void quitAll();
    std::size_t running() const;

private:
    mutable std::mutex m_mutex;
    Id m_next = 1;
    std::map<Id, std::shared_ptr<HaltSwitch>> m_workers;
};

// The process's registry; it outlives every worker.
WorkerRegistry& pingWorkers();

class TPingThread
{
public:
    // Set by the starter.
    std::string Host; // trimmed before use
    bool ResolveNames = true;
    int Size = 0; // 0 keeps the TICMP default, as do TimeOut and TTL
    int TimeOut = 0;
    int TTL = 0;
    int Flags = 0;

    // Set by the worker.
    int Result = 0; // replies received; 0 failed
    std::string HostIP;
    std::string ReplyIP;
    std::string ReplyHost;
    std::uint32_t Status = 0;
    std::uint32_t Time = 0; // ms
    int DataSize = 0;
    std::uint32_t ErrorCode = 0;
    std::string ErrorText; // only on failure; empty when ICMP could not be set up

    // The body, once, on the calling thread.
    void Execute(IcmpEcho& service);

    using EndNotification = std::function<void(const TPingThread&)>;
    // Runs the body on a thread of its own, listed in registry while it runs,
    // then onEnd through carrier (built on the UI thread) unless halted first.
    // Throws std::system_error when no thread can be had.
    static void start(std::shared_ptr<TPingThread> worker, std::shared_ptr<IcmpEcho> service,
                      UiCarrier carrier, std::shared_ptr<HaltSwitch> quit, WorkerRegistry& registry,
                      EndNotification onEnd);
};

} // namespace korvane

#pragma once
// An echo service for tests: answers from a script instead of the network,
// records every request, and can hold the replies until the test lets them go.

#include "platform/IcmpEcho.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <optional>

namespace korvane::test {

class ScriptedIcmpEcho : public IcmpEcho
{
public:
    struct Outcome
    {
        std::uint32_t status = IcmpSuccess;
        std::uint32_t timeMs = 0;
    };
    struct Request
    {
        std::uint32_t address;
        std::string data;
        IpOptions options;
        std::size_t replyBufferSize;
        int timeoutMs;
    };

    ~ScriptedIcmpEcho() override { release(); }

    // Every echo gets this outcome unless one is queued.
    void answer(Outcome outcome)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_default = outcome;
    }
    // Every echo to this address gets this outcome unless one is queued.
    void answerFor(const std::string& dotted, Outcome outcome)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_byAddress[parseDottedAddress(dotted)] = outcome;
    }
    void queue(Outcome outcome)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_queued.push_back(outcome);
    }
    void failSetUp(std::optional<IcmpSetUpFailure> failure)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_setUpFailure = failure;
    }
    void addName(const std::string& name, const std::string& officialName, const std::string& dotted)
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_names[name] = {officialName, parseDottedAddress(dotted)};
    }
    // Echoes wait in the service until released, all at once or one by one.
    void hold()
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_held = true;
        m_passes = 0;
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            m_held = false;
        }
        m_released.notify_all();
    }
    void releaseOne()
    {
        {
            std::lock_guard<std::mutex> guard(m_mutex);
            ++m_passes;
        }
        m_released.notify_all();
    }
    int waiting() const
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_waiting;
    }
    std::vector<Request> requests() const
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_requests;
    }

    std::unique_ptr<IcmpHandle> createHandle() override
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (m_setUpFailure) throw IcmpSetUpError{*m_setUpFailure};
        return std::make_unique<Handle>(*this);
    }
    std::optional<HostEntry> resolveName(const std::string& name, std::uint32_t& error) override
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        const auto found = m_names.find(name);
        if (found != m_names.end()) return found->second;
        error = HostNotFound;
        return std::nullopt;
    }
    std::optional<std::string> nameOf(std::uint32_t address) override
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        for (const auto& [name, entry] : m_names)
            if (entry.address == address) return entry.officialName;
        return std::nullopt;
    }

private:
    class Handle : public IcmpHandle
    {
    public:
        explicit Handle(ScriptedIcmpEcho& service) : m_service(service) {}
        int sendEcho(std::uint32_t address, const std::string& data, const IpOptions& options,
                     std::vector<unsigned char>& replyBuffer, int timeoutMs) override
        {
            const Outcome outcome = m_service.take({address, data, options, replyBuffer.size(), timeoutMs});
            IcmpEchoReply reply;
            reply.Status = outcome.status;
            m_lastError = outcome.status;
            const std::size_t room = replyBuffer.size() - std::min(replyBuffer.size(), sizeof reply);
            if (outcome.status == IcmpSuccess) {
                reply.Address = address;
                reply.RoundTripTime = outcome.timeMs;
                reply.DataSize = static_cast<std::uint16_t>(std::min(room, data.size()));
                reply.Data = sizeof reply;
                std::copy_n(data.begin(), reply.DataSize, replyBuffer.begin() + sizeof reply);
            }
            if (replyBuffer.size() >= sizeof reply) std::memcpy(replyBuffer.data(), &reply, sizeof reply);
            return outcome.status == IcmpSuccess ? 1 : 0;
        }
        std::uint32_t lastError() const override { return m_lastError; }

    private:
        ScriptedIcmpEcho& m_service;
        std::uint32_t m_lastError = 0;
    };

    Outcome take(Request request)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        const std::uint32_t address = request.address;
        m_requests.push_back(std::move(request));
        ++m_waiting;
        m_released.wait(lock, [this] { return !m_held || m_passes > 0; });
        if (m_held) --m_passes;
        --m_waiting;
        if (m_queued.empty()) {
            const auto own = m_byAddress.find(address);
            return own != m_byAddress.end() ? own->second : m_default;
        }
        const Outcome next = m_queued.front();
        m_queued.pop_front();
        return next;
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    Outcome m_default;
    std::map<std::uint32_t, Outcome> m_byAddress;
    std::deque<Outcome> m_queued;
    std::optional<IcmpSetUpFailure> m_setUpFailure;
    std::map<std::string, HostEntry> m_names;
    std::vector<Request> m_requests;
    bool m_held = false;
    int m_passes = 0;
    int m_waiting = 0;
};

} // namespace korvane::test

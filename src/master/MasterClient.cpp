#include "master/MasterClient.h"

#include "platform/HaltSwitch.h"
#include "platform/HostResolver.h"
#include "platform/TcpStream.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <string>

namespace korvane {

namespace {

using Clock = std::chrono::steady_clock;
using Outcome = MasterResult::Outcome;

// A greeting this long without a challenge is no master's.
constexpr std::size_t MaxGreetingBytes = 1024;

class Exchange
{
public:
    Exchange(const MasterGame& game, const MasterAddress& master, const FetchOptions& options)
        : m_game(game), m_options(options)
    {
        m_result.master = master;
        touch();
    }

    // The name goes to a resolver that looks every master up at once; its
    // answer comes back through found.
    void lookUp(HostResolver& names, int id)
    {
        try {
            names.ask(id, m_result.master.host, m_result.master.port);
        } catch (const std::exception& error) {
            unreachable(error.what());
        }
    }
    void unreachable(const std::string& why) { end(Outcome::Unreachable, why); }

    void found(const HostResolver::Result& name)
    {
        if (m_ended || m_phase != Phase::Lookup) return;
        if (!name.found) return end(Outcome::Unreachable, name.error);
        try {
            m_stream.connect(name.peer, name.length);
        } catch (const std::exception& error) {
            return end(Outcome::Unreachable, error.what());
        }
        m_phase = Phase::Connecting;
        touch();
    }

    bool ended() const { return m_ended; }
    const MasterResult& result() const { return m_result; }
    Clock::time_point deadline() const
    {
        return m_lastHeard + std::chrono::milliseconds(m_options.idleTimeoutMs);
    }

    pollfd poll() const
    {
        // Until its name is found an exchange waits on the resolver's handle alone.
        if (m_phase == Phase::Lookup) return {-1, 0, 0};
        return {m_stream.handle(), m_stream.events(), 0};
    }

    void step(short revents, Clock::time_point now)
    {
        if (revents != 0) {
            switch (m_phase) {
            case Phase::Lookup:
                break;
            case Phase::Connecting:
                connected();
                break;
            case Phase::Greeting:
            case Phase::Listing:
                transfer();
                break;
            }
        }
        if (!m_ended && now >= deadline()) idle();
    }

private:
    enum class Phase { Lookup, Connecting, Greeting, Listing };

    void touch() { m_lastHeard = Clock::now(); }

    void end(Outcome outcome, std::string detail = {})
    {
        m_result.outcome = outcome;
        if (!detail.empty()) m_result.detail = std::move(detail);
        m_stream.close();
        m_ended = true;
    }

    void connected()
    {
        if (const int error = m_stream.finishConnect())
            return end(Outcome::Unreachable, std::strerror(error));
        m_phase = Phase::Greeting;
        touch();
    }

    void transfer()
    {
        if (m_stream.sending()) {
            if (const int error = m_stream.flush()) return closed(std::strerror(error));
        }
        std::string& into = m_phase == Phase::Greeting ? m_greeting : m_reply;
        const std::size_t limit = m_phase == Phase::Greeting ? MaxGreetingBytes : m_options.maxReplyBytes + 1;
        const TcpStream::Received got = m_stream.receive(into, limit > into.size() ? limit - into.size() : 0);
        if (got == TcpStream::Received::Data) touch();
        if (m_phase == Phase::Greeting) greeted();
        if (m_ended) return;
        if (m_reply.size() > m_options.maxReplyBytes)
            return end(Outcome::BadReply,
                       "the reply is longer than " + std::to_string(m_options.maxReplyBytes / 1024) + " KiB");
        if (got == TcpStream::Received::Closed) return closed("closed without a list");
        if (got == TcpStream::Received::Failed) return closed(std::strerror(m_stream.error()));
    }

    void greeted()
    {
        std::size_t consumed = 0;
        const std::optional<std::string> challenge = greetingChallenge(m_greeting, consumed);
        if (!challenge) {
            if (m_greeting.size() >= MaxGreetingBytes) end(Outcome::BadReply, "no challenge in the greeting");
            return;
        }
        if (challenge->empty()) return end(Outcome::BadReply, "an empty challenge");
        m_reply = m_greeting.substr(consumed);
        m_greeting.clear();
        m_phase = Phase::Listing;
        if (const int error = m_stream.send(listRequest(m_game, *challenge))) closed(std::strerror(error));
    }

    // The master has ended the connection: what it sent is all there is.
    void closed(const std::string& why)
    {
        if (m_phase == Phase::Greeting) return end(Outcome::Refused, "closed before its greeting");
        const MasterReply reply = parseMasterReply(m_reply);
        if (reply.kind == MasterReply::Kind::Refused && m_reply.empty()) return end(Outcome::Refused, why);
        take(reply);
    }

    void idle()
    {
        if (m_phase == Phase::Lookup || m_phase == Phase::Connecting)
            return end(Outcome::Unreachable,
                       "no connection within " + std::to_string(m_options.idleTimeoutMs / 1000) + " s");
        // A master that keeps the connection open after a whole list still gave it.
        if (m_phase == Phase::Listing) {
            const MasterReply reply = parseMasterReply(m_reply);
            if (reply.kind == MasterReply::Kind::List) return take(reply);
        }
        end(Outcome::TimedOut, "silent for " + std::to_string(m_options.idleTimeoutMs / 1000) + " s");
    }

    void take(const MasterReply& reply)
    {
        if (reply.kind == MasterReply::Kind::Refused) return end(Outcome::Refused, reply.text);
        if (reply.kind == MasterReply::Kind::Bad) return end(Outcome::BadReply, reply.text);
        m_result.servers = reply.servers;
        std::sort(m_result.servers.begin(), m_result.servers.end());
        m_result.skipped = reply.skipped;
        m_result.repeated = reply.repeated;
        m_result.cut = reply.cut;
        std::vector<std::string> notes;
        if (reply.skipped > 0)
            notes.push_back(std::to_string(reply.skipped) +
                            " entries with an unusable address or port left out");
        if (reply.repeated > 0) notes.push_back(std::to_string(reply.repeated) + " entries listed twice");
        if (reply.cut)
            notes.push_back("the list cut at " + std::to_string(reply.servers.size()) + " servers");
        std::string detail;
        for (const std::string& note : notes)
            detail += (detail.empty() ? "" : "; ") + note;
        end(Outcome::Listed, detail);
    }

    const MasterGame& m_game;
    const FetchOptions& m_options;
    MasterResult m_result;
    bool m_ended = false;
    Phase m_phase = Phase::Lookup;
    TcpStream m_stream;
    std::string m_greeting;
    std::string m_reply;
    Clock::time_point m_lastHeard;
};

} // namespace

std::string MasterResult::summary() const
{
    switch (outcome) {
    case Outcome::Listed:
        // One form for every count, as scripts read it.
        return std::to_string(servers.size()) + " servers";
    case Outcome::Refused:
        return "refused";
    case Outcome::TimedOut:
        return "timed out";
    case Outcome::Unreachable:
        return "unreachable";
    case Outcome::BadReply:
        return "bad reply";
    }
    return {};
}

std::vector<MasterResult> fetchServerLists(const MasterGame& game, const std::vector<MasterAddress>& masters,
                                           const FetchOptions& options, const HaltSwitch* halt,
                                           const std::function<void(const MasterResult&)>& done)
{
    std::vector<std::unique_ptr<Exchange>> exchanges;
    for (const MasterAddress& master : masters)
        exchanges.push_back(std::make_unique<Exchange>(game, master, options));
    // Every master looked up at once, so a slow name service holds up none of the others.
    std::unique_ptr<HostResolver> names;
    try {
        names = std::make_unique<HostResolver>(AF_UNSPEC, static_cast<int>(exchanges.size()));
        for (std::size_t i = 0; i < exchanges.size(); ++i)
            exchanges[i]->lookUp(*names, static_cast<int>(i));
    } catch (const std::exception& error) {
        for (const auto& exchange : exchanges)
            exchange->unreachable(error.what());
    }
    std::vector<bool> reported(exchanges.size(), false);
    std::vector<pollfd> fds;
    std::vector<std::size_t> polled;
    for (;;) {
        if (halt && halt->halted()) throw WorkerHalted{};
        fds.clear();
        polled.clear();
        Clock::time_point earliest = Clock::time_point::max();
        for (std::size_t i = 0; i < exchanges.size(); ++i) {
            if (exchanges[i]->ended()) {
                if (!reported[i] && done) done(exchanges[i]->result());
                reported[i] = true;
                continue;
            }
            fds.push_back(exchanges[i]->poll());
            polled.push_back(i);
            earliest = std::min(earliest, exchanges[i]->deadline());
        }
        if (polled.empty()) break;
        fds.push_back({names ? names->wakeHandle() : -1, POLLIN, 0});
        fds.push_back({halt ? halt->wakeHandle() : -1, POLLIN, 0});
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(earliest - Clock::now()).count();
        if (::poll(fds.data(), fds.size(), static_cast<int>(std::clamp<long long>(wait, 0, 60000))) < 0 &&
            errno != EINTR)
            break;
        if (fds[polled.size()].revents != 0)
            for (const HostResolver::Result& name : names->take())
                exchanges[static_cast<std::size_t>(name.id)]->found(name);
        const Clock::time_point now = Clock::now();
        for (std::size_t k = 0; k < polled.size(); ++k)
            exchanges[polled[k]]->step(fds[k].revents, now);
    }
    std::vector<MasterResult> results;
    for (const auto& exchange : exchanges)
        results.push_back(exchange->result());
    return results;
}

std::vector<ListedServer> unionOf(const std::vector<MasterResult>& results)
{
    std::vector<ListedServer> all;
    for (const MasterResult& result : results)
        all.insert(all.end(), result.servers.begin(), result.servers.end());
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
}

} // namespace korvane

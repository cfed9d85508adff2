#include "platform/HostResolver.h"

#include "platform/Errors.h"
#include "platform/UdpSocket.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <sys/eventfd.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace korvane {

struct HostResolver::Shared
{
    struct Question
    {
        int id;
        std::string host;
        int port;
    };

    int family = 0;
    std::size_t lookups = 1;
    int wake = -1;
    std::mutex mutex;
    std::condition_variable asked;
    std::deque<Question> questions;
    std::vector<Result> answers;
    int pending = 0;
    std::size_t threads = 0; // started and not ended
    std::size_t busy = 0;    // of them, looking a name up
    bool stopping = false;

    ~Shared()
    {
        if (wake >= 0) ::close(wake);
    }

    void serve()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            asked.wait(lock, [this] { return stopping || !questions.empty(); });
            if (stopping) break;
            const Question question = std::move(questions.front());
            questions.pop_front();
            ++busy;
            lock.unlock();
            Result result;
            result.id = question.id;
            try {
                result.peer = resolvePeer(question.host, question.port, family, result.length);
                result.found = true;
            } catch (const IoError& failure) {
                result.error = failure.text();
            }
            lock.lock();
            --busy;
            answers.push_back(std::move(result));
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(wake, &one, sizeof one);
        }
        --threads;
    }
};

HostResolver::HostResolver(int family, int lookups) : m_shared(std::make_shared<Shared>())
{
    m_shared->family = family;
    m_shared->lookups = static_cast<std::size_t>(std::max(1, lookups));
    m_shared->wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_shared->wake < 0) throwSystem("Cannot make an event handle", errno);
}

HostResolver::~HostResolver()
{
    {
        std::lock_guard<std::mutex> guard(m_shared->mutex);
        m_shared->stopping = true;
    }
    m_shared->asked.notify_all();
}

void HostResolver::ask(int id, const std::string& host, int port)
{
    {
        std::lock_guard<std::mutex> guard(m_shared->mutex);
        Shared& shared = *m_shared;
        shared.questions.push_back({id, host, port});
        ++shared.pending;
        // Threads start only as names come: most lists hold numeric addresses only.
        const std::size_t idle = shared.threads - shared.busy;
        if (idle < shared.questions.size() && shared.threads < shared.lookups) {
            try {
                // The thread keeps the shared part alive when the resolver goes first.
                std::thread([owner = m_shared] { owner->serve(); }).detach();
                ++shared.threads;
            } catch (const std::system_error& error) {
                // A thread already running takes the name in its turn.
                if (shared.threads == 0) {
                    shared.questions.pop_back();
                    --shared.pending;
                    throwSystem(("Cannot look up " + host).c_str(), error.code().value());
                }
            }
        }
    }
    m_shared->asked.notify_one();
}

std::vector<HostResolver::Result> HostResolver::take()
{
    std::vector<Result> results;
    std::lock_guard<std::mutex> guard(m_shared->mutex);
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(m_shared->wake, &count, sizeof count);
    results.swap(m_shared->answers);
    m_shared->pending -= static_cast<int>(results.size());
    return results;
}

int HostResolver::wakeHandle() const
{
    return m_shared->wake;
}

int HostResolver::pending() const
{
    std::lock_guard<std::mutex> guard(m_shared->mutex);
    return m_shared->pending;
}

} // namespace korvane

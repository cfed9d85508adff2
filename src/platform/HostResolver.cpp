#include "platform/HostResolver.h"

#include "platform/Errors.h"
#include "platform/UdpSocket.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <sys/eventfd.h>
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
    int wake = -1;
    std::mutex mutex;
    std::condition_variable asked;
    std::deque<Question> questions;
    std::vector<Result> answers;
    int pending = 0;
    bool stopping = false;
    bool running = false;

    ~Shared()
    {
        if (wake >= 0) ::close(wake);
    }

    void serve()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            asked.wait(lock, [this] { return stopping || !questions.empty(); });
            if (stopping) return;
            const Question question = std::move(questions.front());
            questions.pop_front();
            lock.unlock();
            Result result;
            result.id = question.id;
            try {
                result.peer = resolvePeer(question.host, question.port, family, result.length);
                result.found = true;
            } catch (const IoError&) {
            }
            lock.lock();
            answers.push_back(result);
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(wake, &one, sizeof one);
        }
    }
};

HostResolver::HostResolver(int family) : m_shared(std::make_shared<Shared>())
{
    m_shared->family = family;
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
        m_shared->questions.push_back({id, host, port});
        ++m_shared->pending;
        // Started with the first name: most lists hold numeric addresses only.
        if (!m_shared->running) {
            m_shared->running = true;
            std::thread([shared = m_shared] { shared->serve(); }).detach();
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

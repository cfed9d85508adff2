#include "platform/HaltSwitch.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace korvane {

HaltSwitch::HaltSwitch()
{
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

HaltSwitch::~HaltSwitch()
{
    if (m_wakeFd >= 0) ::close(m_wakeFd);
}

void HaltSwitch::halt()
{
    {
        std::lock_guard<std::mutex> guard(m_postMutex);
        if (m_halted.exchange(true)) return;
    }
    if (m_wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    }
}

} // namespace korvane

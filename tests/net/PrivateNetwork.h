#pragma once
// Runs a piece of a test inside a network namespace of its own (root only):
// only a loopback interface, and its settings changed freely without touching
// the machine's. Everything the piece starts, threads included, stays inside.

#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace korvane::test {

class PrivateNetwork
{
public:
    // Writes a setting under /proc/sys/net/ipv4 of this namespace.
    static bool set(const std::string& name, const std::string& value)
    {
        const std::string path = "/proc/sys/net/ipv4/" + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool written = ::write(fd, value.data(), value.size()) == static_cast<ssize_t>(value.size());
        ::close(fd);
        return written;
    }
    static bool loopbackUp(bool up)
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ifreq request{};
        std::strcpy(request.ifr_name, "lo");
        bool done = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
        if (done) {
            request.ifr_flags =
                static_cast<short>(up ? request.ifr_flags | IFF_UP : request.ifr_flags & ~IFF_UP);
            done = ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
        }
        if (fd >= 0) ::close(fd);
        return done;
    }

    // False when no namespace could be made; piece then has not run. Without
    // loopback the namespace has no route at all.
    static bool run(const std::function<void()>& piece, bool loopback = true)
    {
        bool entered = false;
        std::thread([&] {
            entered = ::unshare(CLONE_NEWNET) == 0 && (!loopback || loopbackUp(true));
            if (entered) piece();
        }).join();
        return entered;
    }
};

} // namespace korvane::test

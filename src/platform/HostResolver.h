#pragma once
// Host names resolved on a thread of its own, in the order asked, so that a
// slow name service never holds up whoever sends and reads datagrams.
// Numeric addresses need no name service: resolveNumericPeer takes them at once.

#include <memory>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace korvane {

class HostResolver
{
public:
    struct Result
    {
        int id = 0;
        bool found = false;
        sockaddr_storage peer{};
        socklen_t length = 0;
    };

    // Peers come out as resolvePeer gives them for a socket of family.
    explicit HostResolver(int family);
    // Does not wait for a look-up under way: the thread ends after it.
    ~HostResolver();
    HostResolver(const HostResolver&) = delete;
    HostResolver& operator=(const HostResolver&) = delete;

    void ask(int id, const std::string& host, int port);
    // Every result so far, in the order asked.
    std::vector<Result> take();
    // Readable while results wait to be taken.
    int wakeHandle() const;
    // Asked and not yet taken.
    int pending() const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace korvane

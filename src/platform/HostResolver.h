#pragma once
// Host names looked up on threads of their own, so that a slow name service
// never holds up whoever sends, reads and waits on sockets: the answers come
// back through a queue, and wakeHandle() is readable while some wait there.
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
        std::string error; // why nothing was found
    };

    // Peers come out as resolvePeer gives them for a socket of family
    // (AF_UNSPEC: IPv4 first). At most `lookups` names are looked up at once,
    // each on a thread of its own started when a name finds none idle; with
    // one, the answers come in the order asked. Throws IoError.
    explicit HostResolver(int family, int lookups = 1);
    // Does not wait for look-ups under way: their threads end after them.
    ~HostResolver();
    HostResolver(const HostResolver&) = delete;
    HostResolver& operator=(const HostResolver&) = delete;

    // Throws IoError when no look-up can be started for the name.
    void ask(int id, const std::string& host, int port);
    // Every result so far, in the order found.
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

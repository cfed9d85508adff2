// libFuzzer target: any datagram a server might send, through every reply
// operation; a broken property aborts like a crash.

#include "ReplyChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const std::string broken = korvane::checks::CheckReplyAndPrepared(reply);
    if (!broken.empty()) {
        std::fprintf(stderr, "broken property: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

// libFuzzer target: any datagram a server might send, through every reply
// operation; a broken property aborts like a crash.

#include "ReplyChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const std::string broken = korvane::checks::CheckReply(reply);
    if (!broken.empty()) {
        std::fprintf(stderr, "broken property: %s\n", broken.c_str());
        std::abort();
    }
    // The selection parses the prepared reply, so it must hold for that too.
    const std::string prepared = korvane::prepareSelectionReply(reply);
    const std::string brokenPrepared = korvane::checks::CheckReply(prepared);
    if (!brokenPrepared.empty()) {
        std::fprintf(stderr, "broken property after preparation: %s\n", brokenPrepared.c_str());
        std::abort();
    }
    return 0;
}

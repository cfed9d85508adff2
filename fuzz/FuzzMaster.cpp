// libFuzzer target: any bytes a master or a query port might send, through
// the master-list parsers; a broken property aborts like a crash.

#include "MasterChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string broken = korvane::checks::CheckMaster(bytes);
    if (!broken.empty()) {
        std::fprintf(stderr, "broken property: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

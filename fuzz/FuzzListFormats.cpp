// libFuzzer target: any bytes as SSLF and ASE lines through both readers, and
// as a server list through an SSLF write and read; a broken property aborts
// like a crash.

#include "ListFormatChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string broken = korvane::checks::CheckListFormats(bytes);
    if (!broken.empty()) {
        std::fprintf(stderr, "broken property: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

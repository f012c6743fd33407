// Any bytes as a gzip file: unpacked within the limit, or refused with a
// message; never more output than the limit allows.
#include "ModelFuzz.h"
#include "model/Inflater.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::size_t limit = 1 << 20;
    std::string out;
    std::string error;
    const bool unpacked = wiredhost::Inflater::gunzip(modelfuzz::bytesOf(data, size), limit, out, error);
    FUZZ_CHECK(out.size() <= limit);
    FUZZ_CHECK(unpacked == error.empty());
    return 0;
}

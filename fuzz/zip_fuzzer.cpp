// Any bytes as a zip file: its directory read or refused, and every entry
// extracted within the limit or refused with a message naming it.
#include "ModelFuzz.h"
#include "model/Text.h"
#include "model/ZipArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes = modelfuzz::bytesOf(data, size);
    const std::size_t limit = 1 << 20;
    wiredhost::ZipArchive archive;
    std::string error;
    if (!archive.parse(bytes, error)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    for (const wiredhost::ZipArchive::Entry& entry : archive.entries()) {
        std::string out;
        error.clear();
        if (!archive.extract(entry, limit, out, error)) {
            // A long name is cut in the middle in the message.
            FUZZ_CHECK(error.find(wiredhost::shortened(entry.name)) != std::string::npos);
            continue;
        }
        FUZZ_CHECK(out.size() <= (entry.method == 0 ? size : limit));
        if (entry.method == 0)
            FUZZ_CHECK(out.size() == entry.compressedSize);
    }
    return 0;
}

// Any bytes as a tar archive: every entry read lies inside the data, and
// the walk ends (a size field can never send it backwards or nowhere).
#include "ModelFuzz.h"
#include "model/TarArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes = modelfuzz::bytesOf(data, size);
    wiredhost::TarArchive archive;
    archive.parse(bytes);
    FUZZ_CHECK(archive.entries().size() <= size / 512);
    std::size_t previous = 0;
    for (const wiredhost::TarArchive::Entry& entry : archive.entries()) {
        FUZZ_CHECK(entry.offset > previous && entry.offset <= size && entry.size <= size - entry.offset);
        FUZZ_CHECK(archive.extract(entry).size() == entry.size);
        previous = entry.offset;
    }
    return 0;
}

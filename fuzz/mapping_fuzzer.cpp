// Arbitrary bytes as a saved mapping, read as "wired-host run
// --compare-mapping" reads it. A file it accepts must hold together: written
// out again it reads back as the same rows, and compared with itself it
// shows no change.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "MappingFile.h"

using wiredhost::MappingFile;
using wiredhost::MappingRow;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<MappingRow> rows;
    std::string error;
    if (!MappingFile::parse(text, "m.tsv", rows, error)) {
        // Every refusal says where.
        FUZZ_CHECK(error.compare(0, 5, "m.tsv") == 0 && error.find(": ", 5) != std::string::npos);
        return 0;
    }
    std::vector<MappingRow> again;
    FUZZ_CHECK(MappingFile::parse(MappingFile::text(rows), "m.tsv", again, error));
    FUZZ_CHECK(again == rows);
    FUZZ_CHECK(MappingFile::compare(rows, again).empty());
    return 0;
}

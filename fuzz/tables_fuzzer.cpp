// Any text as a --tables file: a list of names or SQL with CREATE TABLE
// statements. Every table found has a name, and a list of names gives no
// more tables than it has lines. The same bytes as a file, read as --tables
// reads one (gzip unpacked, UTF-16 converted, binary data refused): read,
// or refused with a message that names the file.
#include <algorithm>

#include "FuzzScratch.h"
#include "ModelFuzz.h"
#include "model/TablesFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text = modelfuzz::bytesOf(data, size);
    wiredhost::TablesFile file;
    file.parse(text);
    // A line ends in LF, CR LF or a lone CR.
    const auto lineEnds = std::count_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; });
    if (!wiredhost::TablesFile::isSql(text))
        FUZZ_CHECK(file.tables().size() <= static_cast<std::size_t>(lineEnds) + 1);
    for (const wiredhost::TablesFile::Table& table : file.tables())
        FUZZ_CHECK(table.name.size() <= size);

    const std::string path = fuzzkit::writeScratchFile("tables", data, size);
    wiredhost::TablesFile read;
    std::string error;
    if (!read.read(path, error))
        FUZZ_CHECK(error.compare(0, path.size(), path) == 0);
    return 0;
}

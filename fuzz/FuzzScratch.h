#ifndef WIREDCLSTAB_FUZZ_FUZZSCRATCH_H
#define WIREDCLSTAB_FUZZ_FUZZSCRATCH_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "FuzzCheck.h"

namespace fuzzkit {

// A folder of this process's own under the temporary directory, made on
// first use and removed when the process ends: targets that read their
// input from a file write it there.
inline const std::string& scratchDirectory()
{
    // Never destroyed, so that the removal at exit still has its name.
    static const std::string* directory = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "wiredClsTab-fuzz-XXXXXX").string();
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
        return new std::string(pattern);
    }();
    static const bool removedAtExit = std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(*directory, ignored);
    }) == 0;
    (void)removedAtExit;
    return *directory;
}

// The input as the file name in the scratch folder; its path.
inline std::string writeScratchFile(const std::string& name, const uint8_t* data, size_t size)
{
    const std::string path = scratchDirectory() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
    return path;
}

} // namespace fuzzkit

#endif

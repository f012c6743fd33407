#ifndef WIREDHOST_TESTS_SCRATCHFILE_H
#define WIREDHOST_TESTS_SCRATCHFILE_H

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace wiredhost {

// A file of the given content in the tests' scratch folder; its path.
inline std::string scratchFile(const std::string& name, const std::string& content)
{
    const std::string path = std::string(WIREDHOST_TEST_SCRATCH) + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (file != nullptr) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    return path;
}

} // namespace wiredhost

#endif

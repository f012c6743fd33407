#include "Files.h"

#include <cstdio>

namespace hostkit {
namespace files {

// The C runtime's fopen takes the same narrow paths as the rest (the ANSI
// code page on Windows), so one implementation serves both platforms.
bool readFile(const std::string& path, std::string& bytes, std::size_t most)
{
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    char block[64 * 1024];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0 && bytes.size() <= most)
        bytes.append(block, got);
    const bool read = std::ferror(file) == 0 && bytes.size() <= most;
    std::fclose(file);
    return read;
}

bool writeFile(const std::string& path, const std::string& bytes)
{
    removeAll(path);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace files
} // namespace hostkit

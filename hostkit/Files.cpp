#include "Files.h"

#include <cstdio>

namespace hostkit {
namespace files {

// The C runtime's fopen takes the same narrow paths as the rest (the ANSI
// code page on Windows), so one implementation serves both platforms.
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

#include "Files.h"

#include <cstdio>
#include <memory>

namespace hostkit {
namespace files {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

bool readFile(const std::string& path, std::string& bytes, std::size_t most)
{
    bytes.clear();
    unsigned long long size = 0;
    const bool sized = sizeOf(path, size);
    if (sized && size > most)
        return false;
    std::unique_ptr<std::FILE, FileCloser> file(openFile(path, "rb"));
    if (!file)
        return false;
    if (sized)
        bytes.reserve(static_cast<std::size_t>(size));
    char block[64 * 1024];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0 && bytes.size() <= most)
        bytes.append(block, got);
    return std::ferror(file.get()) == 0 && bytes.size() <= most;
}

bool writeFile(const std::string& path, const std::string& bytes)
{
    removeAll(path);
    std::FILE* file = openFile(path, "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    // Some C runtimes' fclose does not report a failed flush of the last
    // buffer: the flush is asked on its own.
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    return std::fclose(file) == 0 && written && flushed;
}

bool replaceFile(const std::string& path, const std::string& bytes)
{
    const std::string target = linkTarget(path);
    // A device or a pipe is not a file to take the place of: moved over,
    // /dev/null would become a file.
    if (exists(target) && !isFile(target))
        return false;
    const std::string part = target + ".part";
    if (writeFile(part, bytes) && moveOver(part, target))
        return true;
    removeFile(part);
    return false;
}

std::string notAFile(const std::string& path, const char* what)
{
    if (isFile(path))
        return std::string();
    if (!exists(path))
        return path + ": cannot open " + what + ": " + lastFailure();
    if (isDirectory(path))
        return path + ": a folder, not " + what;
    return path + ": not a regular file (a pipe or a device): give " + what;
}

bool readFile(const std::string& path, const char* what, std::string& bytes, std::string& error)
{
    error = notAFile(path, what);
    if (!error.empty())
        return false;
    if (!readFile(path, bytes, bytes.max_size())) {
        error = path + ": cannot read " + what + ": " + lastFailure();
        return false;
    }
    return true;
}

} // namespace files
} // namespace hostkit

#include "Files.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace hostkit {
namespace files {

namespace {

bool statOf(const std::string& path, struct stat& info)
{
    return stat(path.c_str(), &info) == 0;
}

} // namespace

std::string lastFailure()
{
    const int error = errno;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "no such file";
    case EACCES:
    case EPERM:
        return "permission denied";
    case ELOOP:
        return "too many levels of symbolic links";
    case ENAMETOOLONG:
        return "the name is too long";
    case EIO:
        return "an input/output error";
    default:
        return "system error " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

bool exists(const std::string& path)
{
    struct stat info;
    return statOf(path, info);
}

bool isFile(const std::string& path)
{
    struct stat info;
    return statOf(path, info) && S_ISREG(info.st_mode);
}

bool sizeOf(const std::string& path, unsigned long long& size)
{
    struct stat info;
    if (!statOf(path, info) || !S_ISREG(info.st_mode))
        return false;
    size = static_cast<unsigned long long>(info.st_size);
    return true;
}

bool isDirectory(const std::string& path)
{
    struct stat info;
    return statOf(path, info) && S_ISDIR(info.st_mode);
}

std::string absolute(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char folder[PATH_MAX];
    if (getcwd(folder, sizeof folder) == nullptr)
        return path;
    return join(folder, path);
}

namespace {

// Links resolved, as the kernel reports a loaded library's file.
std::string canonical(const std::string& path)
{
    char full[PATH_MAX];
    return realpath(path.c_str(), full) != nullptr ? std::string(full) : path;
}

} // namespace

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string join(const std::string& folder, const std::string& name)
{
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string executableFolder()
{
    char path[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    return folderOf(std::string(path, static_cast<std::size_t>(length)));
}

std::string makeTemporaryFolder(const std::string& prefix)
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = join(base != nullptr && base[0] != '\0' ? base : "/tmp", prefix + "-XXXXXX");
    return mkdtemp(&pattern[0]) != nullptr ? canonical(pattern) : std::string();
}

void removeLeftTemporaryFolders(const std::string&, const std::string&)
{
    // A file in use can be deleted here: no folder can be told from one in
    // use. A process removes its own unless it is killed outright.
}

bool makeFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0;
}

bool copyFile(const std::string& from, const std::string& to)
{
    // An empty file is copied too (a stream copy of nothing reports failure).
    std::error_code failed;
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, failed);
}

std::FILE* openFile(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}

bool moveOver(const std::string& from, const std::string& to)
{
    struct stat before;
    if (stat(to.c_str(), &before) == 0)
        chmod(from.c_str(), before.st_mode & 07777);
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::string linkTarget(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? path : target.string();
}

bool removeFile(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

bool removeFolder(const std::string& path)
{
    return rmdir(path.c_str()) == 0;
}

std::string findIgnoringCase(const std::string& folder, const std::string& name)
{
    const std::string exact = join(folder, name);
    if (exists(exact))
        return exact;
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        return text;
    };
    const std::string wanted = lower(name);
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string found = entry->path().filename().string();
        if (lower(found) == wanted)
            return join(folder, found);
    }
    return exact;
}

void removeAll(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

} // namespace files
} // namespace hostkit

#include "Files.h"

#include <climits>
#include <cstdlib>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

namespace wiredhost {
namespace files {

namespace {

bool statOf(const std::string& path, struct stat& info)
{
    return stat(path.c_str(), &info) == 0;
}

} // namespace

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

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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

std::string makeTemporaryFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = join(base != nullptr && base[0] != '\0' ? base : "/tmp", "wired-host-XXXXXX");
    return mkdtemp(&pattern[0]) != nullptr ? pattern : std::string();
}

bool copyFile(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!in || !out)
        return false;
    out << in.rdbuf();
    out.close();
    return !in.bad() && out.good();
}

bool removeFile(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

bool removeFolder(const std::string& path)
{
    return rmdir(path.c_str()) == 0;
}

} // namespace files
} // namespace wiredhost

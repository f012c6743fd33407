#include "Files.h"

#include <string>

#include <windows.h>

namespace hostkit {
namespace files {

namespace {

DWORD attributesOf(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
}

// The full path and where its last part starts. The system finds the last
// separator, which a byte search cannot do safely in a double-byte code page
// (a trail byte may equal '\').
std::string fullPath(const std::string& path, std::size_t& namePosition)
{
    std::string buffer(MAX_PATH, '\0');
    char* name = nullptr;
    DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), &buffer[0], &name);
    if (length >= buffer.size()) {
        buffer.assign(length + 1, '\0');
        length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), &buffer[0], &name);
    }
    if (length == 0 || length >= buffer.size()) {
        namePosition = 0;
        return path;
    }
    namePosition = name != nullptr ? static_cast<std::size_t>(name - buffer.data()) : length;
    buffer.resize(length);
    return buffer;
}

} // namespace

bool exists(const std::string& path)
{
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

bool isFile(const std::string& path)
{
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool isDirectory(const std::string& path)
{
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string absolute(const std::string& path)
{
    std::size_t name = 0;
    const std::string full = fullPath(path, name);
    // The loader reports a module by its long name, not its 8.3 alias.
    char longer[MAX_PATH];
    const DWORD length = GetLongPathNameA(full.c_str(), longer, sizeof longer);
    return length == 0 || length >= sizeof longer ? full : std::string(longer, length);
}

std::string folderOf(const std::string& path)
{
    std::size_t name = 0;
    const std::string full = fullPath(path, name);
    std::string folder = full.substr(0, name);
    // Keep the separator of a drive's root ("C:\"), drop any other.
    if (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}

std::string join(const std::string& folder, const std::string& name)
{
    const bool separated = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    // A trailing byte 0x5C may be the second byte of a character: only a
    // drive root is known to end with a separator here.
    return separated && folder.size() == 3 ? folder + name : folder + "\\" + name;
}

std::string executableFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return ".";
    return folderOf(path);
}

std::string makeTemporaryFolder(const std::string& prefix)
{
    char base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof base, base);
    if (length == 0 || length > MAX_PATH)
        return std::string();
    const std::string folder = folderOf(std::string(base) + "x");
    const DWORD seed = GetCurrentProcessId() ^ GetTickCount();
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = join(folder, prefix + "-" + std::to_string(seed + attempt * 7919));
        if (CreateDirectoryA(candidate.c_str(), nullptr))
            return absolute(candidate);
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return std::string();
}

bool makeFolder(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool copyFile(const std::string& from, const std::string& to)
{
    return CopyFileA(from.c_str(), to.c_str(), TRUE) != 0;
}

bool removeFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) != 0;
}

bool removeFolder(const std::string& path)
{
    return RemoveDirectoryA(path.c_str()) != 0;
}

void removeAll(const std::string& path)
{
    if (!isDirectory(path)) {
        removeFile(path);
        return;
    }
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(join(path, "*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name != "." && name != "..")
                removeAll(join(path, name));
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    removeFolder(path);
}

} // namespace files
} // namespace hostkit

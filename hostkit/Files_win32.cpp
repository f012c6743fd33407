#include "Files.h"

#include <string>

#include <windows.h>

namespace hostkit {
namespace files {

std::wstring widePath(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

std::string utf8Path(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr, nullptr);
    return utf8;
}

namespace {

// The full path and where its last part starts; the system finds the
// last separator.
std::wstring fullPath(const std::wstring& path, std::size_t& namePosition)
{
    std::wstring buffer(MAX_PATH, L'\0');
    wchar_t* name = nullptr;
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), &buffer[0], &name);
    if (length >= buffer.size()) {
        buffer.assign(length + 1, L'\0');
        length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), &buffer[0], &name);
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

std::wstring systemPath(const std::string& utf8)
{
    const std::wstring wide = widePath(utf8);
    if (wide.compare(0, 4, L"\\\\?\\") == 0 || wide.compare(0, 4, L"\\\\.\\") == 0)
        return wide;
    std::size_t name = 0;
    const std::wstring full = fullPath(wide, name);
    // CreateDirectoryW stops 12 characters short of MAX_PATH, to leave
    // room for a file's 8.3 name inside.
    if (full.size() < MAX_PATH - 12)
        return wide;
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

namespace {

DWORD attributesOf(const std::string& path)
{
    return GetFileAttributesW(systemPath(path).c_str());
}

// A name the system keeps for a device in every folder (CON, NUL, AUX,
// COM1, LPT1...; with any extension and trailing blanks or dots, so
// "aux.puml" is one too), or a path into the device namespace (\\.\COM1).
// Opening such a name reaches the device, which may never answer, and
// its attributes need not say so.
bool namesDevice(const std::wstring& path)
{
    if (path.compare(0, 4, L"\\\\.\\") == 0 || path.compare(0, 4, L"//./") == 0)
        return true;
    const std::size_t slash = path.find_last_of(L"\\/:");
    std::wstring name = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ')
        name.pop_back();
    for (wchar_t& c : name)
        c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* device : kDevices) {
        if (name == device)
            return true;
    }
    // COM1 to COM9 and LPT1 to LPT9, and with a superscript digit.
    return name.size() == 4 && (name.compare(0, 3, L"COM") == 0 || name.compare(0, 3, L"LPT") == 0) &&
           ((name[3] >= L'1' && name[3] <= L'9') || name[3] == 0xB9 || name[3] == 0xB2 || name[3] == 0xB3);
}

} // namespace

std::string lastFailure()
{
    const DWORD error = GetLastError();
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "no such file";
    case ERROR_INVALID_DRIVE:
        return "no such drive";
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_DEV_TYPE:
        return "the network path cannot be reached";
    case ERROR_ACCESS_DENIED:
        return "access denied";
    // A modelling tool may keep the file it exports open for itself.
    case ERROR_SHARING_VIOLATION:
        return "in use by another program";
    case ERROR_LOCK_VIOLATION:
        return "locked by another program";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return "not a valid file name";
    case ERROR_FILENAME_EXCED_RANGE:
        return "the name is too long";
    case ERROR_NOT_READY:
        return "the drive is not ready";
    case ERROR_CANT_RESOLVE_FILENAME:
        return "too many levels of symbolic links";
    default:
        return "Windows error " + std::to_string(error);
    }
}

bool exists(const std::string& path)
{
    return attributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

bool isFile(const std::string& path)
{
    if (namesDevice(widePath(path)))
        return false;
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool sizeOf(const std::string& path, unsigned long long& size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!isFile(path) || !GetFileAttributesExW(systemPath(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool isDirectory(const std::string& path)
{
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string absolute(const std::string& path)
{
    std::size_t name = 0;
    const std::wstring full = fullPath(widePath(path), name);
    // The loader reports a module by its long name, not its 8.3 alias.
    std::wstring longer(MAX_PATH, L'\0');
    DWORD length = GetLongPathNameW(full.c_str(), &longer[0], static_cast<DWORD>(longer.size()));
    if (length >= longer.size()) {
        longer.assign(length + 1, L'\0');
        length = GetLongPathNameW(full.c_str(), &longer[0], static_cast<DWORD>(longer.size()));
    }
    if (length == 0 || length >= longer.size())
        return utf8Path(full);
    longer.resize(length);
    return utf8Path(longer);
}

std::string folderOf(const std::string& path)
{
    std::size_t name = 0;
    const std::wstring full = fullPath(widePath(path), name);
    std::wstring folder = full.substr(0, name);
    // Keep the separator of a drive's root ("C:\"), drop any other.
    if (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return utf8Path(folder);
}

std::string join(const std::string& folder, const std::string& name)
{
    // In UTF-8 no byte of a character other than '\' and '/' equals one.
    const bool separated = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    return separated ? folder + name : folder + "\\" + name;
}

std::string findIgnoringCase(const std::string& folder, const std::string& name)
{
    // The file system ignores the case itself.
    return join(folder, name);
}

std::string executableFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return ".";
        if (length < path.size()) {
            path.resize(length);
            return folderOf(utf8Path(path));
        }
        path.assign(path.size() * 2, L'\0');
    }
}

namespace {

// The system's folder of temporary files, or "" when it has none.
std::string temporaryFiles()
{
    wchar_t base[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, base);
    if (length == 0 || length > MAX_PATH)
        return std::string();
    return folderOf(utf8Path(base) + "x");
}

// prefix-<digits>, as makeTemporaryFolder names them: nothing else is ours.
bool isNamedAsMade(const std::wstring& name, const std::string& prefix)
{
    const std::wstring head = widePath(prefix + "-");
    if (name.size() <= head.size() || name.compare(0, head.size(), head) != 0)
        return false;
    return name.find_first_not_of(L"0123456789", head.size()) == std::wstring::npos;
}

// Seconds from then to now, 0 for a time to come.
ULONGLONG secondsSince(const FILETIME& then, const FILETIME& now)
{
    const auto ticks = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return ticks(now) > ticks(then) ? (ticks(now) - ticks(then)) / 10000000 : 0;
}

} // namespace

void removeLeftTemporaryFolders(const std::string& prefix, const std::string& library)
{
    const std::string folder = temporaryFiles();
    if (folder.empty())
        return;
    const ULONGLONG kYoungest = 10 * 60;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(systemPath(join(folder, prefix + "-*")).c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const DWORD attributes = entry.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
            !isNamedAsMade(entry.cFileName, prefix) || secondsSince(entry.ftCreationTime, now) < kYoungest)
            continue;
        const std::string left = join(folder, utf8Path(entry.cFileName));
        const std::string file = join(left, library);
        if (isFile(file) && !removeFile(file))
            continue; // loaded by a living process
        removeAll(left);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

std::string makeTemporaryFolder(const std::string& prefix)
{
    const std::string folder = temporaryFiles();
    if (folder.empty())
        return std::string();
    const DWORD seed = GetCurrentProcessId() ^ GetTickCount();
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = join(folder, prefix + "-" + std::to_string(seed + attempt * 7919));
        if (CreateDirectoryW(systemPath(candidate).c_str(), nullptr))
            return absolute(candidate);
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return std::string();
}

bool makeFolder(const std::string& path)
{
    return CreateDirectoryW(systemPath(path).c_str(), nullptr) != 0;
}

bool moveOver(const std::string& from, const std::string& to)
{
    return MoveFileExW(systemPath(from).c_str(), systemPath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::string linkTarget(const std::string& path)
{
    // Moving over a link on Windows replaces the link; links to files are
    // rare there and need rights to make.
    return path;
}

bool copyFile(const std::string& from, const std::string& to)
{
    const std::wstring target = systemPath(to);
    if (!CopyFileW(systemPath(from).c_str(), target.c_str(), TRUE))
        return false;
    // The copy takes the original's attributes: one of a plug-in installed
    // read-only could not be deleted, nor its private folder removed.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesW(target.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    return true;
}

std::FILE* openFile(const std::string& path, const char* mode)
{
    return _wfopen(systemPath(path).c_str(), widePath(mode).c_str());
}

bool removeFile(const std::string& path)
{
    return DeleteFileW(systemPath(path).c_str()) != 0;
}

bool removeFolder(const std::string& path)
{
    return RemoveDirectoryW(systemPath(path).c_str()) != 0;
}

void removeAll(const std::string& path)
{
    if (!isDirectory(path)) {
        removeFile(path);
        return;
    }
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(systemPath(join(path, "*")).c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..")
                removeAll(join(path, utf8Path(name)));
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    removeFolder(path);
}

} // namespace files
} // namespace hostkit

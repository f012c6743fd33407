#include "Platform.h"

#include <io.h>
#include <memory>
#include <stdio.h>
#include <string.h>
#include <string>
#include <windows.h>

namespace {

// The plug-in's own module, kept from the loader's call and only read later.
HINSTANCE moduleHandle = nullptr;

// A path in UTF-8 as the wide calls take it.
std::wstring widened(const char* text, UINT codePage)
{
    const int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

// Can the ANSI code page spell the wide path exactly? If not, the narrow
// calls would see '?' (or a look-alike) where the path has a character.
bool spellableInAnsi(const wchar_t* wide)
{
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0, nullptr, &usedDefault);
    return length > 0 && !usedDefault;
}

} // namespace

// The loader's entry: keep the handle, never refuse the load, release nothing.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        moduleHandle = instance;
    return TRUE;
}

namespace kavri {
namespace platform {

// A UTF-8 path of MAX_PATH characters takes up to three bytes for each.
std::size_t pathCapacity()
{
    return 3 * MAX_PATH;
}

std::size_t pathLimit(PathCoding coding)
{
    return coding == PathCoding::Utf8 ? 3 * MAX_PATH : MAX_PATH;
}

char pathSeparator()
{
    return '\\';
}

std::size_t firstSeparatorIndex()
{
    return 1;
}

bool isLeadByte(char c)
{
    return static_cast<unsigned char>(c) >= 0x80 && IsDBCSLeadByte(static_cast<BYTE>(c));
}

std::size_t moduleFileName(char* buffer, std::size_t size, PathCoding& coding)
{
    coding = PathCoding::Native;
    wchar_t wide[MAX_PATH] = {};
    const DWORD wideLength = GetModuleFileNameW(moduleHandle, wide, MAX_PATH);
    if (wideLength == 0 || wideLength >= MAX_PATH || spellableInAnsi(wide))
        return GetModuleFileNameA(moduleHandle, buffer, MAX_PATH);
    coding = PathCoding::Utf8;
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, buffer, static_cast<int>(size), nullptr, nullptr);
    return length > 0 ? static_cast<std::size_t>(length - 1) : size;
}

void appendFileName(char* buffer, std::size_t size, const char* name)
{
    strcat_s(buffer, size, name);
}

bool fileExists(const char* path, PathCoding coding)
{
    if (coding == PathCoding::Utf8)
        return _waccess(widened(path, CP_UTF8).c_str(), 0) != -1;
    return _access(path, 0) != -1;
}

tinyxml2::XMLError loadXmlFile(tinyxml2::XMLDocument& document, const char* path, PathCoding coding)
{
    // Opened here rather than by LoadFile(path), which keeps the file open
    // while it parses and never closes it when parsing throws (memory
    // exhausted): the host would be left holding the handle.
    FILE* opened = coding == PathCoding::Utf8 ? _wfopen(widened(path, CP_UTF8).c_str(), L"rb") : fopen(path, "rb");
    std::unique_ptr<FILE, int (*)(FILE*)> file(opened, &fclose);
    if (!file)
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    // A device such as a console or a pipe is no configuration, and reading
    // it could wait for ever.
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.get())))) != FILE_TYPE_DISK)
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    return document.LoadFile(file.get());
}

void showWarning(const char* caption, const char* text, PathCoding coding)
{
    if (coding == PathCoding::Native) {
        MessageBoxA(nullptr, text, caption, MB_ICONWARNING);
        return;
    }
    // The caption reads as MessageBoxA would show it; the path needs the
    // wide box.
    MessageBoxW(nullptr, widened(text, CP_UTF8).c_str(), widened(caption, CP_ACP).c_str(), MB_ICONWARNING);
}

} // namespace platform
} // namespace kavri

#include "Platform.h"

#include <io.h>
#include <memory>
#include <stdio.h>
#include <string.h>
#include <windows.h>

namespace {

// The plug-in's own module, kept from the loader's call and only read later.
HINSTANCE moduleHandle = nullptr;

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

std::size_t pathCapacity()
{
    return MAX_PATH;
}

char pathSeparator()
{
    return '\\';
}

std::size_t moduleFileName(char* buffer, std::size_t size)
{
    return GetModuleFileNameA(moduleHandle, buffer, static_cast<DWORD>(size));
}

void appendFileName(char* buffer, std::size_t size, const char* name)
{
    strcat_s(buffer, size, name);
}

bool fileExists(const char* path)
{
    return _access(path, 0) != -1;
}

tinyxml2::XMLError loadXmlFile(tinyxml2::XMLDocument& document, const char* path)
{
    // Opened here rather than by LoadFile(path), which keeps the file open
    // while it parses and never closes it when parsing throws (memory
    // exhausted): the host would be left holding the handle.
    std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(path, "rb"), &fclose);
    if (!file)
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    return document.LoadFile(file.get());
}

void showWarning(const char* caption, const char* text)
{
    MessageBoxA(nullptr, text, caption, MB_ICONWARNING);
}

} // namespace platform
} // namespace kavri

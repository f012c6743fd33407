#include "ProcessUsage.h"

#include <vector>

#include <windows.h>
#include <tlhelp32.h>

namespace hardening {

namespace {

// Every heap's blocks in use, by the bytes asked for: the C runtime's heap
// that operator new and malloc use among them.
std::size_t heapInUse()
{
    std::vector<HANDLE> heaps(64);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    }
    std::size_t total = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0)
                total += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    return total;
}

// The system's list of open handles (SystemExtendedHandleInformation),
// laid out as ntdll gives it; the documented headers leave it out.
struct HandleEntry {
    void* object;
    ULONG_PTR process;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT objectType;
    ULONG attributes;
    ULONG reserved;
};

struct HandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

// The process's open files, from the system's list of handles.
// GetProcessHandleCount would be simpler, but Wine always answers 0 there,
// and it counts every kind of handle: the C++ runtime makes events and
// semaphores of its own when the first exception passes. So a file is
// opened as a probe, which tells the kind that files have.
int openFileCount()
{
    const ULONG kExtendedHandleInformation = 64;
    const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto query = ntdll != nullptr ? reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
                                              GetProcAddress(ntdll, "NtQuerySystemInformation")))
                                        : nullptr;
    wchar_t program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    if (query == nullptr || length == 0 || length >= MAX_PATH)
        return -1;
    HANDLE probe = CreateFileW(program, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return -1;
    int count = -1;
    // Not on the heap, so that counting does not change what is measured.
    ULONG size = 1 << 20;
    for (int attempt = 0; attempt < 8; ++attempt, size *= 2) {
        void* buffer = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (buffer == nullptr)
            break;
        ULONG needed = 0;
        const LONG status = query(kExtendedHandleInformation, buffer, size, &needed);
        if (status == 0) {
            const auto* list = static_cast<const HandleList*>(buffer);
            const ULONG_PTR self = GetCurrentProcessId();
            const HandleEntry* probed = nullptr;
            for (ULONG_PTR i = 0; i < list->count && probed == nullptr; ++i) {
                if (list->entries[i].process == self && list->entries[i].handle == reinterpret_cast<ULONG_PTR>(probe))
                    probed = &list->entries[i];
            }
            if (probed != nullptr) {
                count = -1; // the probe itself
                for (ULONG_PTR i = 0; i < list->count; ++i)
                    count += list->entries[i].process == self && list->entries[i].objectType == probed->objectType;
            }
        }
        VirtualFree(buffer, 0, MEM_RELEASE);
        if (status != kInfoLengthMismatch)
            break;
    }
    CloseHandle(probe);
    return count;
}

int threadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int threads = 0;
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        threads += entry.th32OwnerProcessID == self;
    CloseHandle(snapshot);
    return threads;
}

} // namespace

ProcessUsage ProcessUsage::now()
{
    ProcessUsage usage;
    usage.openFiles = openFileCount();
    usage.threads = threadCount();
    usage.heapBytes = heapInUse();
    return usage;
}

} // namespace hardening

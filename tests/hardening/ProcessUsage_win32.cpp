#include "ProcessUsage.h"

#include <windows.h>
#include <tlhelp32.h>

namespace hardening {

namespace {

// Every heap's blocks in use, by the bytes asked for: the C runtime's heap
// that operator new and malloc use among them.
std::size_t heapInUse()
{
    // Not on the heap, so that measuring does not change what is measured.
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    std::size_t total = 0;
    for (DWORD i = 0; i < count && i < 256; ++i) {
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

// The process's open disk files. Handle values are slot numbers times four,
// and a new handle takes the lowest free slot, so every handle is found
// before a long run of free slots. (The system's handle list would be
// quicker, but asking Wine 8 for it while other processes start can bring
// its server down; GetProcessHandleCount always answers 0 there.)
int openFileCount()
{
    const int kFreeSlotsAfterTheLast = 256;
    int files = 0;
    int freeRun = 0;
    for (ULONG_PTR value = 4; freeRun < kFreeSlotsAfterTheLast; value += 4) {
        const HANDLE handle = reinterpret_cast<HANDLE>(value);
        DWORD flags = 0;
        if (!GetHandleInformation(handle, &flags)) {
            ++freeRun;
            continue;
        }
        freeRun = 0;
        files += GetFileType(handle) == FILE_TYPE_DISK;
    }
    return files;
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

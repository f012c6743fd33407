#include "ProcessUsage.h"

#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <malloc.h>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; gcc ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace hardening {

namespace {

std::size_t heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer has its own allocator; glibc's statistics stay empty.
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

int openFileCount()
{
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr)
        return -1;
    int count = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.')
            ++count;
    }
    closedir(dir);
    return count - 1; // the listing's own descriptor
}

int threadCount()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    char line[256];
    int threads = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "Threads:", 8) == 0)
            std::sscanf(line + 8, "%d", &threads);
    }
    std::fclose(status);
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

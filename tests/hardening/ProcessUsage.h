#ifndef WIREDCLSTAB_HARDENING_PROCESSUSAGE_H
#define WIREDCLSTAB_HARDENING_PROCESSUSAGE_H

#include <cstddef>

namespace hardening {

// What a plug-in could leave behind in its host, read from the process itself.
struct ProcessUsage {
    std::size_t heapBytes; // bytes handed out by the allocator and not yet freed
    int openFiles;         // entries of /proc/self/fd
    int threads;           // Threads: of /proc/self/status

    static ProcessUsage now();
};

} // namespace hardening

#endif

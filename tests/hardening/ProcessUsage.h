#ifndef WIREDCLSTAB_HARDENING_PROCESSUSAGE_H
#define WIREDCLSTAB_HARDENING_PROCESSUSAGE_H

#include <cstddef>

namespace hardening {

// What a plug-in could leave behind in its host, read from the process itself.
// One implementation per platform (ProcessUsage_posix.cpp, ProcessUsage_win32.cpp).
struct ProcessUsage {
    // Bytes handed out by the allocator and not yet freed: on Linux glibc's
    // count; on Windows the bytes asked for, summed over every heap's
    // blocks in use.
    std::size_t heapBytes;
    // Open files: on Linux the entries of /proc/self/fd; on Windows the
    // process's handles to files on disk.
    int openFiles;
    // On Linux Threads: of /proc/self/status; on Windows the process's
    // threads in a system snapshot.
    int threads;

    static ProcessUsage now();
};

} // namespace hardening

#endif

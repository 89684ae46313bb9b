#pragma once

#include <malloc.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>

// Memory of this process, for the long-recording and image-limit checks. heapInUse() is what
// malloc has handed out and not taken back (all arenas plus mmapped blocks),
// which counts each allocation's own overhead but none of the free space the
// allocator keeps; residentBytes() is the resident set as the kernel sees it.
inline std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

inline std::size_t residentBytes()
{
    std::FILE *statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    unsigned long size = 0;
    unsigned long resident = 0;
    const int read = std::fscanf(statm, "%lu %lu", &size, &resident);
    std::fclose(statm);
    return read == 2 ? std::size_t(resident) * std::size_t(sysconf(_SC_PAGESIZE)) : 0;
}

// Starts the peak resident set (VmHWM) afresh from the current resident set,
// so peakResidentBytes() tells the peak of what follows alone.
inline bool resetPeakResident()
{
    std::FILE *refs = std::fopen("/proc/self/clear_refs", "w");
    if (!refs)
        return false;
    const bool written = std::fputs("5", refs) >= 0;
    return std::fclose(refs) == 0 && written;
}

inline std::size_t peakResidentBytes()
{
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    unsigned long kib = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmHWM: %lu kB", &kib) == 1)
            break;
    }
    std::fclose(status);
    return std::size_t(kib) * 1024;
}

#pragma once

#include <malloc.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>

// Memory of this process, for the long-recording checks. heapInUse() is what
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

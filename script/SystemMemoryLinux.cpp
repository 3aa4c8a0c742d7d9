#include "SystemMemory.h"

#include <malloc.h>
#include <unistd.h>

unsigned long long physicalMemoryBytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize);
}

void returnFreedMemory() {
    // glibc keeps freed memory of every thread's arena; this releases it all.
    malloc_trim(0);
}

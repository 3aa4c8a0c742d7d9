#include "SystemMemory.h"

#include <windows.h>

unsigned long long physicalMemoryBytes() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return 0;
    return status.ullTotalPhys;
}

void returnFreedMemory() {
    // The process heap decommits large freed blocks itself; this coalesces the rest.
    HeapCompact(GetProcessHeap(), 0);
}

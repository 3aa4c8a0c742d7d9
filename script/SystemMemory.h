#pragma once
// What the operating system tells about memory, and giving freed memory
// back to it. One implementation per system, chosen by the build.

// Bytes of physical memory, 0 when the system does not say.
unsigned long long physicalMemoryBytes();
// Returns the heap's free pages to the system. A run that built large
// tables leaves them free in the allocator's arenas when its state closes;
// without this they stay resident until a later run reuses them.
void returnFreedMemory();

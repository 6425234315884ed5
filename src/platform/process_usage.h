#pragma once

#include <cstdint>

// What this process has used of the machine so far, as the system counts it.

// The most memory held in RAM at once, in KiB (0 where the system does not tell).
int64_t PeakResidentKiB();

// Processor time of all its threads, user and system, in milliseconds (0 where the
// system does not tell). Unlike the time on the wall, it barely moves with the load of
// other programs on the machine.
double ProcessorMs();

// Hands the heap's free pages back to the system. The allocator keeps freed memory for
// later allocations; after a large release, before memory-hungry work, giving it back
// keeps the process's peak lower.
void ReturnFreeMemory();

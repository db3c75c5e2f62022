#pragma once

/**
 * Gives the memory freed so far back to the system. A thread's allocations come from a heap of
 * its own, which the other threads never reuse: once what a worker held is freed, this keeps it
 * from staying counted against the program while others go on to need as much again.
 */
void releaseFreedMemory();

#pragma once

// Gives back to the system the memory the process has freed and its allocator
// still holds. A long read frees its rows as it writes them while the result
// it builds keeps growing elsewhere: without this the freed pages stay the
// process's until it ends. Costs a walk of the allocator's free lists.
void giveBackFreedMemory();

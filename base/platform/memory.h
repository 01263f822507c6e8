#pragma once
// The process's heap.

namespace tolvarine::platform {

// Hands the heap's free pages back to the system where the C library allows it; does
// nothing elsewhere.
void ReleaseFreeMemory();

}  // namespace tolvarine::platform

#pragma once
// Process start-up setting for programs that read many files one after another.

namespace quaverly {

// Keeps memory freed by one song for the next instead of returning it to the system: a read
// fills about 40 bytes per event, and taking fresh pages from the kernel for every file costs
// about as much as parsing it. Retains at most 64 MiB. Call once, first thing in main().
void KeepFreedMemoryForReuse();

}  // namespace quaverly

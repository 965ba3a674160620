#pragma once

namespace platform {

// Advisory whole-file locks (flock) on a descriptor. A lock belongs to the
// open file, not to the process: every descriptor duplicated from it shares
// it, and the kernel drops it when the last of them is closed, also when
// the holding process is killed. Taking a lock of the other kind on a
// descriptor that already holds one converts it.

// Tries for up to `timeoutMs` milliseconds (0: once) to take the lock,
// waiting a few milliseconds between attempts. True once it is held; false
// on time-out or on an error such as a closed descriptor.
bool LockFile(int handle, bool exclusive, int timeoutMs);

// One attempt, never waiting.
bool TryLockFile(int handle, bool exclusive);

void UnlockFile(int handle);

} // namespace platform

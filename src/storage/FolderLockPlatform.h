// What the folder lock needs from the operating system; FolderLockPosix.cpp and FolderLockWin.cpp
// each supply it.
#pragma once

#include <cstdint>
#include <string>

namespace folderlock {

// Opens (making it when missing) the lock file at path, never through a link and never blocking;
// -1 with the reason when that cannot be done.
std::intptr_t OpenLockFile(const std::string& path, std::string& reason);
enum class Try { Locked, Busy, Failed };
// One attempt at the exclusive lock, without waiting.
Try TryLock(std::intptr_t handle, std::string& reason);
// Closes the file, and with it the lock.
void CloseLockFile(std::intptr_t handle);
std::string PathIn(const std::string& folder, const char* name);

} // namespace folderlock

#include "storage/FolderLock.h"

#include "storage/FolderLockPlatform.h"

#include <thread>

FolderLock::State FolderLock::Acquire(const std::string& folder, std::chrono::milliseconds wait) {
    if (Held()) return State::Held;
    reason_.clear();
    const std::intptr_t handle =
        folderlock::OpenLockFile(folderlock::PathIn(folder, FolderLockFileName), reason_);
    if (handle == -1) return State::Unavailable;
    // The system's own waits cannot be bounded everywhere: try again every few milliseconds.
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        switch (folderlock::TryLock(handle, reason_)) {
        case folderlock::Try::Locked:
            handle_ = handle;
            return State::Held;
        case folderlock::Try::Failed:
            folderlock::CloseLockFile(handle);
            return State::Unavailable;
        case folderlock::Try::Busy:
            break;
        }
        if (std::chrono::steady_clock::now() >= until) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    folderlock::CloseLockFile(handle);
    return State::HeldElsewhere;
}

void FolderLock::Release() {
    if (!Held()) return;
    folderlock::CloseLockFile(handle_); // the lock goes with the file
    handle_ = -1;
}

std::string ChangedFileKeptNotice(const std::string& fileName) {
    return "\"" + fileName +
           "\" was changed by another program after this one loaded it, so that file was kept as " +
           fileName + ".bak";
}

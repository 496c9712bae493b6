// Who holds a folder's data files, and whether a file changed on disk since it was loaded.
//
// One program at a time works on the data files of a folder (Meridot.ini, SaveStck.dat,
// SaveRegs.dat). It holds the operating system's own lock (flock, LockFileEx) on the file
// "Meridot.lock" there. That lock ends with its process however the process ends, so a crash
// never leaves a stale lock; the file itself stays, empty, and means nothing without the lock.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

inline constexpr const char* FolderLockFileName = "Meridot.lock";

class FolderLock {
public:
    enum class State {
        Held,          // this program holds the folder
        HeldElsewhere, // another program holds it
        Unavailable,   // no lock can be made here (a folder that cannot be written, say)
    };

    FolderLock() = default;
    ~FolderLock() { Release(); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Takes the lock of the folder, waiting up to `wait` for another holder to let it go. Held
    // already: Held at once.
    State Acquire(const std::string& folder = ".",
                  std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    bool Held() const { return handle_ != -1; }
    void Release();
    // Why the last Acquire gave Unavailable.
    const std::string& Reason() const { return reason_; }

private:
    std::intptr_t handle_ = -1;
    std::string reason_;
};

// What a file is on disk: enough to tell that it was replaced or rewritten.
struct FileStamp {
    bool exists = false;
    std::uint64_t volume = 0, index = 0, size = 0;
    std::int64_t modified = 0, changed = 0; // nanoseconds or the platform's own ticks
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// A data file as this program last loaded or saved it. Taken before reading, so a change while
// it is read counts as a change.
class LoadedFile {
public:
    void Note(const std::string& path) {
        stamp_ = StampOf(path);
        noted_ = true;
    }
    // True when another program (or an editor) replaced, created or rewrote the file since.
    bool ChangedOnDisk(const std::string& path) const { return noted_ && StampOf(path) != stamp_; }

private:
    FileStamp stamp_;
    bool noted_ = false;
};

// The message of a save that kept a changed file as "<name>.bak".
std::string ChangedFileKeptNotice(const std::string& fileName);

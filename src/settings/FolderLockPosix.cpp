// The folder lock and file stamps on POSIX systems: flock on a file opened without following a
// link and without blocking, so a link or a FIFO planted at the lock's name cannot redirect it.
#include "settings/FolderLock.h"

#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

FolderLock::State FolderLock::Acquire(const std::string& folder, std::chrono::milliseconds wait) {
    if (Held()) return State::Held;
    reason_.clear();
    const std::string path = (folder.empty() ? std::string(".") : folder) + "/" + FolderLockFileName;
    const int flags = O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(path.c_str(), O_RDWR | flags, 0600);
    // Another user's lock file can still be locked through a descriptor open for reading only.
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason_ = std::strerror(errno);
        return State::Unavailable;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        reason_ = FolderLockFileName + std::string(" is not a regular file");
        return State::Unavailable;
    }
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            handle_ = fd;
            return State::Held;
        }
        const int error = errno;
        if (error == EINTR) continue;
        if (error != EWOULDBLOCK) {
            ::close(fd);
            reason_ = std::strerror(error);
            return State::Unavailable;
        }
        if (std::chrono::steady_clock::now() >= until) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::close(fd);
    return State::HeldElsewhere;
}

void FolderLock::Release() {
    if (!Held()) return;
    ::close(static_cast<int>(handle_)); // the lock goes with the descriptor
    handle_ = -1;
}

FileStamp StampOf(const std::string& path) {
    FileStamp s;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return s;
    s.exists = true;
    s.volume = static_cast<std::uint64_t>(st.st_dev);
    s.index = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

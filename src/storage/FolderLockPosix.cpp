// The folder lock and file stamps on POSIX systems: flock on a file opened without following a
// link and without blocking, so a link or a FIFO planted at the lock's name cannot redirect it.
#include "storage/FolderLock.h"
#include "storage/FolderLockPlatform.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace folderlock {

std::string PathIn(const std::string& folder, const char* name) {
    return (folder.empty() ? std::string(".") : folder) + "/" + name;
}

std::intptr_t OpenLockFile(const std::string& path, std::string& reason) {
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | flags, 0600);
    // Another user's lock file can still be locked through a descriptor open for reading only.
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_RDONLY | flags);
    if (fd < 0) {
        reason = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        reason = path + " is not a regular file";
        return -1;
    }
    return fd;
}

Try TryLock(std::intptr_t handle, std::string& reason) {
    for (;;) {
        if (::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0) return Try::Locked;
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return Try::Busy;
        reason = std::strerror(errno);
        return Try::Failed;
    }
}

void CloseLockFile(std::intptr_t handle) {
    ::close(static_cast<int>(handle));
}

} // namespace folderlock

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

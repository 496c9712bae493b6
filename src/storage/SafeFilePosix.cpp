// The platform primitives of SafeFile on POSIX systems.
#include "storage/SafeFilePlatform.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace safefile {

namespace {

std::string Reason(int error) {
    return error ? std::strerror(error) : "unknown error";
}

int Fd(std::intptr_t handle) {
    return static_cast<int>(handle);
}

// What a file of this type is, in words.
std::string KindWords(mode_t mode) {
    if (S_ISREG(mode)) return "a regular file";
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISLNK(mode)) return "a symbolic link";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

Attributes AttributesOf(const struct stat& st) {
    // Set-id and sticky bits never pass to a file this program writes: copied onto a file holding
    // other bytes they could make a program that runs with someone else's rights.
    return {true, static_cast<unsigned>(st.st_mode & 0777), static_cast<long long>(st.st_uid),
            static_cast<long long>(st.st_gid)};
}

// The process's file-creation mask, read without changing it where the system tells it (changing
// it, even for a moment, would affect files other threads create meanwhile).
mode_t CreationMask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found) return static_cast<mode_t>(mask);
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

} // namespace

Entry EntryAt(const std::string& path) {
    Entry entry;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        const int error = errno;
        if (error != ENOENT) {
            entry.kind = Entry::Kind::Unknown;
            entry.what = Reason(error);
        }
        return entry;
    }
    entry.what = KindWords(st.st_mode);
    if (S_ISREG(st.st_mode)) {
        entry.kind = Entry::Kind::Regular;
        entry.attributes = AttributesOf(st);
    } else if (S_ISLNK(st.st_mode)) {
        entry.kind = Entry::Kind::Link;
    } else if (S_ISDIR(st.st_mode)) {
        entry.kind = Entry::Kind::Directory;
    } else {
        entry.kind = Entry::Kind::Special;
    }
    return entry;
}

NewFile::~NewFile() {
    if (handle_ >= 0) ::close(Fd(handle_));
}

Outcome NewFile::Create(const std::string& path, std::string& reason) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        handle_ = fd;
        return Outcome::Done;
    }
    const int error = errno;
    reason = Reason(error);
    return error == EEXIST ? Outcome::NameTaken : Outcome::Failed;
}

Failure NewFile::SetAttributes(const Attributes& attributes) {
    const int fd = Fd(handle_);
    if (!attributes.kept) {
        if (::fchmod(fd, 0666 & ~CreationMask()) != 0) return Reason(errno);
        return std::nullopt;
    }
    // Only root may hand a file to someone else; anyone may keep the group if they belong to it.
    const auto owner = static_cast<uid_t>(attributes.owner);
    const auto group = static_cast<gid_t>(attributes.group);
    if ((owner != ::geteuid() || group != ::getegid()) && ::fchown(fd, owner, group) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), group) != 0) {
        // keeps this process's owner and group
    }
    // The owner keeps read and write access: a file the program cannot read back would be
    // replaced again at the next close, and its backup with it.
    if (::fchmod(fd, static_cast<mode_t>(attributes.mode & 0777) | S_IRUSR | S_IWUSR) != 0)
        return Reason(errno);
    return std::nullopt;
}

Failure NewFile::WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const auto written = ::write(Fd(handle_), data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return Reason(errno);
        }
        if (written == 0) return Reason(ENOSPC);
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return std::nullopt;
}

Failure NewFile::FlushToDisk() {
    if (::fsync(Fd(handle_)) != 0) return Reason(errno);
    return std::nullopt;
}

Failure NewFile::Close() {
    const int fd = Fd(handle_);
    handle_ = -1;
    if (::close(fd) != 0) return Reason(errno);
    return std::nullopt;
}

Reading OpenForReading(const std::string& path, std::uint64_t maxSize, bool followLink) {
    Reading r;
    const auto refuse = [&r](const std::string& problem) {
        r.problem = problem;
        return r;
    };
    // Looked at first, so that a device is not even opened; then checked again on the open file,
    // which is what is read whatever the name leads to by then.
    struct stat st {};
    if ((followLink ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
        const int error = errno;
        r.missing = error == ENOENT;
        return refuse("cannot be read (" + Reason(error) + ")");
    }
    if (!S_ISREG(st.st_mode)) return refuse("is " + KindWords(st.st_mode));
    // Without blocking: a FIFO put in its place meanwhile must not stop the program.
    const int fd =
        ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        const int error = errno;
        return refuse(error == ELOOP && !followLink ? "is a symbolic link"
                                                    : "cannot be read (" + Reason(error) + ")");
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        ::close(fd);
        return refuse(S_ISREG(st.st_mode) ? "cannot be read (" + Reason(error) + ")"
                                          : "is " + KindWords(st.st_mode));
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxSize) {
        ::close(fd);
        return refuse("is larger than " + SizeWords(maxSize));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    r.file = ::fdopen(fd, "rb");
    if (!r.file) {
        const int error = errno;
        ::close(fd);
        return refuse("cannot be read (" + Reason(error) + ")");
    }
    r.attributes = AttributesOf(st);
    return r;
}

Failure ReplaceWith(const std::string& temporary, const std::string& target) {
    if (::rename(temporary.c_str(), target.c_str()) != 0) return Reason(errno);
    return std::nullopt;
}

void FlushDirectoryOf(const std::string& fileName) {
    auto dir = std::filesystem::path(fileName).parent_path();
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void RemoveFile(const std::string& path) {
    ::unlink(path.c_str());
}

long ProcessId() {
    return static_cast<long>(::getpid());
}

bool ProcessIsRunning(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

Outcome LinkFile(const std::string& existing, const std::string& newName, std::string& reason) {
    // Without AT_SYMLINK_FOLLOW a symbolic link gets the second name itself, never what it leads to.
    if (::linkat(AT_FDCWD, existing.c_str(), AT_FDCWD, newName.c_str(), 0) == 0) return Outcome::Done;
    const int error = errno;
    reason = Reason(error);
    return error == EEXIST ? Outcome::NameTaken : Outcome::Failed;
}

Outcome CopyLink(const std::string& existing, const std::string& newName, std::string& reason) {
    std::string target(4096, '\0');
    const auto length = ::readlink(existing.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<std::size_t>(length) >= target.size()) {
        reason = length < 0 ? Reason(errno) : Reason(ENAMETOOLONG);
        return Outcome::Failed;
    }
    target.resize(static_cast<std::size_t>(length));
    if (::symlink(target.c_str(), newName.c_str()) == 0) return Outcome::Done;
    const int error = errno;
    reason = Reason(error);
    return error == EEXIST ? Outcome::NameTaken : Outcome::Failed;
}

std::vector<std::string> FileNamesIn(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return names;
    while (const dirent* entry = ::readdir(d)) names.emplace_back(entry->d_name);
    ::closedir(d);
    return names;
}

} // namespace safefile

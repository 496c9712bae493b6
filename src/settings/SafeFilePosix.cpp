// The platform primitives of SafeFile on POSIX systems.
#include "settings/SafeFilePlatform.h"

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

} // namespace

NewFile::~NewFile() {
    if (handle_ >= 0) ::close(Fd(handle_));
}

NewFile::Outcome NewFile::Create(const std::string& path, std::string& reason) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        handle_ = fd;
        return Outcome::Created;
    }
    const int error = errno;
    reason = Reason(error);
    return error == EEXIST ? Outcome::NameTaken : Outcome::Failed;
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

Failure NewFile::KeepAttributesOf(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    const int fd = Fd(handle_);
    // The owner first: a change of owner may clear set-id bits that the mode then restores. Only
    // root may hand a file to someone else; anyone may keep the group if they belong to it.
    if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) && ::fchown(fd, st.st_uid, st.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
        // keeps this process's owner and group
    }
    // The owner keeps read and write access: a file the program cannot read back would be
    // replaced again at the next close, and its backup with it.
    if (::fchmod(fd, (st.st_mode & 07777) | S_IRUSR | S_IWUSR) != 0) return Reason(errno);
    return std::nullopt;
}

Failure NewFile::Close() {
    const int fd = Fd(handle_);
    handle_ = -1;
    if (::close(fd) != 0) return Reason(errno);
    return std::nullopt;
}

Failure ReplaceWith(const std::string& temporary, const std::string& target) {
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) return ec.message();
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
    std::remove(path.c_str());
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

Failure LinkFile(const std::string& existing, const std::string& newName) {
    if (::link(existing.c_str(), newName.c_str()) != 0) return Reason(errno);
    return std::nullopt;
}

std::vector<std::string> FileNamesIn(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return names;
    while (const dirent* entry = ::readdir(d)) names.emplace_back(entry->d_name);
    ::closedir(d);
    return names;
}

std::FILE* OpenForReading(const std::string& path) {
    return std::fopen(path.c_str(), "rb");
}

} // namespace safefile

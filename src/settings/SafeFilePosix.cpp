// The platform primitives of SafeFile on POSIX systems.
#include "settings/SafeFilePlatform.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
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

std::FILE* OpenForReading(const std::string& path) {
    return std::fopen(path.c_str(), "rb");
}

} // namespace safefile

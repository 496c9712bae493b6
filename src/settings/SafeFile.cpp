#include "settings/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Collects lines from a stream of bytes, whatever the line ends.
class LineSplitter {
public:
    LineSplitter(std::vector<std::string>& lines, std::size_t maxLength)
        : lines_(lines), maxLength_(maxLength) {}

    void Feed(const char* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            const char c = data[i];
            if (afterCR_) {
                afterCR_ = false;
                if (c == '\n') continue; // the LF of a CR LF pair
            }
            if (c == '\r' || c == '\n') {
                EndLine();
                afterCR_ = c == '\r';
                continue;
            }
            ++length_;
            if (c == '\0') unreadable_ = true;
            if (length_ > maxLength_) {
                unreadable_ = true;
                current_.clear(); // keep counting, stop storing
            } else if (!unreadable_) {
                current_.push_back(c);
            }
        }
    }

    void Finish() {
        if (length_ > 0) EndLine();
    }

private:
    void EndLine() {
        if (unreadable_) current_.clear();
        lines_.push_back(std::move(current_));
        current_.clear();
        length_ = 0;
        unreadable_ = false;
    }

    std::vector<std::string>& lines_;
    std::size_t maxLength_;
    std::string current_;
    std::size_t length_ = 0;
    bool unreadable_ = false;
    bool afterCR_ = false;
};

std::string Reason(int error) {
    return error ? std::strerror(error) : "unknown error";
}

std::string WriteFailure(const std::string& fileName, const std::string& reason) {
    return "Could not save \"" + fileName + "\": " + reason + ". Any earlier copy of the file is unchanged.";
}

#ifdef _WIN32
int OpenNew(const std::string& path) {
    return ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int WriteSome(int fd, const char* data, std::size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(size));
}
int FlushToDisk(int fd) {
    return ::_commit(fd);
}
int CloseFile(int fd) {
    return ::_close(fd);
}
#else
int OpenNew(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
long WriteSome(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}
int FlushToDisk(int fd) {
    return ::fsync(fd);
}
int CloseFile(int fd) {
    return ::close(fd);
}
#endif

// Makes the rename itself durable; a failure here loses nothing that was not already safe.
void FlushDirectoryOf([[maybe_unused]] const std::string& fileName) {
#ifndef _WIN32
    auto dir = std::filesystem::path(fileName).parent_path();
    const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#endif
}

// A name beside the target that no other writer in this or another process picks.
std::string TemporaryName(const std::string& fileName) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const long pid = static_cast<long>(::_getpid());
#else
    const long pid = static_cast<long>(::getpid());
#endif
    return fileName + ".tmp" + std::to_string(pid) + "-" + std::to_string(counter++);
}

} // namespace

std::optional<std::vector<std::string>> ReadTextLines(const std::string& fileName,
                                                      std::size_t maxLineLength) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return std::nullopt;
    std::vector<std::string> lines;
    LineSplitter splitter(lines, maxLineLength);
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) splitter.Feed(buffer, got);
    const bool failed = std::ferror(file) != 0; // a directory opens but does not read
    std::fclose(file);
    if (failed) return std::nullopt;
    splitter.Finish();
    return lines;
}

std::optional<std::string> WriteTextLines(const std::string& fileName,
                                          const std::vector<std::string>& lines) {
    std::string text;
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }

    if (fileName.empty()) return WriteFailure(fileName, "no file name");
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(fileName);
        fd = OpenNew(temporary);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return WriteFailure(fileName, Reason(errno));

    auto abandon = [&](int error) {
        CloseFile(fd);
        std::remove(temporary.c_str());
        return WriteFailure(fileName, Reason(error));
    };
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const auto written = WriteSome(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return abandon(errno);
        }
        if (written == 0) return abandon(ENOSPC);
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (FlushToDisk(fd) != 0) return abandon(errno);
    if (CloseFile(fd) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        return WriteFailure(fileName, Reason(error));
    }

    std::error_code ec;
    std::filesystem::rename(temporary, fileName, ec);
    if (ec) {
        std::remove(temporary.c_str());
        return WriteFailure(fileName, ec.message());
    }
    FlushDirectoryOf(fileName);
    return std::nullopt;
}

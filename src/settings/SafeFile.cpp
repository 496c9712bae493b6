#include "settings/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Collects lines from a stream of bytes, whatever the line ends.
class LineSplitter {
public:
    LineSplitter(TextFileLines& out, std::size_t maxLength) : out_(out), maxLength_(maxLength) {}

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
        if (unreadable_) {
            current_.clear();
            ++out_.unreadableLines;
        }
        out_.lines.push_back(std::move(current_));
        current_.clear();
        length_ = 0;
        unreadable_ = false;
    }

    TextFileLines& out_;
    std::size_t maxLength_;
    std::string current_;
    std::size_t length_ = 0;
    bool unreadable_ = false;
    bool afterCR_ = false;
};

// Hands the bytes of a file on as 8-bit text: as they are, without a leading UTF-8 byte-order mark,
// or decoded from UTF-16 when the file starts with a UTF-16 one (as some editors save text).
class TextDecoder {
public:
    explicit TextDecoder(LineSplitter& out) : out_(out) {}

    void Feed(const char* data, std::size_t size) {
        if (first_) {
            first_ = false;
            const std::string_view start(data, size < 3 ? size : 3);
            if (start.substr(0, 3) == "\xEF\xBB\xBF") {
                data += 3, size -= 3;
            } else if (start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF") {
                kind_ = start[0] == '\xFF' ? Kind::Utf16LE : Kind::Utf16BE;
                data += 2, size -= 2;
            }
        }
        if (kind_ == Kind::Bytes) {
            out_.Feed(data, size);
            return;
        }
        decoded_.clear();
        for (std::size_t i = 0; i < size; ++i) {
            const auto byte = static_cast<unsigned char>(data[i]);
            if (!haveHalf_) {
                half_ = byte;
                haveHalf_ = true;
                continue;
            }
            haveHalf_ = false;
            const unsigned unit = kind_ == Kind::Utf16LE ? half_ | byte << 8 : half_ << 8 | byte;
            if (unit < 0x100)
                decoded_.push_back(static_cast<char>(unit));
            else if (unit < 0xDC00 || unit >= 0xE000) // a low surrogate adds nothing to its pair's "?"
                decoded_.push_back('?');
        }
        out_.Feed(decoded_.data(), decoded_.size());
    }

private:
    enum class Kind { Bytes, Utf16LE, Utf16BE };
    LineSplitter& out_;
    Kind kind_ = Kind::Bytes;
    bool first_ = true;
    bool haveHalf_ = false;
    unsigned half_ = 0;
    std::string decoded_;
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

// ---- Steps only POSIX systems have; the Windows build supplies its own. -------------------------
#ifndef _WIN32
// Gives the new file the mode and, where the platform allows it, the owner of the file it replaces,
// so that a private file stays private. A new file keeps the usual default. Gives an errno value.
int KeepModeAndOwner(int fd, const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    // The owner first: a change of owner may clear set-id bits that the mode then restores. Only
    // root may hand a file to someone else; anyone may keep the group if they belong to it.
    if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) && ::fchown(fd, st.st_uid, st.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
        // keeps this process's owner and group
    }
    // The owner keeps read and write access: a file the program cannot read back would be
    // replaced again at the next close, and its backup with it.
    return ::fchmod(fd, (st.st_mode & 07777) | S_IRUSR | S_IWUSR) == 0 ? 0 : errno;
}

bool ProcessIsRunning(long pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

long ProcessId() {
    return static_cast<long>(::getpid());
}
#else
int KeepModeAndOwner(int, const std::string&) {
    return 0; // a new file takes its access rights from the directory
}
bool ProcessIsRunning(long) {
    return false; // a temporary file still open in a running save cannot be removed anyway
}
long ProcessId() {
    return static_cast<long>(::_getpid());
}
#endif

// A name beside the target that no other writer in this or another process picks:
// "<name>.tmp<process id>-<counter>".
std::string TemporaryName(const std::string& fileName) {
    static std::atomic<unsigned> counter{0};
    return fileName + ".tmp" + std::to_string(ProcessId()) + "-" + std::to_string(counter++);
}

// The process id in the rest of a temporary file's name ("<pid>-<counter>"), or nothing when the
// name is not one this program makes.
std::optional<long> TemporaryOwner(std::string_view rest) {
    const auto dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == rest.size()) return std::nullopt;
    for (std::size_t i = 0; i < rest.size(); ++i)
        if (i != dash && (rest[i] < '0' || rest[i] > '9')) return std::nullopt;
    long pid = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + dash, pid);
    if (ec != std::errc() || end != rest.data() + dash) return std::nullopt;
    return pid;
}

// Removes what saves of this file that were interrupted left behind: temporary files whose
// process has ended. Anything else in the directory stays.
void RemoveStaleTemporaries(const std::string& fileName) {
    namespace fs = std::filesystem;
    const fs::path path(fileName);
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string prefix = path.filename().string() + ".tmp";
    std::vector<fs::path> stale;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const auto owner = TemporaryOwner(std::string_view(name).substr(prefix.size()));
        if (owner && !ProcessIsRunning(*owner)) stale.push_back(it->path());
    }
    for (const auto& p : stale) fs::remove(p, ec);
}

// Writes the bytes to a new temporary file beside target, flushed to disk and closed, with the
// mode and owner of attributesOf. On failure the temporary file is gone and error is set.
struct Temporary {
    std::string name;
    int error = 0;
};
Temporary WriteTemporary(const std::string& target, const std::string& bytes,
                         const std::string& attributesOf) {
    Temporary t;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        t.name = TemporaryName(target);
        fd = OpenNew(t.name);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        t.error = errno;
        return t;
    }
    auto abandon = [&](int error) {
        CloseFile(fd);
        std::remove(t.name.c_str());
        t.error = error ? error : EIO;
        return t;
    };
    const char* data = bytes.data();
    std::size_t left = bytes.size();
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
    if (const int error = KeepModeAndOwner(fd, attributesOf)) return abandon(error);
    if (FlushToDisk(fd) != 0) return abandon(errno);
    if (CloseFile(fd) != 0) {
        t.error = errno ? errno : EIO;
        std::remove(t.name.c_str());
    }
    return t;
}

std::optional<std::string> ReadWholeFile(const std::string& fileName) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

// Keeps the file as it is now as <name>.bak, replacing an older one. A hard link keeps it without
// reading it (an unreadable file included); where there are none, its bytes are copied.
// Gives the reason when it could not be kept.
std::optional<std::string> KeepBackup(const std::string& fileName) {
    const std::string backup = fileName + ".bak";
    const auto cannot = [&backup](const std::string& reason) {
        return "the earlier file could not be kept as " + backup + " (" + reason + ")";
    };
    std::string kept = TemporaryName(backup);
    std::error_code ec;
    std::filesystem::create_hard_link(fileName, kept, ec);
    if (ec) {
        errno = 0;
        const auto bytes = ReadWholeFile(fileName);
        if (!bytes) return cannot(Reason(errno ? errno : EIO));
        const Temporary copy = WriteTemporary(backup, *bytes, fileName);
        if (copy.error) return cannot(Reason(copy.error));
        kept = copy.name;
    }
    std::filesystem::rename(kept, backup, ec);
    if (ec) {
        std::remove(kept.c_str());
        return cannot(ec.message());
    }
    RemoveStaleTemporaries(backup);
    return std::nullopt;
}

} // namespace

std::optional<TextFileLines> ReadTextFile(const std::string& fileName, std::size_t maxLineLength) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return std::nullopt;
    TextFileLines result;
    LineSplitter splitter(result, maxLineLength);
    TextDecoder decoder(splitter);
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) decoder.Feed(buffer, got);
    const bool failed = std::ferror(file) != 0; // a directory opens but does not read
    std::fclose(file);
    if (failed) return std::nullopt;
    splitter.Finish();
    return result;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::string& fileName,
                                                      std::size_t maxLineLength) {
    auto file = ReadTextFile(fileName, maxLineLength);
    if (!file) return std::nullopt;
    return std::move(file->lines);
}

SaveResult SaveTextLines(const std::string& fileName, const std::vector<std::string>& lines,
                         bool keepBackup) {
    SaveResult result;
    if (fileName.empty()) {
        result.failure = WriteFailure(fileName, "no file name");
        return result;
    }
    std::string text;
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }

    const Temporary temporary = WriteTemporary(fileName, text, fileName);
    if (temporary.error) {
        result.failure = WriteFailure(fileName, Reason(temporary.error));
        return result;
    }
    std::error_code ec;
    const bool replacing =
        std::filesystem::symlink_status(fileName, ec).type() != std::filesystem::file_type::not_found;
    if (keepBackup && replacing) {
        if (auto failure = KeepBackup(fileName)) {
            std::remove(temporary.name.c_str());
            result.failure = WriteFailure(fileName, *failure);
            return result;
        }
        result.notice = "\"" + fileName + "\" was not loaded in full, so the earlier file was kept as " +
                        fileName + ".bak";
    }
    std::filesystem::rename(temporary.name, fileName, ec);
    if (ec) {
        std::remove(temporary.name.c_str());
        result.failure = WriteFailure(fileName, ec.message());
        result.notice.reset();
        return result;
    }
    FlushDirectoryOf(fileName);
    RemoveStaleTemporaries(fileName);
    return result;
}

std::optional<std::string> WriteTextLines(const std::string& fileName,
                                          const std::vector<std::string>& lines) {
    return SaveTextLines(fileName, lines, false).failure;
}

#include "storage/SafeFile.h"

#include "storage/SafeFilePlatform.h"

#include <atomic>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

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

std::string WriteFailure(const std::string& fileName, const std::string& reason) {
    return "Could not save \"" + fileName + "\": " + reason + ". Any earlier copy of the file is unchanged.";
}

// A name beside the target that no other writer in this or another process picks:
// "<name>.tmp<process id>-<number>". The number counts up; after a name turned out to be taken
// (someone may have made names ahead), it is drawn at random.
std::string TemporaryName(const std::string& fileName, int attempt) {
    static std::atomic<unsigned> counter{0};
    unsigned number = counter++;
    if (attempt > 0) {
        thread_local std::mt19937 random{std::random_device{}()};
        number = static_cast<unsigned>(random());
    }
    return fileName + ".tmp" + std::to_string(safefile::ProcessId()) + "-" + std::to_string(number);
}

// The process id in the rest of a temporary file's name ("<pid>-<number>"), or nothing when the
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

// Removes what saves of this file that were interrupted left behind: temporary files of the file
// and of its backup whose process has ended. Anything else in the directory stays.
void RemoveStaleTemporaries(const std::string& fileName) {
    const auto slash = fileName.find_last_of(safefile::PathSeparators);
    const std::string dir = slash == std::string::npos ? std::string(".") : fileName.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    const std::string prefixes[] = {base + ".tmp", base + ".bak.tmp"};
    for (const auto& name : safefile::FileNamesIn(dir)) {
        for (const auto& prefix : prefixes) {
            if (name.compare(0, prefix.size(), prefix) != 0) continue;
            const auto owner = TemporaryOwner(std::string_view(name).substr(prefix.size()));
            if (owner && !safefile::ProcessIsRunning(*owner))
                safefile::RemoveFile(slash == std::string::npos ? name : dir + name);
        }
    }
}

// Tries names made by TemporaryName until `make` takes one or fails for another reason than the
// name being taken.
template <class Make>
safefile::Outcome MakeUnderTemporaryName(const std::string& target, std::string& name, std::string& reason,
                                         Make make) {
    auto outcome = safefile::Outcome::NameTaken;
    for (int attempt = 0; attempt < 100 && outcome == safefile::Outcome::NameTaken; ++attempt) {
        name = TemporaryName(target, attempt);
        outcome = make(name, reason);
    }
    return outcome;
}

// Writes the bytes to a new temporary file beside target, flushed to disk and closed, with the
// given attributes set before the first byte. On failure the temporary file is gone and failure is
// set.
struct Temporary {
    std::string name;
    safefile::Failure failure;
};
Temporary WriteTemporary(const std::string& target, const std::string& bytes,
                         const safefile::Attributes& attributes) {
    Temporary t;
    safefile::NewFile file;
    std::string reason = "unknown error";
    const auto outcome =
        MakeUnderTemporaryName(target, t.name, reason, [&file](const std::string& name, std::string& why) {
            return file.Create(name, why);
        });
    if (outcome != safefile::Outcome::Done) {
        t.failure = reason;
        return t;
    }
    auto failure = file.SetAttributes(attributes);
    if (!failure) failure = file.WriteAll(bytes.data(), bytes.size());
    if (!failure) failure = file.FlushToDisk();
    if (auto closing = file.Close(); !failure) failure = closing;
    if (failure) {
        safefile::RemoveFile(t.name);
        t.failure = failure;
    }
    return t;
}

// Reads all of an open file, stopping with a failure past maxSize bytes (a file may grow while it
// is read). Closes the file.
bool ReadAll(std::FILE* file, std::uint64_t maxSize,
             const std::function<void(const char*, std::size_t)>& take) {
    char buffer[65536];
    std::size_t got = 0;
    std::uint64_t total = 0;
    bool tooLarge = false;
    while (!tooLarge && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        total += got;
        tooLarge = total > maxSize;
        if (!tooLarge) take(buffer, got);
    }
    const bool failed = std::ferror(file) != 0 || tooLarge;
    std::fclose(file);
    return !failed;
}

// A regular file of no bytes has nothing to keep. Anything else (a link, a file that cannot be
// looked at) counts as holding something.
bool IsEmptyRegularFile(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::path path(std::u8string(fileName.begin(), fileName.end()));
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error))) return false;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size == 0;
}

// Keeps the file as it is now as <name>.bak, replacing an older one. A hard link keeps it without
// reading it (an unreadable file included); where there are none, a symbolic link is copied as a
// link and a regular file by its bytes, read through the one descriptor whose attributes the copy
// takes, so that nothing swapped in under the name meanwhile can lend the copy other rights.
// Gives the reason when it could not be kept.
std::optional<std::string> KeepBackup(const std::string& fileName, safefile::Entry::Kind kind) {
    const std::string backup = fileName + ".bak";
    const auto cannot = [&backup](const std::string& reason) {
        return "the earlier file could not be kept as " + backup + " (" + reason + ")";
    };
    std::string kept, reason;
    auto outcome =
        MakeUnderTemporaryName(backup, kept, reason, [&fileName](const std::string& name, std::string& why) {
            return safefile::LinkFile(fileName, name, why);
        });
    if (outcome != safefile::Outcome::Done && kind == safefile::Entry::Kind::Link) {
        outcome = MakeUnderTemporaryName(backup, kept, reason,
                                         [&fileName](const std::string& name, std::string& why) {
                                             return safefile::CopyLink(fileName, name, why);
                                         });
        if (outcome != safefile::Outcome::Done) return cannot(reason);
    } else if (outcome != safefile::Outcome::Done) {
        auto reading = safefile::OpenForReading(fileName, MaxTextFileSize, false);
        if (!reading.file) return cannot("it " + reading.problem);
        std::string bytes;
        if (!ReadAll(reading.file, MaxTextFileSize,
                     [&bytes](const char* data, std::size_t size) { bytes.append(data, size); }))
            return cannot("it could not be read");
        const Temporary copy = WriteTemporary(backup, bytes, reading.attributes);
        if (copy.failure) return cannot(*copy.failure);
        kept = copy.name;
    }
    if (auto failure = safefile::ReplaceWith(kept, backup)) {
        safefile::RemoveFile(kept);
        return cannot(*failure);
    }
    // Renaming a name onto another name of the same file changes nothing: the .bak was already
    // this file (a save was stopped after keeping it), and the temporary name would stay.
    if (safefile::FileExists(kept)) safefile::RemoveFile(kept);
    return std::nullopt;
}

} // namespace

std::optional<TextFileLines> ReadTextFile(const std::string& fileName, std::size_t maxLineLength,
                                          std::string* problem, std::uint64_t maxFileSize) {
    auto reading = safefile::OpenForReading(fileName, maxFileSize);
    if (!reading.file) {
        if (problem) *problem = reading.missing ? std::string() : "\"" + fileName + "\" " + reading.problem;
        return std::nullopt;
    }
    TextFileLines result;
    LineSplitter splitter(result, maxLineLength);
    TextDecoder decoder(splitter);
    if (!ReadAll(reading.file, maxFileSize,
                 [&decoder](const char* data, std::size_t size) { decoder.Feed(data, size); })) {
        if (problem) *problem = "\"" + fileName + "\" could not be read in full";
        return std::nullopt;
    }
    splitter.Finish();
    return result;
}

std::optional<std::string> ReadFileBytes(const std::string& fileName, std::string* problem,
                                         std::uint64_t maxFileSize) {
    auto reading = safefile::OpenForReading(fileName, maxFileSize);
    if (!reading.file) {
        if (problem) *problem = reading.missing ? std::string() : "\"" + fileName + "\" " + reading.problem;
        return std::nullopt;
    }
    std::string bytes;
    if (!ReadAll(reading.file, maxFileSize,
                 [&bytes](const char* data, std::size_t size) { bytes.append(data, size); })) {
        if (problem) *problem = "\"" + fileName + "\" could not be read in full";
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::string& fileName,
                                                      std::size_t maxLineLength) {
    auto file = ReadTextFile(fileName, maxLineLength);
    if (!file) return std::nullopt;
    return std::move(file->lines);
}

SaveResult SaveTextLines(const std::string& fileName, const std::vector<std::string>& lines,
                         bool keepBackup) {
    std::string text;
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return SaveText(fileName, text, keepBackup);
}

SaveResult SaveText(const std::string& fileName, const std::string& text, bool keepBackup) {
    SaveResult result;
    if (fileName.empty()) {
        result.failure = WriteFailure(fileName, "no file name");
        return result;
    }
    // Only a regular file or a link is replaced; a directory, FIFO or device is not this program's.
    // The new file takes the rights of a regular file found here, never through a link.
    const safefile::Entry there = safefile::EntryAt(fileName);
    switch (there.kind) {
    case safefile::Entry::Kind::Directory:
    case safefile::Entry::Kind::Special:
        result.failure = WriteFailure(fileName, "there is " + there.what + " in its place");
        return result;
    case safefile::Entry::Kind::Unknown:
        result.failure = WriteFailure(fileName, there.what);
        return result;
    default:
        break;
    }
    const Temporary temporary = WriteTemporary(fileName, text, there.attributes);
    if (temporary.failure) {
        result.failure = WriteFailure(fileName, *temporary.failure);
        return result;
    }
    const bool empty = there.kind == safefile::Entry::Kind::Regular && IsEmptyRegularFile(fileName);
    if (keepBackup && there.kind != safefile::Entry::Kind::None && !empty) {
        if (auto failure = KeepBackup(fileName, there.kind)) {
            safefile::RemoveFile(temporary.name);
            result.failure = WriteFailure(fileName, *failure);
            return result;
        }
        result.notice = "\"" + fileName + "\" was not loaded in full, so the earlier file was kept as " +
                        fileName + ".bak";
    }
    if (auto failure = safefile::ReplaceWith(temporary.name, fileName)) {
        safefile::RemoveFile(temporary.name);
        result.failure = WriteFailure(fileName, *failure);
        result.notice.reset();
        return result;
    }
    safefile::FlushDirectoryOf(fileName);
    RemoveStaleTemporaries(fileName);
    return result;
}

std::optional<std::string> WriteTextLines(const std::string& fileName,
                                          const std::vector<std::string>& lines) {
    return SaveTextLines(fileName, lines, false).failure;
}

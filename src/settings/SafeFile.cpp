#include "settings/SafeFile.h"

#include "settings/SafeFilePlatform.h"

#include <atomic>
#include <charconv>
#include <cstdio>
#include <filesystem>
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
// "<name>.tmp<process id>-<counter>".
std::string TemporaryName(const std::string& fileName) {
    static std::atomic<unsigned> counter{0};
    return fileName + ".tmp" + std::to_string(safefile::ProcessId()) + "-" + std::to_string(counter++);
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
    const auto slash = fileName.find_last_of(safefile::PathSeparators);
    const std::string dir = slash == std::string::npos ? std::string(".") : fileName.substr(0, slash + 1);
    const std::string prefix = (slash == std::string::npos ? fileName : fileName.substr(slash + 1)) + ".tmp";
    for (const auto& name : safefile::FileNamesIn(dir)) {
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const auto owner = TemporaryOwner(std::string_view(name).substr(prefix.size()));
        if (owner && !safefile::ProcessIsRunning(*owner))
            safefile::RemoveFile(slash == std::string::npos ? name : dir + name);
    }
}

// Writes the bytes to a new temporary file beside target, flushed to disk and closed, with the
// mode and owner of attributesOf. On failure the temporary file is gone and failure is set.
struct Temporary {
    std::string name;
    safefile::Failure failure;
};
Temporary WriteTemporary(const std::string& target, const std::string& bytes,
                         const std::string& attributesOf) {
    Temporary t;
    safefile::NewFile file;
    std::string reason = "unknown error";
    auto outcome = safefile::NewFile::Outcome::NameTaken;
    for (int attempt = 0; attempt < 100 && outcome == safefile::NewFile::Outcome::NameTaken; ++attempt) {
        t.name = TemporaryName(target);
        outcome = file.Create(t.name, reason);
    }
    if (outcome != safefile::NewFile::Outcome::Created) {
        t.failure = reason;
        return t;
    }
    auto failure = file.WriteAll(bytes.data(), bytes.size());
    if (!failure) failure = file.KeepAttributesOf(attributesOf);
    if (!failure) failure = file.FlushToDisk();
    if (auto closing = file.Close(); !failure) failure = closing;
    if (failure) {
        safefile::RemoveFile(t.name);
        t.failure = failure;
    }
    return t;
}

std::optional<std::string> ReadWholeFile(const std::string& fileName) {
    std::FILE* file = safefile::OpenForReading(fileName);
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
// reading it (an unreadable file included); where there are none, its bytes are copied.
// Gives the reason when it could not be kept.
std::optional<std::string> KeepBackup(const std::string& fileName) {
    const std::string backup = fileName + ".bak";
    const auto cannot = [&backup](const std::string& reason) {
        return "the earlier file could not be kept as " + backup + " (" + reason + ")";
    };
    std::string kept = TemporaryName(backup);
    if (safefile::LinkFile(fileName, kept)) {
        const auto bytes = ReadWholeFile(fileName);
        if (!bytes) return cannot("it could not be read");
        const Temporary copy = WriteTemporary(backup, *bytes, fileName);
        if (copy.failure) return cannot(*copy.failure);
        kept = copy.name;
    }
    if (auto failure = safefile::ReplaceWith(kept, backup)) {
        safefile::RemoveFile(kept);
        return cannot(*failure);
    }
    RemoveStaleTemporaries(backup);
    return std::nullopt;
}

} // namespace

std::optional<TextFileLines> ReadTextFile(const std::string& fileName, std::size_t maxLineLength) {
    std::FILE* file = safefile::OpenForReading(fileName);
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
    const Temporary temporary = WriteTemporary(fileName, text, fileName);
    if (temporary.failure) {
        result.failure = WriteFailure(fileName, *temporary.failure);
        return result;
    }
    if (keepBackup && safefile::FileExists(fileName) && !IsEmptyRegularFile(fileName)) {
        if (auto failure = KeepBackup(fileName)) {
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

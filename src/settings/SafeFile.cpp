#include "settings/SafeFile.h"

#include "settings/SafeFilePlatform.h"

#include <atomic>

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

std::string WriteFailure(const std::string& fileName, const std::string& reason) {
    return "Could not save \"" + fileName + "\": " + reason + ". Any earlier copy of the file is unchanged.";
}

// A name beside the target that no other writer in this or another process picks.
std::string TemporaryName(const std::string& fileName) {
    static std::atomic<unsigned> counter{0};
    return fileName + ".tmp" + std::to_string(safefile::ProcessId()) + "-" + std::to_string(counter++);
}

} // namespace

std::optional<std::vector<std::string>> ReadTextLines(const std::string& fileName,
                                                      std::size_t maxLineLength) {
    std::FILE* file = safefile::OpenForReading(fileName);
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
    safefile::NewFile file;
    std::string reason = "unknown error";
    auto outcome = safefile::NewFile::Outcome::NameTaken;
    for (int attempt = 0; attempt < 100 && outcome == safefile::NewFile::Outcome::NameTaken; ++attempt) {
        temporary = TemporaryName(fileName);
        outcome = file.Create(temporary, reason);
    }
    if (outcome != safefile::NewFile::Outcome::Created) return WriteFailure(fileName, reason);

    auto failure = file.WriteAll(text.data(), text.size());
    if (!failure) failure = file.FlushToDisk();
    if (auto closing = file.Close(); !failure) failure = closing;
    if (!failure) failure = safefile::ReplaceWith(temporary, fileName);
    if (failure) {
        safefile::RemoveFile(temporary);
        return WriteFailure(fileName, *failure);
    }
    safefile::FlushDirectoryOf(fileName);
    return std::nullopt;
}

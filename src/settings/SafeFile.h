// Text files as whole lists of lines: tolerant reading and atomic replacing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Lines longer than this are never handed to a parser.
inline constexpr std::size_t MaxTextLineLength = 4096;

struct TextFileLines {
    std::vector<std::string> lines;
    std::size_t unreadableLines = 0; // lines given back empty because they could not be read
};

// Reads a text file as lines. CR LF, CR alone and LF alone each end a line; a final line break does
// not make an empty last line. A file that starts with a UTF-8 or UTF-16 byte-order mark is read as
// the text it holds (UTF-16 characters beyond 8 bits become "?"). A line longer than maxLineLength,
// or one holding a NUL byte, comes back empty and is counted as unreadable, so that it parses as
// nothing while later lines keep their line numbers.
// Nothing when the file cannot be opened or read (a missing file, a directory).
std::optional<TextFileLines> ReadTextFile(const std::string& fileName,
                                          std::size_t maxLineLength = MaxTextLineLength);
std::optional<std::vector<std::string>> ReadTextLines(const std::string& fileName,
                                                      std::size_t maxLineLength = MaxTextLineLength);

struct SaveResult {
    std::optional<std::string> failure; // a message naming the file; the old file is unchanged
    std::optional<std::string> notice;  // the earlier file was kept as <name>.bak
};

// Replaces the file with the lines, each followed by CR LF. The text goes to a temporary file beside
// it (with the mode and, where allowed, the owner of the file it replaces), is flushed to disk and
// then renamed over the old file, so that a failure at any point leaves the old file as it was.
// With keepBackup an existing file is first kept as <name>.bak (one generation); when it cannot be
// kept, nothing is replaced. After a save, temporary files of this same file left by saves that
// were interrupted are removed.
SaveResult SaveTextLines(const std::string& fileName, const std::vector<std::string>& lines, bool keepBackup);
// The same for lines already joined, each followed by CR LF.
SaveResult SaveText(const std::string& fileName, const std::string& text, bool keepBackup);

// The same without a backup; gives the failure message, nothing on success.
std::optional<std::string> WriteTextLines(const std::string& fileName, const std::vector<std::string>& lines);

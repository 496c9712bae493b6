// Text files as whole lists of lines: tolerant reading and atomic replacing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Lines longer than this are never handed to a parser.
inline constexpr std::size_t MaxTextLineLength = 4096;
// Files larger than this are not read: far more than any real stack or settings, and a bound on
// what a huge or endless file put in a data file's place can cost.
inline constexpr std::uint64_t MaxTextFileSize = std::uint64_t{256} << 20;

struct TextFileLines {
    std::vector<std::string> lines;
    std::size_t unreadableLines = 0; // lines given back empty because they could not be read
};

// Reads a text file as lines. CR LF, CR alone and LF alone each end a line; a final line break does
// not make an empty last line. A file that starts with a UTF-8 or UTF-16 byte-order mark is read as
// the text it holds (UTF-16 characters beyond 8 bits become "?"). A line longer than maxLineLength,
// or one holding a NUL byte, comes back empty and is counted as unreadable, so that it parses as
// nothing while later lines keep their line numbers.
// Only a regular file of at most maxFileSize bytes is read; a FIFO or a device in its place is
// refused without waiting on it.
// Nothing when the file cannot be opened or read. Then `problem`, when given, says why in words
// naming the file ('"SaveStck.dat" is a directory'), and is left empty for a missing file.
std::optional<TextFileLines> ReadTextFile(const std::string& fileName,
                                          std::size_t maxLineLength = MaxTextLineLength,
                                          std::string* problem = nullptr,
                                          std::uint64_t maxFileSize = MaxTextFileSize);
// The bytes of a file, under the same rules as ReadTextFile.
std::optional<std::string> ReadFileBytes(const std::string& fileName, std::string* problem = nullptr,
                                         std::uint64_t maxFileSize = MaxTextFileSize);
std::optional<std::vector<std::string>> ReadTextLines(const std::string& fileName,
                                                      std::size_t maxLineLength = MaxTextLineLength);

struct SaveResult {
    std::optional<std::string> failure; // a message naming the file; the old file is unchanged
    std::optional<std::string> notice;  // the earlier file was kept as <name>.bak
};

// Replaces the file with the lines, each followed by CR LF. The text goes to a temporary file beside
// it (private from its creation, then given the mode and, where allowed, the owner of the regular
// file it replaces, but never set-id bits), is flushed to disk and then renamed over the old file,
// so that a failure at any point leaves the old file as it was. A symbolic link in the file's
// place is replaced, never written through; a directory, FIFO or device there is left alone and
// the save fails.
// With keepBackup an existing file is first kept as <name>.bak (one generation); when it cannot be
// kept, nothing is replaced. After a save, temporary files of this same file and of its backup left
// by saves that were interrupted are removed.
SaveResult SaveTextLines(const std::string& fileName, const std::vector<std::string>& lines, bool keepBackup);
// The same for lines already joined, each followed by CR LF.
SaveResult SaveText(const std::string& fileName, const std::string& text, bool keepBackup);

// The same without a backup; gives the failure message, nothing on success.
std::optional<std::string> WriteTextLines(const std::string& fileName, const std::vector<std::string>& lines);

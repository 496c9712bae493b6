// Text files as whole lists of lines: tolerant reading and atomic replacing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Lines longer than this are never handed to a parser.
inline constexpr std::size_t MaxTextLineLength = 4096;

// Reads a text file as lines. CR LF, CR alone and LF alone each end a line; a final line break does
// not make an empty last line. A line longer than maxLineLength, or one holding a NUL byte, comes
// back empty, so that it parses as nothing while later lines keep their line numbers.
// Nothing when the file cannot be opened or read (a missing file, a directory).
std::optional<std::vector<std::string>> ReadTextLines(const std::string& fileName,
                                                      std::size_t maxLineLength = MaxTextLineLength);

// Replaces the file with the lines, each followed by CR LF. The text goes to a temporary file beside
// it, is flushed to disk and then renamed over the old file, so that a failure at any point leaves
// the old file as it was. On failure gives a message naming the file; nothing on success.
std::optional<std::string> WriteTextLines(const std::string& fileName, const std::vector<std::string>& lines);

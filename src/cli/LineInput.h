// The lines of an input descriptor, read in large blocks (a terminal gives each typed line as it
// comes). Memory stays bounded whatever the input: a line longer than the cap is never held whole.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "storage/SafeFile.h"

class LineInput {
public:
    explicit LineInput(int fd, std::size_t maxLength = MaxTextLineLength)
        : fd_(fd), maxLength_(maxLength), buffer_(std::max<std::size_t>(1 << 14, maxLength + 1)) {}
    // The next line without its end ("\n"); false at the end of the input. A last line without an
    // end is still a line. A line longer than the cap gives its first maxLength characters and
    // LastTooLong(); the rest of it is read and dropped.
    bool Next(std::string& line);
    bool LastTooLong() const { return tooLong_; }

private:
    bool Fill(); // more input after what is buffered; false at the end or on a read error
    bool SkipRestOfLine(std::string& line);
#ifdef _WIN32
    bool ReadConsoleText(); // the next piece of what is typed at a console, into consoleText_
#endif

    int fd_;
    std::size_t maxLength_;
    std::vector<char> buffer_; // never grows: a line that does not fit is cut
    std::size_t begin_ = 0;    // unread input is buffer_[begin_, end_)
    std::size_t end_ = 0;
    bool ended_ = false;
    bool tooLong_ = false;
#ifdef _WIN32
    int console_ = -1;          // whether fd_ is a console, once known
    std::string consoleText_;   // typed text in UTF-8, not yet in buffer_
    wchar_t highSurrogate_ = 0; // the first half of a character whose second is still to come
    bool consoleEnded_ = false; // Ctrl+Z was typed
#endif
};

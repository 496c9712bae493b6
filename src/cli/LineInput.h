// The lines of an input descriptor, read in large blocks (a terminal gives each typed line as it
// comes).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class LineInput {
public:
    explicit LineInput(int fd) : fd_(fd), buffer_(1 << 14) {}
    // The next line without its end ("\n"); false at the end of the input. A last line without an
    // end is still a line.
    bool Next(std::string& line);

private:
    bool Fill(); // more input after what is buffered; false at the end or on a read error

    int fd_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0; // unread input is buffer_[begin_, end_)
    std::size_t end_ = 0;
    bool ended_ = false;
};

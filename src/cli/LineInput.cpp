#include "cli/LineInput.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

bool LineInput::Fill() {
    if (ended_) return false;
    // Keep the unread part at the front.
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) return true; // full: the caller cuts the line
    for (;;) {
        const ssize_t n = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (n > 0) {
            end_ += static_cast<std::size_t>(n);
            return true;
        }
        if (n < 0 && errno == EINTR) continue;
        ended_ = true;
        return false;
    }
}

bool LineInput::Next(std::string& line) {
    tooLong_ = false;
    std::size_t scanned = begin_;
    for (;;) {
        const void* found = std::memchr(buffer_.data() + scanned, '\n', end_ - scanned);
        if (found) {
            const auto stop = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
            tooLong_ = stop - begin_ > maxLength_;
            line.assign(buffer_.data() + begin_, std::min(stop - begin_, maxLength_));
            begin_ = stop + 1;
            return true;
        }
        if (end_ - begin_ > maxLength_) return SkipRestOfLine(line);
        const std::size_t unread = end_ - begin_;
        if (!Fill()) break;
        scanned = begin_ + unread;
    }
    if (begin_ == end_) return false;
    tooLong_ = end_ - begin_ > maxLength_;
    line.assign(buffer_.data() + begin_, std::min(end_ - begin_, maxLength_));
    begin_ = end_;
    return true;
}

// Keeps the start of a line that is over the cap and reads past the rest of it, one buffer at a
// time.
bool LineInput::SkipRestOfLine(std::string& line) {
    tooLong_ = true;
    line.assign(buffer_.data() + begin_, maxLength_);
    begin_ = end_;
    while (Fill()) {
        const void* found = std::memchr(buffer_.data() + begin_, '\n', end_ - begin_);
        if (found) {
            begin_ = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data()) + 1;
            return true;
        }
        begin_ = end_;
    }
    return true;
}

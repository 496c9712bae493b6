#include "cli/LineInput.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

bool LineInput::Fill() {
    if (ended_) return false;
    // Keep the unread part at the front, and make room when a line is longer than the buffer.
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
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
    std::size_t scanned = begin_;
    for (;;) {
        const void* found = std::memchr(buffer_.data() + scanned, '\n', end_ - scanned);
        if (found) {
            const auto stop = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
            line.assign(buffer_.data() + begin_, stop - begin_);
            begin_ = stop + 1;
            return true;
        }
        const std::size_t unread = end_ - begin_;
        if (!Fill()) break;
        scanned = begin_ + unread;
    }
    if (begin_ == end_) return false;
    line.assign(buffer_.data() + begin_, end_ - begin_);
    begin_ = end_;
    return true;
}

#include "cli/Output.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

Output& Output::operator<<(std::string_view text) {
    if (failure_ != 0) return *this; // the reader is gone: nothing more is kept for it
    if (buffer_.empty()) buffer_.resize(1 << 14);
    while (!text.empty()) {
        if (used_ == buffer_.size()) Flush();
        const std::size_t n = std::min(text.size(), buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, text.data(), n);
        used_ += n;
        text.remove_prefix(n);
    }
    return *this;
}

Output& Output::operator<<(int number) {
    char digits[16];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, number);
    (void)ec; // 16 characters hold any int
    return *this << std::string_view(digits, static_cast<std::size_t>(end - digits));
}

bool Output::Flush() {
    if (first_ && used_ > 0) first_->Flush();
    std::size_t done = 0;
    while (done < used_ && failure_ == 0) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, used_ - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            failure_ = n < 0 ? errno : EIO;
        }
    }
    const bool all = done == used_;
    used_ = 0;
    return all;
}

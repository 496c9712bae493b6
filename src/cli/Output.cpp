#include "cli/Output.h"

#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "storage/WinText.h"
#endif

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace {

bool IsContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Where a block that can take n bytes of text ends without cutting a UTF-8 character in two (a
// console takes each block's text whole): n itself, or the start of the character n falls in.
// Text that is not UTF-8 is cut at n.
std::size_t CharacterEdge(std::string_view text, std::size_t n) {
    std::size_t edge = n;
    while (edge > 0 && n - edge < 3 && IsContinuation(text[edge])) --edge;
    return IsContinuation(text[edge]) ? n : edge;
}

#ifdef _WIN32
// A console shows bytes in its own code page, seldom UTF-8: the text goes to it in UTF-16.
bool WriteConsoleText(HANDLE console, std::string_view text) {
    const std::wstring wide = wintext::Wide(std::string(text));
    std::size_t done = 0;
    while (done < wide.size()) {
        DWORD written = 0;
        const auto part = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 1 << 14));
        if (!::WriteConsoleW(console, wide.data() + done, part, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}
#endif

} // namespace

Output& Output::operator<<(std::string_view text) {
    if (failure_ != 0) return *this; // the reader is gone: nothing more is kept for it
    if (buffer_.empty()) buffer_.resize(1 << 14);
    while (!text.empty()) {
        if (used_ == buffer_.size()) Flush();
        std::size_t n = std::min(text.size(), buffer_.size() - used_);
        if (n < text.size()) n = CharacterEdge(text, n);
        if (n == 0) { // the character goes whole into the next block
            Flush();
            continue;
        }
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
#ifdef _WIN32
    if (console_ < 0) {
        DWORD mode = 0;
        console_ = ::GetConsoleMode(reinterpret_cast<HANDLE>(::_get_osfhandle(fd_)), &mode) ? 1 : 0;
    }
    if (console_ == 1 && used_ > 0 && failure_ == 0) {
        if (!WriteConsoleText(reinterpret_cast<HANDLE>(::_get_osfhandle(fd_)),
                              std::string_view(buffer_.data(), used_)))
            failure_ = EIO;
        const bool all = failure_ == 0;
        used_ = 0;
        return all;
    }
#endif
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

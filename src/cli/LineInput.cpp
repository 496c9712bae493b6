#include "cli/LineInput.h"

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
#include <cstring>

#ifdef _WIN32
// A console gives typed text in its input code page, seldom UTF-8: it is read in UTF-16 and handed
// on in UTF-8, as text mode would: without the "\r" of the line ends, and ending at a Ctrl+Z.
bool LineInput::ReadConsoleText() {
    const HANDLE console = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
    while (consoleText_.empty() && !consoleEnded_) {
        wchar_t typed[4096];
        DWORD count = 0;
        if (!::ReadConsoleW(console, typed, 4096, &count, nullptr) || count == 0) return false;
        std::wstring text;
        if (highSurrogate_ != 0) text += highSurrogate_;
        highSurrogate_ = 0;
        for (DWORD i = 0; i < count && !consoleEnded_; ++i) {
            if (typed[i] == L'\x1A')
                consoleEnded_ = true;
            else if (typed[i] != L'\r')
                text += typed[i];
        }
        if (!consoleEnded_ && !text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) {
            highSurrogate_ = text.back();
            text.pop_back();
        }
        consoleText_ = wintext::Utf8(text);
    }
    return !consoleText_.empty();
}
#endif

bool LineInput::Fill() {
    if (ended_) return false;
    // Keep the unread part at the front.
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) return true; // full: the caller cuts the line
#ifdef _WIN32
    if (console_ < 0) {
        DWORD mode = 0;
        console_ = ::GetConsoleMode(reinterpret_cast<HANDLE>(::_get_osfhandle(fd_)), &mode) ? 1 : 0;
    }
    if (console_ == 1) {
        if (!ReadConsoleText()) {
            ended_ = true;
            return false;
        }
        const std::size_t n = std::min(consoleText_.size(), buffer_.size() - end_);
        std::memcpy(buffer_.data() + end_, consoleText_.data(), n);
        consoleText_.erase(0, n);
        end_ += n;
        return true;
    }
#endif
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

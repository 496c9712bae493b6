// Text written to a file descriptor through one buffer. korbcalc-cli writes its answers and
// messages through these rather than the standard streams: those set up the C++ locale and all
// eight standard stream objects at every start, which costs a short script more than its work.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

class Output {
public:
    explicit Output(int fd) : fd_(fd) {}
    ~Output() { Flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // What is written here goes out after all written to first so far (messages after the answers
    // before them, also when both go to one file).
    void Follow(Output& first) { first_ = &first; }

    Output& operator<<(std::string_view text);
    Output& operator<<(char ch) { return *this << std::string_view(&ch, 1); }
    Output& operator<<(int number);
    // Writes what is buffered; false when the descriptor took not all of it (a closed pipe, a
    // full disk): the rest is dropped, as the reader is gone or cannot take it.
    bool Flush();
    // The error of the first write that failed (EPIPE for a reader that is gone), or 0. Once a
    // write has failed nothing more is written here.
    int Failure() const { return failure_; }

private:
    int fd_;
    Output* first_ = nullptr;
    std::vector<char> buffer_; // made at the first write
    std::size_t used_ = 0;
    int failure_ = 0;
#ifdef _WIN32
    int console_ = -1; // whether fd_ is a console, once known
#endif
};

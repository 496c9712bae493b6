// A generated corpus of calculator operations: a fixed-seed run of random entries, arithmetic,
// powers, roots, conversions and setting changes driven through the engine, written one line
// per operation with the display text and full text each one leaves (or the messages it shows).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corpus {

// One operation's line, and the sequence it belongs to (the engine starts afresh for each).
struct Line {
    int sequence = 0;
    std::string text;
};

// Runs the whole corpus and hands every line to sink, in order.
void Run(int operations, std::uint64_t seed, const std::function<void(const Line&)>& sink);

// True when the text carries a unit exponent that is not a whole number ("m^0.33", "sec^1.5").
bool HasFractionalExponent(const std::string& text);

} // namespace corpus

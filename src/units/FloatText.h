// Floating point to text in the calculator's notations, with a fixed "." and "," layout
// so that every text the program writes reads back through the quantity parser.
#pragma once

#include "units/Notation.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// A number text written in place, with room for the fixed form of the largest double with the most
// decimals and its separators; one string is made from it at the end, units and all.
class NumberBuffer {
public:
    static constexpr std::size_t Capacity = 512;

    void Put(char c) { chars_[size_++] = c; }
    // Short pieces are copied a character at a time: a library call costs more than the copy.
    void Put(const char* s, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) chars_[size_ + i] = s[i];
        size_ += n;
    }
    void Put(std::string_view s) { Put(s.data(), s.size()); }
    // Copies up to 32 characters as one block of 32: s must have 32 characters to read, and the
    // text room for 32 more.
    void PutBlock(const char* s, std::size_t n) {
        std::memcpy(chars_.data() + size_, s, 32);
        size_ += n;
    }
    void Repeat(char c, int n) {
        for (; n > 0; --n) Put(c);
    }
    std::size_t Size() const { return size_; }
    void Truncate(std::size_t size) { size_ = size; }
    void Clear() {
        size_ = 0;
        showsNonZeroDigit = false;
    }
    char* Data() { return chars_.data(); }
    std::string_view View() const { return {chars_.data(), size_}; }
    // The text, and after it one blank and the units when there are any (written into the text
    // when they fit).
    std::string Joined(const std::string_view* units);

    // Set by the writer for a plain decimal with a digit other than zero, which cannot read as zero.
    bool showsNonZeroDigit = false;

private:
    std::array<char, Capacity> chars_;
    std::size_t size_ = 0;
};

// precision: significant digits; digits: decimals (Fixed, Number, Currency) or minimum exponent digits.
std::string FloatToText(double value, Notation notation, int precision, int digits);
// The same number text, one blank and a unit text, made as one string.
std::string QuantityText(double value, Notation notation, int precision, int digits, std::string_view units);
// The number text written into an empty NumberBuffer.
void WriteFloatText(NumberBuffer& out, double value, Notation notation, int precision, int digits);

// A Currency text starts with "$" or "-$" directly before its digits ("$1,234.50 ft"). Gives the text
// with that symbol removed so the number reads back; any other text (a "$US" unit) comes back unchanged.
std::string StripCurrencyPrefix(std::string_view text);

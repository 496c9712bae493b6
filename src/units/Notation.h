// How a number is written: the notations of the display, the stack files and the preferences.
#pragma once

#include <cstdint>

// Engineering writes an exponent that is a multiple of three, with one to three integer digits.
enum class Notation : std::uint8_t {
    General = 0,
    Scientific = 1,
    Fixed = 2,
    Number = 3,
    Currency = 4,
    Engineering = 5
};

constexpr int NotationCount = 6;

// The notation a stored number (0..5, as the preferences file keeps it) stands for; any other number
// is General.
constexpr Notation NotationFromInt(int value) {
    return value > 0 && value < NotationCount ? static_cast<Notation>(value) : Notation::General;
}

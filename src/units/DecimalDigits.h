// The significant decimal digits of a double, as every number text the engine writes starts from
// them. Not for use outside units/.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace unitdetail {

constexpr int DecimalDigitCount = 18;

// The first N powers of a base as whole numbers, 1 first.
template <std::size_t N> constexpr std::array<std::uint64_t, N> WholePowers(std::uint64_t base) {
    std::array<std::uint64_t, N> powers{};
    std::uint64_t p = 1;
    for (std::uint64_t& x : powers) {
        x = p;
        p *= base;
    }
    return powers;
}

// The powers of ten a 64-bit whole number holds.
inline constexpr auto WholePowersOfTen = WholePowers<20>(10);

// The powers of ten a double holds exactly.
inline constexpr double PowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Significant digits of a magnitude and the decimal exponent of the first one: 12.5 is "125" then
// zeros, exponent 1. Zero is all zeros with exponent 0.
struct DecimalDigits {
    std::array<char, DecimalDigitCount> digit{};
    int count = 0;
    int exponent = 0;
    std::string_view View() const { return {digit.data(), static_cast<std::size_t>(count)}; }
};

// The same 18 digits as one whole number, worth whole * 10^(exponent - 17): whole is from 10^17 up
// to below 10^18, or zero for zero (exponent 0).
struct DecimalWhole {
    std::uint64_t whole = 0;
    int exponent = 0;
};

// The correctly rounded 18 significant digits of a finite magnitude (all 18 written, zeros included).
DecimalDigits Digits18(double magnitude);
// The same through the library conversion alone. Digits18 reads a short exact decimal (12.5, 6,
// 0.125) off one exact multiplication, and works out other magnitudes from 10^-5 to 10^16 in exact
// 128-bit integers where the compiler has them: several times faster, and both must agree.
DecimalDigits Digits18ByConversion(double magnitude);
DecimalWhole Whole18(double magnitude);
// The digits of a whole, as Digits18 gives them.
DecimalDigits DigitsOf(DecimalWhole w);

// Writes a whole number below 10^18 as 18 digits, zeros in front.
void Put18Digits(std::uint64_t whole, char* out);
// The number of decimal digits of a whole number (1 for zero).
int DigitCount(std::uint64_t whole);

// The first `keep` digits of an 18-digit whole (keep below 18) as a whole number, rounded half away
// from zero as RoundDigits rounds; a carry gives 10^keep. keep < 0 gives zero.
inline std::uint64_t RoundWhole(std::uint64_t whole18, int keep) {
    if (keep < 0) return 0;
    const std::uint64_t unit = WholePowersOfTen[DecimalDigitCount - keep];
    const std::uint64_t kept = whole18 / unit;
    // Up when the dropped digits are a half or more: when the first of them is 5 or more.
    return whole18 - kept * unit >= unit / 2 ? kept + 1 : kept;
}

// A positive finite magnitude as odd * 2^power with odd an odd number; zero is {0, 0}.
struct BinaryParts {
    std::uint64_t odd;
    int power;
};
BinaryParts BinaryPartsOf(double magnitude);

// True when a finite magnitude is exactly whole / 10^fractionDigits with whole below 10^18 (12.5,
// 6, 0.125): a short decimal, as most typed and summed values are. Zero is not one.
bool ShortExactDecimal(double magnitude, std::uint64_t& whole, int& fractionDigits);

// Keeps the first `keep` digits, rounding half away from zero as a calculator user expects (12.5
// shows as 13 with no decimals, 0.125 as 0.13 with two); rounding the binary value alone would send
// exact halves to the even neighbour. keep <= 0 rounds to the next power of ten or to nothing.
DecimalDigits RoundDigits(DecimalDigits d, int keep);

} // namespace unitdetail

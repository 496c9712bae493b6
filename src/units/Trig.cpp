// Sine and cosine that give the correctly rounded result on every platform.
//
// MinGW-w64's sin and cos hand the argument straight to the x87 instructions, which reduce it with
// a 66-bit value of pi: near a multiple of pi and for large arguments the result is wrong from the
// sixth digit on (sin of 3.14159265358979 gives 3.2310851E-15 instead of 3.2310891E-15). There the
// argument is reduced exactly here, with the bits of 2/pi, and only the reduced argument, within
// pi/4 of zero where the x87 is accurate to far more than double precision, goes to the hardware.
#include "units/Trig.h"

#include <cmath>

#if defined(__MINGW32__)
#include <cstdint>

namespace {

// The first 1280 bits of 2/pi after the binary point, most significant first.
constexpr std::uint64_t TwoOverPiBits[] = {
    0xA2F9836E4E441529, 0xFC2757D1F534DDC0, 0xDB6295993C439041, 0xFE5163ABDEBBC561, 0xB7246E3A424DD2E0,
    0x06492EEA09D1921C, 0xFE1DEB1CB129A73E, 0xE88235F52EBB4484, 0xE99C7026B45F7E41, 0x3991D639835339F4,
    0x9C845F8BBDF9283B, 0x1FF897FFDE05980F, 0xEF2F118B5A0A6D1F, 0x6D367ECF27CB09B7, 0x4F463F669E5FEA2D,
    0x7527BAC7EBE5F17B, 0x3D0739F78A5292EA, 0x6BFB5FB11F8D5D08, 0x56033046FC7B6BAB, 0xF0CFBC209AF4361D,
};

constexpr long double HalfPiL = 1.57079632679489661923132169163975144L;

__extension__ typedef unsigned __int128 U128; // a GCC extension, as -Wpedantic notes

// A 256-bit number as four words, the most significant first.
struct Wide {
    std::uint64_t w[4];

    // The 64 bits from bit `low` (0 = least significant) upwards.
    std::uint64_t Slice(int low) const {
        const int word = 3 - low / 64, shift = low % 64;
        std::uint64_t bits = w[word] >> shift;
        if (shift && word > 0) bits |= w[word - 1] << (64 - shift);
        return bits;
    }
};

// 192 bits of 2/pi, from bit `skip` + 1 after the binary point on.
void TwoOverPiWindow(int skip, std::uint64_t out[3]) {
    const int word = skip / 64, shift = skip % 64;
    for (int i = 0; i < 3; ++i) {
        out[i] = TwoOverPiBits[word + i] << shift;
        if (shift) out[i] |= TwoOverPiBits[word + i + 1] >> (64 - shift);
    }
}

// |x| = (4k + quadrant) * pi/2 + r with |r| <= pi/4; x finite, |x| >= pi/4.
long double Reduce(double x, int& quadrant) {
    int exponent = 0;
    const double mantissa = std::frexp(std::fabs(x), &exponent); // |x| = mantissa * 2^exponent
    const auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    const int e = exponent - 53; // |x| = m * 2^e
    // Bits of 2/pi before bit e - 2 add whole multiples of 4 quarter turns: skip them.
    const int skip = e - 2 > 0 ? e - 2 : 0;
    std::uint64_t window[3];
    TwoOverPiWindow(skip, window);
    Wide product{};
    U128 carry = 0;
    for (int i = 2; i >= 0; --i) {
        const U128 t = static_cast<U128>(m) * window[i] + carry;
        product.w[i + 1] = static_cast<std::uint64_t>(t);
        carry = t >> 64;
    }
    product.w[0] = static_cast<std::uint64_t>(carry);
    // |x| * 2/pi (modulo 4) = product * 2^-point.
    const int point = 192 + skip - e;
    quadrant = static_cast<int>(product.Slice(point) & 3);
    std::uint64_t high = product.Slice(point - 64), low = product.Slice(point - 128);
    long double sign = 1;
    if (high >> 63) { // past half a quarter turn: measure from the next one
        ++quadrant;
        sign = -1;
        high = ~high;
        low = ~low + 1;
        if (low == 0) ++high;
    }
    const long double fraction =
        std::ldexp(static_cast<long double>(high), -64) + std::ldexp(static_cast<long double>(low), -128);
    return sign * fraction * HalfPiL;
}

// Sine (cosine when `cosine`) rounded once, from the extended-precision value.
double SineOrCosine(double x, bool cosine) {
    if (!std::isfinite(x)) return cosine ? std::cos(x) : std::sin(x);
    if (std::fabs(x) <= 0.78539816339744828) {
        const long double v = x;
        return static_cast<double>(cosine ? std::cos(v) : std::sin(v));
    }
    int quadrant = 0;
    const long double r = Reduce(x, quadrant);
    quadrant = (quadrant + (cosine ? 1 : 0)) & 3;
    long double v = quadrant & 1 ? std::cos(r) : std::sin(r);
    if (quadrant & 2) v = -v;
    if (!cosine && x < 0) v = -v; // sine is odd, cosine even
    return static_cast<double>(v);
}

} // namespace

double Sine(double x) {
    return SineOrCosine(x, false);
}

double Cosine(double x) {
    return SineOrCosine(x, true);
}

#else

double Sine(double x) {
    return std::sin(x);
}

double Cosine(double x) {
    return std::cos(x);
}

#endif

// Typographic forms of quantity texts (micro signs, superscript powers, multiplication dots, degree
// signs, the ohm sign) read as their ASCII spelling, and characters named for messages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utf8text {

// True when the text holds a byte outside ASCII.
bool HasNonAscii(std::string_view text);

// The text with its typographic forms spelled in ASCII: "µ" and "μ" as "u", a run of superscripts
// as "^" and its digits ("m²" is "m^2", "s⁻¹" is "s^-1"), "·", "⋅" and "×" as "*" ("×10⁻³" after a
// number as "E-3"), "°C" and "°F" (and "℃", "℉") as "C" and "F", any other "°" as "deg", "Ω" as
// "Ohm", the minus sign as "-", and no-break and thin spaces as a blank. Every other character is
// kept as it is, so that a reader can still refuse it by name.
std::string AsciiSpelling(std::string_view text);

// The character that starts at text[at], as written: its whole UTF-8 sequence, or the single byte
// when that is not the start of a valid sequence.
std::string_view CharacterAt(std::string_view text, std::size_t at);

// A character quoted for a message: "§" (U+00A7), "?" , or byte 0xA7 when it is not valid UTF-8.
std::string QuoteCharacter(std::string_view character);

} // namespace utf8text

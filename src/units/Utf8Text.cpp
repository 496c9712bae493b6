#include "units/Utf8Text.h"

#include <cstdint>
#include <cstdio>

namespace {

struct Decoded {
    char32_t code = 0;
    std::size_t length = 1;
    bool valid = false;
};

// One UTF-8 sequence at text[at]; overlong forms, surrogates and values beyond U+10FFFF are not valid.
Decoded Decode(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {lead, 1, true};
    std::size_t length = 0;
    char32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
    } else {
        return {};
    }
    if (at + length > text.size()) return {};
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80) return {};
        code = (code << 6) | (byte(at + k) & 0x3F);
    }
    constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < Smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
    return {code, length, true};
}

// The ASCII digit or sign a superscript character stands for, or 0.
char SuperscriptChar(char32_t code) {
    switch (code) {
    case U'\u2070':
        return '0';
    case U'\u00B9':
        return '1';
    case U'\u00B2':
        return '2';
    case U'\u00B3':
        return '3';
    case U'\u207A':
        return '+';
    case U'\u207B':
        return '-';
    default:
        return code >= U'\u2074' && code <= U'\u2079' ? static_cast<char>('4' + (code - U'\u2074')) : 0;
    }
}

// The run of superscripts at text[at] in ASCII; `at` moves past it.
std::string SuperscriptRun(std::string_view text, std::size_t& at) {
    std::string run;
    while (at < text.size()) {
        const Decoded d = Decode(text, at);
        const char c = d.valid ? SuperscriptChar(d.code) : 0;
        if (!c) break;
        run += c;
        at += d.length;
    }
    return run;
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

namespace utf8text {

bool HasNonAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

std::string AsciiSpelling(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    std::size_t at = 0;
    while (at < text.size()) {
        const Decoded d = Decode(text, at);
        if (!d.valid || d.code < 0x80) {
            out += text[at++];
            continue;
        }
        if (SuperscriptChar(d.code)) {
            out += '^';
            out += SuperscriptRun(text, at);
            continue;
        }
        const std::size_t next = at + d.length;
        switch (d.code) {
        case U'\u00B5': // micro sign
        case U'\u03BC': // Greek small mu
            out += 'u';
            break;
        case U'\u00D7': { // multiplication sign; "2.5×10⁻³" is a number in scientific notation
            const bool afterNumber = !out.empty() && (IsAsciiDigit(out.back()) || out.back() == '.');
            std::size_t power = next + 2;
            if (afterNumber && text.substr(next, 2) == "10" && power < text.size()) {
                const std::string exponent = SuperscriptRun(text, power);
                if (!exponent.empty()) {
                    out += 'E';
                    out += exponent;
                    at = power;
                    continue;
                }
            }
            out += '*';
            break;
        }
        case U'\u00B7': // middle dot
        case U'\u22C5': // dot operator
            out += '*';
            break;
        case U'\u00B0': { // degree sign: of a temperature scale before its letter, else of an angle
            const char c = next < text.size() ? text[next] : '\0';
            const bool scale =
                c == 'C' || c == 'F' || c == 'K' || c == 'R' || c == 'c' || c == 'f' || c == 'k' || c == 'r';
            if (!scale) out += "deg";
            break;
        }
        case U'\u2103':
            out += 'C';
            break;
        case U'\u2109':
            out += 'F';
            break;
        case U'\u03A9': // Greek capital omega
        case U'\u2126': // ohm sign
            out += "Ohm";
            break;
        case U'\u2212': // minus sign
            out += '-';
            break;
        case U'\u00A0': // no-break space
        case U'\u2009': // thin space
        case U'\u202F': // narrow no-break space
            out += ' ';
            break;
        default:
            out.append(text.substr(at, d.length));
            break;
        }
        at = next;
    }
    return out;
}

std::string_view CharacterAt(std::string_view text, std::size_t at) {
    if (at >= text.size()) return {};
    const Decoded d = Decode(text, at);
    return text.substr(at, d.valid ? d.length : 1);
}

std::string QuoteCharacter(std::string_view character) {
    if (character.empty()) return {};
    const Decoded d = Decode(character, 0);
    char code[32];
    if (!d.valid) {
        std::snprintf(code, sizeof code, "byte 0x%02X",
                      static_cast<unsigned>(static_cast<unsigned char>(character[0])));
        return code;
    }
    if (d.code < 0x20 || d.code == 0x7F) {
        std::snprintf(code, sizeof code, "control character U+%04X", static_cast<unsigned>(d.code));
        return code;
    }
    std::string quoted = "\"" + std::string(character.substr(0, d.length)) + "\"";
    if (d.code >= 0x80) {
        std::snprintf(code, sizeof code, " (U+%04X)", static_cast<unsigned>(d.code));
        quoted += code;
    }
    return quoted;
}

} // namespace utf8text

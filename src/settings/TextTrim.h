// Trimming the ends of a text. What counts as space depends on where the text comes from, and each
// reader keeps its own choice, because what it accepts or refuses rests on it.
#pragma once

#include <string_view>

enum class Spaces {
    // ' ' and '\t': the command words of korbcalc-cli that take the next argument ("sto" "3"), its
    // unit search, and the blank lines that the stack and register files may hold. A word with a
    // line break or other control character is another word.
    Blanks,
    // ' ', '\t', '\r' and '\n': the entries of korbcalc-cli. An entry of other control characters
    // is still an entry: "\x01" enters 0, and "\x01 ft" is refused, naming the character.
    LineBreaks,
    // Every byte up to ' ', control characters included: the lines of the preferences file, as a
    // text editor shows them, and the calculator's display text, which holds no value when nothing
    // else is left.
    Controls
};

constexpr bool IsSpace(char c, Spaces spaces) {
    switch (spaces) {
    case Spaces::Blanks:
        return c == ' ' || c == '\t';
    case Spaces::LineBreaks:
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    case Spaces::Controls:
        return static_cast<unsigned char>(c) <= ' ';
    }
    return false;
}

// The text without the spaces at its end.
constexpr std::string_view TrimEnd(std::string_view text, Spaces spaces) {
    while (!text.empty() && IsSpace(text.back(), spaces)) text.remove_suffix(1);
    return text;
}

// The text without the spaces at either end.
constexpr std::string_view Trim(std::string_view text, Spaces spaces) {
    while (!text.empty() && IsSpace(text.front(), spaces)) text.remove_prefix(1);
    return TrimEnd(text, spaces);
}

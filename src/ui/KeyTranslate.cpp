#include "ui/KeyTranslate.h"

#include <QKeyEvent>
#include <array>

namespace {

// Characters that a U.S. keyboard produces with Shift, and the unshifted key they come from.
struct ShiftedKey {
    int qtKey;
    int code;
};
constexpr std::array<ShiftedKey, 14> kShifted{{
    {Qt::Key_ParenRight, VK::Digit0 + 0},
    {Qt::Key_Exclam, VK::Digit0 + 1},
    {Qt::Key_At, VK::Digit0 + 2},
    {Qt::Key_NumberSign, VK::Digit0 + 3},
    {Qt::Key_Dollar, VK::Digit0 + 4},
    {Qt::Key_Percent, VK::Digit0 + 5},
    {Qt::Key_AsciiCircum, VK::Digit0 + 6},
    {Qt::Key_Ampersand, VK::Digit0 + 7},
    {Qt::Key_Asterisk, VK::Digit0 + 8},
    {Qt::Key_ParenLeft, VK::Digit0 + 9},
    {Qt::Key_Plus, VK::OemPlus},
    {Qt::Key_Underscore, VK::OemMinus},
    {Qt::Key_Greater, VK::OemPeriod},
    {Qt::Key_Question, VK::OemSlash},
}};

// Unshifted punctuation of the main keyboard.
constexpr std::array<ShiftedKey, 4> kPlain{{
    {Qt::Key_Equal, VK::OemPlus},
    {Qt::Key_Minus, VK::OemMinus},
    {Qt::Key_Period, VK::OemPeriod},
    {Qt::Key_Slash, VK::OemSlash},
}};

// The numeric keypad's operator keys.
constexpr std::array<ShiftedKey, 6> kKeypad{{
    {Qt::Key_Asterisk, VK::Multiply},
    {Qt::Key_Plus, VK::Add},
    {Qt::Key_Minus, VK::Subtract},
    {Qt::Key_Period, VK::Decimal},
    {Qt::Key_Comma, VK::Decimal},
    {Qt::Key_Slash, VK::Divide},
}};

template <size_t N> std::optional<int> Lookup(const std::array<ShiftedKey, N>& table, int qtKey) {
    for (const auto& k : table)
        if (k.qtKey == qtKey) return k.code;
    return std::nullopt;
}

} // namespace

std::optional<MapKey> TranslateKey(int qtKey, int qtModifiers) {
    MapKey out;
    out.shift = (qtModifiers & Qt::ShiftModifier) != 0;
    out.ctrl = (qtModifiers & Qt::ControlModifier) != 0;
    const bool keypad = (qtModifiers & Qt::KeypadModifier) != 0;
    // Keys that type held with Alt or Meta belong to the menus and the desktop: the map never
    // sees them.
    bool otherModifier = (qtModifiers & (Qt::AltModifier | Qt::MetaModifier)) != 0;
#ifdef Q_OS_WIN
    // Windows reports AltGr as Ctrl+Alt: a character made with it is the character alone.
    const bool altGr = (qtModifiers & Qt::ControlModifier) && (qtModifiers & Qt::AltModifier) &&
                       !(qtModifiers & Qt::MetaModifier);
    if (altGr && Lookup(kShifted, qtKey)) {
        otherModifier = false;
        out.ctrl = false;
    }
#endif

    switch (qtKey) {
    case Qt::Key_Backspace:
        out.code = VK::Back;
        return out;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        out.code = VK::Return;
        return out;
    case Qt::Key_Delete:
        out.code = VK::Delete;
        return out;
    default:
        break;
    }
    if (otherModifier) return std::nullopt;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        out.code = (keypad ? VK::Numpad0 : VK::Digit0) + (qtKey - Qt::Key_0);
        return out;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        out.code = VK::LetterA + (qtKey - Qt::Key_A);
        return out;
    }
    if (keypad) {
        if (auto code = Lookup(kKeypad, qtKey)) {
            out.code = *code;
            return out;
        }
    }
    if (auto code = Lookup(kPlain, qtKey)) {
        out.code = *code;
        return out;
    }
    if (auto code = Lookup(kShifted, qtKey)) {
        // The character itself says Shift was held, whatever the platform reports.
        out.code = *code;
        out.shift = true;
        return out;
    }
    return std::nullopt;
}

std::optional<MapKey> TranslateKey(const QKeyEvent& event) {
    return TranslateKey(event.key(), static_cast<int>(event.modifiers()));
}

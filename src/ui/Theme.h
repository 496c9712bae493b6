// The program's light or dark look. The choice is a value of the value store, "DarkTheme".
#pragma once

#include <QPalette>
#include <QString>
#include <utility>
#include <vector>

class ValueStore;

inline constexpr char kDarkThemeValue[] = "DarkTheme";

// A dark palette for every role and colour group.
QPalette DarkPalette();
// The application's look before any switch, to come back to.
struct LightLook {
    QPalette palette;
    QString style;
    // Some controls get palettes of their own from the platform (a white text field, say); they
    // take the dark one too, and get theirs back.
    std::vector<std::pair<const char*, QPalette>> classPalettes;
};
LightLook CurrentLook();
// Gives the application the dark palette (in a style that draws from it), or the light look.
void ApplyTheme(bool dark, const LightLook& light);
bool StoredDarkTheme(const ValueStore& store);
void StoreDarkTheme(ValueStore& store, bool dark);
// A text colour that stays readable on a background: the wanted one unless it is too close in
// lightness, then the fallback.
QColor ReadableOn(const QColor& wanted, const QColor& background, const QColor& fallback);

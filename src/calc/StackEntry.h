// One value of the operand stack: the quantity itself, and the two texts that windows show and
// files store. The texts are made from the quantity the first time they are asked for and kept;
// they are made again only when the notation or the places change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "units/NumberUnits.h"

class StackEntry {
public:
    // Everything of a quantity but its number: entries with the same units share one.
    using Units = std::shared_ptr<const TNumberUnits>;

    StackEntry() = default;
    StackEntry(const StackEntry& other);
    StackEntry& operator=(const StackEntry& other);
    StackEntry(StackEntry&&) noexcept = default;
    StackEntry& operator=(StackEntry&&) noexcept = default;
    ~StackEntry() = default;
    // The quantity is units with this value and base value, as its full text (in notation) reads
    // back. shown: the number the display text shows (the value as it was pushed, which the full
    // text may have rounded).
    StackEntry(Units units, double value, double baseValue, int notation, double shown, int places);

    TNumberUnits Value() const;
    double Number() const { return value_; }
    const Units& SharedUnits() const { return units_; }
    int Notation() const { return fullNotation_; } // of the full text
    // The value in the notation it was stored in, with 15 digits.
    const std::string& FullText() const;
    // The value as pushed, in the notation and places in force when it was pushed or last re-shown.
    const std::string& DisplayText() const;

    // True when DisplayText is what the stored value shows in this notation and these places.
    bool ShowsStored(int notation, int places) const;
    // From now on the display text shows the stored value in this notation and these places.
    void ShowStored(int notation, int places);
    // The full text, when the caller made it already.
    void KeepFullText(std::string text);

private:
    // Made on first use; most entries of a long stack are never shown or saved.
    struct Texts {
        bool fullMade = false;
        bool displayMade = false;
        std::string full;
        std::string display;
    };
    Texts& MadeTexts() const;

    Units units_;
    double value_ = 0;
    double baseValue_ = 0;
    double shown_ = 0;
    std::int8_t fullNotation_ = 0;
    std::int8_t shownNotation_ = 0;
    std::int8_t shownPlaces_ = 0;
    mutable std::unique_ptr<Texts> texts_;
};

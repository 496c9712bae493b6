// One value of the operand stack or of a register: the quantity itself, and the two texts that
// windows show and files store. The texts are made from the quantity the first time they are
// asked for and kept; they are made again only when the notation or the places change.
#pragma once

#include <string>

#include "units/NumberUnits.h"

class StackEntry {
public:
    StackEntry() = default;
    // value: the quantity as its full text reads back. shown: the number the display text shows
    // (the value as it was pushed, which the full text may have rounded).
    StackEntry(TNumberUnits value, int notation, double shown, int places);

    const TNumberUnits& Value() const { return value_; }
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
    TNumberUnits value_;
    double shown_ = 0;
    int fullNotation_ = 0;
    int shownNotation_ = 0;
    int shownPlaces_ = 0;
    mutable bool fullMade_ = false;
    mutable bool displayMade_ = false;
    mutable std::string full_;
    mutable std::string display_;
};

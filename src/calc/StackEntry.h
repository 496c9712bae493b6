// One value of the operand stack: the quantity itself, and the two texts that windows show and
// files store. The texts are made from the quantity the first time they are asked for and kept;
// the display text is made again only when the notation or the places change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "calc/CountedUnits.h"
#include "units/NumberUnits.h"

class StackEntry {
public:
    // Everything of a quantity but its number: entries with the same units share one.
    using Units = CountedUnits;

    StackEntry() = default;
    // The quantity is units with this value and base value. notation: of the full text (which
    // reads back as this quantity); notation and places: of the display text.
    StackEntry(Units units, double value, double baseValue, int notation, int places);
    StackEntry(const StackEntry& other);
    StackEntry& operator=(const StackEntry& other);
    StackEntry(StackEntry&&) noexcept = default;
    StackEntry& operator=(StackEntry&&) noexcept = default;
    ~StackEntry() = default;

    // The same entry without the texts made so far (they are made again when asked for).
    StackEntry WithoutTexts() const {
        return StackEntry(units_, value_, baseValue_, fullNotation_, shownNotation_, shownPlaces_);
    }

    TNumberUnits Value() const;
    double Number() const { return value_; }
    int Notation() const { return fullNotation_; } // of the full text
    // The value in the notation it was stored in, with 15 digits.
    const std::string& FullText() const;
    // The value in the notation and places in force when it was pushed or last re-shown.
    const std::string& DisplayText() const;

    // The same quantity, stored and shown the same way; compares without making any text.
    bool SameAs(const StackEntry& other) const {
        return value_ == other.value_ && baseValue_ == other.baseValue_ &&
               fullNotation_ == other.fullNotation_ && shownNotation_ == other.shownNotation_ &&
               shownPlaces_ == other.shownPlaces_ &&
               (units_ == other.units_ || (units_ && other.units_ && units_->Units == other.units_->Units));
    }
    // The value in this notation and these places: DisplayText when it is in them.
    std::string TextIn(int notation, int places) const;
    // True when DisplayText is in this notation and these places.
    bool ShowsIn(int notation, int places) const;
    // From now on the display text is in this notation and these places.
    void ShowIn(int notation, int places);

private:
    // Made on first use; most entries of a long stack are never shown or saved.
    struct Texts {
        std::string full;
        std::string display; // empty until made: a made display text never is
    };
    Texts& MadeTexts() const;
    StackEntry(Units units, double value, double baseValue, std::int8_t fullNotation,
               std::int8_t shownNotation, std::int8_t shownPlaces)
        : units_(std::move(units)), value_(value), baseValue_(baseValue), fullNotation_(fullNotation),
          shownNotation_(shownNotation), shownPlaces_(shownPlaces) {}

    Units units_;
    double value_ = 0;
    double baseValue_ = 0;
    std::int8_t fullNotation_ = 0;
    std::int8_t shownNotation_ = 0;
    std::int8_t shownPlaces_ = 0;
    mutable std::unique_ptr<Texts> texts_;
};

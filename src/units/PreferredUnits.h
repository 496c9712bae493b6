// The preferred units: for each of the 19 kinds of quantity a default SI and U.S. unit, the user's
// own choice in its place, and the current texts, which follow the unit system.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

constexpr int PreferredRowCount = 19;
// Copies the U.S. or SI column into the current preferred units, following UnitSystem.
void SelectPreferredUnits();
// Current preferred unit text of a row (1..19).
const std::string& PreferredUnit(int row);
// The unit text ConvertToPreferred uses for a base-unit text, or nothing when no key matches.
std::optional<std::string> PreferredUnitFor(std::string_view baseUnitsText);

// The user's choices, per row (index row - 1) and unit system; an empty text means the default.
struct PreferredChoices {
    std::array<std::string, PreferredRowCount> si, us;

    std::string& For(int row, bool si);
    const std::string& For(int row, bool si) const;
    bool operator==(const PreferredChoices&) const = default;
};

// The kind of quantity of a row (1..19): "length", "power", "pressure, stress" ...
const char* PreferredKindName(int row);
// The base-unit text that selects a row (the first, where a row has two).
const char* PreferredRowKey(int row);
const char* DefaultPreferredUnit(int row, bool si);

// The row whose kind of quantity a unit text measures; 0 for none, and for a text that is not a
// unit text (a number in front is not part of a unit).
int PreferredRowOfUnit(std::string_view unitText);
// Empty when the unit text may stand for the row; otherwise why not, naming both dimensions.
std::string CheckPreferredUnit(int row, std::string_view unitText);

const PreferredChoices& CurrentPreferredChoices();
// Takes the user's choices, each checked: one that fails counts as the row's default. The current
// preferred units follow at once, for the current unit system.
void SetPreferredChoices(const PreferredChoices& choices);

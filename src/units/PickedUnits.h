// Unit texts built one picked unit at a time, as the units selector builds them: each pick
// multiplies the current units by the picked unit, into the numerator or the denominator.
#pragma once

#include <optional>
#include <string>
#include <utility>

// Splits a unit text at its first "/"; the part after it is empty when there is none.
std::pair<std::string, std::string> SplitAtSlash(const std::string& text);

// The unreduced product: current numerator * picked numerator / current denominator * picked
// denominator, or with the picked parts swapped when picking into the denominator. The "*" and
// "/" are written also next to empty parts; the unit parser reads empty factors as absent.
std::string JoinPickedUnit(const std::string& current, const std::string& picked, bool intoDenominator);

// The reduced unit text (equal units merged, cancelled units removed) of a text read as a quantity
// whose number may be left out, or nothing when its units do not parse. Only the units are read:
// a unit such as SUS has no valid value at 1, so converting a value would refuse it.
std::optional<std::string> ReducedUnitText(const std::string& text);

// JoinPickedUnit, reduced; nothing when the result does not parse.
std::optional<std::string> AddPickedUnit(const std::string& current, const std::string& picked,
                                         bool intoDenominator);

// The unit part of a quantity text, as the selector starts from it ("" for an empty text).
std::string StartingUnits(const std::string& quantityText);

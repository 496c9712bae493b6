// Catalogue internals shared by the catalogue and the parser: the per-slot record with the unit's
// expansion already split into base-unit terms, so that conversions need no text work.
#pragma once

#include "units/NumberUnits.h"
#include "units/SiPrefixes.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace unitcat {

// Base units in catalogue order: m, kg, sec, rad, C, Coul, $US, Number, Mole.
constexpr int BaseUnitCount = 9;
constexpr std::array<int, BaseUnitCount> BaseSlots{BaseSlot::m,   BaseSlot::kg,     BaseSlot::sec,
                                                   BaseSlot::rad, BaseSlot::C,      BaseSlot::Coul,
                                                   BaseSlot::USD, BaseSlot::Number, BaseSlot::Mole};
constexpr int RadIndex = 3;

// One factor of an expansion, in the order the expansion writes it: "(kg*m*sec^-2)" is kg, m, sec^-2.
struct BaseTerm {
    int base = 0; // index into BaseSlots
    int exponent = 0;
};

struct SlotInfo {
    std::string name;
    std::string upperName;
    std::string expansion;
    double factor = 0;
    double inverse = 0;
    UnitGroup group = UnitGroup::None;
    std::array<BaseTerm, 4> terms{};       // as the expansion writes them
    std::array<BaseTerm, 4> sortedTerms{}; // in base-unit order
    int termCount = 0;
};

// The SI-prefixed units fill the slots past the numbered ones; those a taken name leaves out stay empty.
constexpr int EntryCapacity = UnitSlotCount + siprefix::PrefixedCapacity;

// Slot 1..EntryCapacity; anything else gives an empty record.
const SlotInfo& Slot(int slot);

// Slot of a catalogue name written with exactly this letter case, or 0. Other spellings of a
// prefixed unit ("msec" for "ms") count as its names.
int FindExactUnit(std::string_view name);
// Slot of the one catalogue name that matches without regard to letter case; 0 when there is none,
// and when several differ only by case ("mw": "mW" or "MW"). `matches` (when given) receives the
// slots of all that match.
int FindUnitIgnoringCase(std::string_view name, std::vector<int>* matches = nullptr);

// The prefix and the unit of a prefixed unit's slot; no prefix for any other slot. Prefixed units
// take the empty slot that ends their group, and the slots past the numbered ones.
struct PrefixedOrigin {
    const siprefix::Prefix* prefix = nullptr;
    int unitSlot = 0;
};
PrefixedOrigin OriginOf(int slot);

// Index of a base-unit slot in BaseSlots, or -1.
int BaseIndexOfSlot(int slot);

} // namespace unitcat

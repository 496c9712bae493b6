// The unit catalogue: a slot for every unit, its name, factor, base-unit expansion and group, the
// lookup of names, and the messages of the engine's result codes. The unitcat namespace below holds
// the per-slot record shared by the catalogue and the parser, with each unit's expansion already
// split into base-unit terms so that conversions need no text work.
#pragma once

#include "units/SiPrefixes.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int UnitSlotCount = 153;

// Slot numbers of the base units; every expansion is written in these.
namespace BaseSlot {
constexpr int m = 9, kg = 29, sec = 50, rad = 52, C = 57, Coul = 133, USD = 145, Number = 147, Mole = 153;
}
// Slots that convert by rule rather than by factor alone.
namespace RuleSlot {
constexpr int C = 57, F = 58, K = 59, R = 60, St = 117, SUS = 119;
}
// The temperature differences: they convert by factor, but meet temperatures by rule.
namespace DifferenceSlot {
constexpr int dC = 61, dF = 62;
}
// Empty slots: the one that ends the temperatures (no prefix takes it) and the first of no group.
namespace GapSlot {
constexpr int Temperature = 63, NoGroup = 64;
}

enum class UnitGroup {
    None,
    Force,
    Length,
    Mass,
    Time,
    Angle,
    Temperature,
    Energy,
    Power,
    Volume,
    AngularSpeed,
    VolumeFlow,
    Pressure,
    DynamicViscosity,
    KinematicViscosity,
    Area,
    Charge,
    Current,
    Voltage,
    Resistance,
    Capacitance,
    Inductance,
    Currency,
    Count,
    AmountOfSubstance,
    Frequency
};

// Fills every table once; later calls do nothing. Must run before anything else of the engine.
void InitUnitTables();

// Unit number of a catalogue name, or 0: the name written in exactly this letter case, else the one
// name that matches without regard to case (none when several do, as "mw" for "mW" and "MW").
int FindUnit(std::string_view name);

// Per-slot data, for slot numbers 1..153 (an empty slot has an empty name).
const std::string& UnitName(int slot);
double UnitFactor(int slot);        // units per base unit
double UnitInverseFactor(int slot); // base units per unit
const std::string& UnitBaseExpansion(int slot);
UnitGroup UnitGroupOf(int slot);
const char* UnitGroupName(UnitGroup group);

// Dimension-signature value of a base unit slot; 0 for a slot that is not a base unit.
double SignatureValue(int baseSlot);

// ---------------------------------------------------------------------------
// Result codes
// ---------------------------------------------------------------------------

enum TErrors : std::uint8_t {
    _OK,
    _MisSpell,
    _UnitProblem,
    _MissOper,
    _UnitIncomp,
    _NotInList,
    _UnKnow,
    _NoEntry,
    _DivideByZero
};

const std::string& ErrorMessage(TErrors code);

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

// The SI prefixes and the units that take them. Every prefix on every such unit is an entry of the
// catalogue of its own, after the numbered slots, unless its name is already taken.
#pragma once

#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace siprefix {

struct Prefix {
    const char* symbol; // as written before the unit; "u" stands for the micro sign
    int power;          // of ten
    const char* name;
};

// Largest first, so that the entries of one unit run from large to small.
inline constexpr Prefix Prefixes[] = {
    {"T", 12, "tera"},  {"G", 9, "giga"},   {"M", 6, "mega"},  {"k", 3, "kilo"},
    {"h", 2, "hecto"},  {"da", 1, "deca"},  {"d", -1, "deci"}, {"c", -2, "centi"},
    {"m", -3, "milli"}, {"u", -6, "micro"}, {"n", -9, "nano"}, {"p", -12, "pico"},
};

struct PrefixableUnit {
    const char* unit;     // catalogue name
    const char* symbol;   // written after the prefix in the entry's name
    const char* longName; // another spelling after a prefix ("msec", "uFarad"), or nullptr
};

// "F", "H" are the symbols of the farad and henry after a prefix only: alone, "F" is Fahrenheit.
inline constexpr PrefixableUnit PrefixableUnits[] = {
    {"m", "m", nullptr},       {"g", "g", nullptr},     {"sec", "s", "sec"},     {"J", "J", nullptr},
    {"W", "W", nullptr},       {"N", "N", nullptr},     {"Pa", "Pa", nullptr},   {"A", "A", nullptr},
    {"V", "V", nullptr},       {"Ohm", "Ohm", nullptr}, {"Farad", "F", "Farad"}, {"Henry", "H", "Henry"},
    {"Coul", "Coul", nullptr}, {"Hz", "Hz", nullptr},   {"l", "l", nullptr},     {"Bar", "bar", nullptr},
};

constexpr int PrefixedCapacity = static_cast<int>(std::size(Prefixes) * std::size(PrefixableUnits));

// One prefixed unit: its name as shown, another spelling it is read under ("msec" for "ms"; empty
// for none), and its factors, exact: the power of ten of the prefix applied to the unit's.
struct PrefixedEntry {
    std::string name;
    std::string otherName;
    const Prefix* prefix = nullptr;
    int unitSlot = 0;
    double factor = 0;
    double inverse = 0;
};

// Every prefix on every prefixable unit, unit by unit, leaving out each name that `taken` reports
// as used already (compared without letter case: a name read before keeps its meaning).
// `slotOf` gives the slot of a catalogue name, `factorOf` the factor of a slot.
std::vector<PrefixedEntry> MakePrefixedEntries(const std::function<bool(std::string_view)>& taken,
                                               const std::function<int(std::string_view)>& slotOf,
                                               const std::function<double(int)>& factorOf);

} // namespace siprefix

#include "units/SiPrefixes.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// 10^power as the double nearest the exact value (the decimal text "1e<power>" read), for the
// powers prefixes and units reach; each is read once.
constexpr int PowerRange = 40;
double PowerOfTen(int power) {
    static const std::array<double, 2 * PowerRange + 1> powers = [] {
        std::array<double, 2 * PowerRange + 1> table{};
        for (int p = -PowerRange; p <= PowerRange; ++p) {
            const std::string text = "1e" + std::to_string(p);
            const int index = p + PowerRange;
            std::from_chars(text.data(), text.data() + text.size(), table[static_cast<std::size_t>(index)]);
        }
        return table;
    }();
    if (power < -PowerRange || power > PowerRange) return std::pow(10.0, power);
    const int index = power + PowerRange;
    return powers[static_cast<std::size_t>(index)];
}

// The whole power of ten that a factor is, or nothing.
bool DecimalPower(double factor, int& power) {
    if (!(factor > 0)) return false;
    power = static_cast<int>(std::lround(std::log10(factor)));
    return PowerOfTen(power) == factor;
}

} // namespace

namespace siprefix {

std::vector<PrefixedEntry> MakePrefixedEntries(const std::function<bool(std::string_view)>& taken,
                                               const std::function<int(std::string_view)>& slotOf,
                                               const std::function<double(int)>& factorOf) {
    std::vector<PrefixedEntry> entries;
    for (const PrefixableUnit& unit : PrefixableUnits) {
        const int unitSlot = slotOf(unit.unit);
        if (unitSlot == 0) continue;
        const double unitFactor = factorOf(unitSlot);
        int unitPower = 0;
        const bool decimal = DecimalPower(unitFactor, unitPower);
        for (const Prefix& prefix : Prefixes) {
            PrefixedEntry entry;
            entry.name = std::string(prefix.symbol) + unit.symbol;
            if (taken(entry.name)) continue;
            if (unit.longName) {
                entry.otherName = std::string(prefix.symbol) + unit.longName;
                if (entry.otherName.size() > 7 || taken(entry.otherName)) entry.otherName.clear();
            }
            entry.prefix = &prefix;
            entry.unitSlot = unitSlot;
            // Factors are units per base unit: a kilo-unit has a thousandth of the unit's.
            if (decimal) {
                entry.factor = PowerOfTen(unitPower - prefix.power);
                entry.inverse = PowerOfTen(prefix.power - unitPower);
            } else {
                entry.factor = prefix.power >= 0 ? unitFactor / PowerOfTen(prefix.power)
                                                 : unitFactor * PowerOfTen(-prefix.power);
                entry.inverse = 1 / entry.factor;
            }
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

} // namespace siprefix

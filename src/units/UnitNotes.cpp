// What each catalogue name stands for, in words, for the lists of names people look things up in.
#include "units/UnitNotes.h"

#include "units/NumberUnits.h"
#include "units/UnitCatalogue.h"
#include "units/UnitNames.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>

namespace {

struct Note {
    const char* name;
    const char* note;
};

constexpr Note Notes[] = {
    {"$US", "U.S. dollar"},
    {"A", "ampere"},
    {"Acre", "acre"},
    {"Atm", "standard atmosphere"},
    {"BTU", "British thermal unit (IT)"},
    {"Bar", "bar"},
    {"C", "degree Celsius"},
    {"Coul", "coulomb"},
    {"F", "degree Fahrenheit"},
    {"Farad", "farad"},
    {"GPM", "U.S. gallon per minute"},
    {"GPa", "gigapascal"},
    {"Henry", "henry"},
    {"Hz", "hertz, one per second"},
    {"Item", "item (a count)"},
    {"J", "joule"},
    {"K", "kelvin"},
    {"KPa", "kilopascal"},
    {"Kcal", "kilocalorie"},
    {"LtYr", "light-year"},
    {"MN", "meganewton"},
    {"MPa", "megapascal"},
    {"Mole", "mole"},
    {"N", "newton"},
    {"Number", "number (a count)"},
    {"Ohm", "ohm"},
    {"P", "poise"},
    {"Pa", "pascal"},
    {"Person", "person (a count)"},
    {"Piece", "piece (a count)"},
    {"Plant", "plant (a count)"},
    {"Pndl", "poundal"},
    {"R", "degree Rankine"},
    {"RPM", "revolution per minute"},
    {"SUS", "Saybolt universal second"},
    {"Section", "section (square mile)"},
    {"St", "stokes"},
    {"Tbsp", "tablespoon"},
    {"Twp", "township"},
    {"V", "volt"},
    {"W", "watt"},
    {"angs", "angstrom"},
    {"bbl", "barrel (oil)"},
    {"bu", "bushel"},
    {"cP", "centipoise"},
    {"cSt", "centistokes"},
    {"cal", "calorie"},
    {"chain", "chain"},
    {"cm", "centimetre"},
    {"cm^2", "square centimetre"},
    {"cm^3", "cubic centimetre"},
    {"day", "day"},
    {"deg", "degree of angle"},
    {"drAp", "apothecaries' dram"},
    {"dram", "dram (avoirdupois)"},
    {"drfl", "fluid dram"},
    {"dyne", "dyne"},
    {"erg", "erg"},
    {"fath", "fathom"},
    {"fermi", "fermi (femtometre)"},
    {"ft", "foot"},
    {"ft*lbf", "foot pound-force"},
    {"ft^2", "square foot"},
    {"ft^3", "cubic foot"},
    {"furlong", "furlong"},
    {"g", "gram"},
    {"gal", "U.S. gallon"},
    {"galC", "Canadian gallon"},
    {"galU", "imperial (U.K.) gallon"},
    {"gr", "grain"},
    {"grad", "gradian"},
    {"ha", "hectare"},
    {"hand", "hand"},
    {"hp", "horsepower"},
    {"hr", "hour"},
    {"in", "inch"},
    {"in^2", "square inch"},
    {"in^3", "cubic inch"},
    {"kN", "kilonewton"},
    {"kW", "kilowatt"},
    {"kWh", "kilowatt hour"},
    {"kg", "kilogram"},
    {"kip", "kip (1000 lbf)"},
    {"km", "kilometre"},
    {"km^2", "square kilometre"},
    {"ksf", "kip per square foot"},
    {"ksi", "kip per square inch"},
    {"l", "litre"},
    {"lbTroy", "troy pound"},
    {"lbf", "pound-force"},
    {"lbm", "pound-mass"},
    {"link", "link"},
    {"m", "metre"},
    {"m^2", "square metre"},
    {"m^3", "cubic metre"},
    {"mi", "mile"},
    {"mi^2", "square mile"},
    {"micron", "micron (micrometre)"},
    {"mil", "mil (0.001 in)"},
    {"min", "minute"},
    {"ml", "millilitre"},
    {"mm", "millimetre"},
    {"mm^2", "square millimetre"},
    {"mton", "metric ton"},
    {"oz", "ounce (avoirdupois)"},
    {"ozTroy", "troy ounce"},
    {"ozUK", "imperial fluid ounce"},
    {"ozfl", "U.S. fluid ounce"},
    {"pennywt", "pennyweight"},
    {"pk", "peck"},
    {"psf", "pound-force per square foot"},
    {"psi", "pound-force per square inch"},
    {"pt", "U.S. pint"},
    {"qt", "U.S. quart"},
    {"rad", "radian"},
    {"rev", "revolution"},
    {"rod", "rod"},
    {"scruple", "scruple"},
    {"sec", "second"},
    {"slug", "slug"},
    {"ton", "short ton"},
    {"tonUK", "long ton"},
    {"tsp", "teaspoon"},
    {"wk", "week"},
    {"yd", "yard"},
    {"yd^3", "cubic yard"},
    {"yr", "year"},
};

} // namespace

namespace unitnames {

const char* CatalogueNote(std::string_view name) {
    const auto it =
        std::find_if(std::begin(Notes), std::end(Notes), [name](const Note& n) { return name == n.name; });
    return it == std::end(Notes) ? "" : it->note;
}

namespace {

// What one of a text is in base units ("0.3048 m"); "" when the unit converts by a rule of its own
// (temperatures, Saybolt seconds) rather than by a factor.
std::string FactorText(const std::string& unitText) {
    TNumberUnits q;
    if (!q.SetText("1 " + unitText) || q.Empty) return {};
    const auto& lists = q.UnitLists;
    if (lists[0] == 2 && lists[16] == 0) {
        const int unit = static_cast<int>(lists[1]);
        if ((unit >= RuleSlot::C && unit <= RuleSlot::R) || unit == RuleSlot::SUS) return {};
    }
    char number[40];
    std::snprintf(number, sizeof number, "%.15g", q.BaseValue);
    return q.BaseUnitsText.empty() ? std::string(number) : std::string(number) + " " + q.BaseUnitsText;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    if (part.size() > text.size()) return false;
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at) {
        std::size_t k = 0;
        while (k < part.size() && Lower(text[at + k]) == Lower(part[k])) ++k;
        if (k == part.size()) return true;
    }
    return false;
}

} // namespace

std::vector<NameRow> AllNames() {
    std::vector<NameRow> rows;
    for (int slot = 1; slot <= unitcat::EntryCapacity; ++slot) {
        const std::string& name = UnitName(slot);
        if (name.empty()) continue;
        NameRow row{name, CatalogueNote(name), UnitGroupName(UnitGroupOf(slot)), FactorText(name)};
        const unitcat::PrefixedOrigin origin = unitcat::OriginOf(slot);
        if (origin.prefix) {
            row.meaning = std::string(origin.prefix->name) + "-" + CatalogueNote(UnitName(origin.unitSlot));
            rows.push_back(row);
            for (const auto& unit : siprefix::PrefixableUnits) {
                if (!unit.longName || UnitName(origin.unitSlot) != unit.unit) continue;
                const std::string other = std::string(origin.prefix->symbol) + unit.longName;
                if (unitcat::FindExactUnit(other) == slot)
                    rows.push_back({other, "another spelling of " + name, row.kind, row.factor, true});
            }
            continue;
        }
        rows.push_back(row);
    }
    for (const AliasInfo& alias : Aliases()) {
        NameRow row{alias.name, {}, {}, {}, true};
        if (!alias.meaning) {
            row.meaning = std::string("ambiguous: write ") + alias.note;
        } else {
            row.meaning = std::string("alias of ") + alias.meaning + " (" + alias.note + ")";
            row.factor = FactorText(alias.meaning);
            if (const int slot = FindUnit(alias.meaning)) row.kind = UnitGroupName(UnitGroupOf(slot));
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<NameRow> MatchingNames(std::string_view text) {
    std::vector<NameRow> rows = AllNames();
    if (text.empty()) return rows;
    std::vector<NameRow> matching;
    for (auto& row : rows)
        if (ContainsIgnoringCase(row.name, text) || ContainsIgnoringCase(row.meaning, text))
            matching.push_back(std::move(row));
    return matching;
}

} // namespace unitnames

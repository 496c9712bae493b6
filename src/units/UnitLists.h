// Unit lists: reading a unit text into its numerator and denominator lists, reducing, multiplying,
// raising and writing them.
#pragma once

#include "units/UnitCatalogue.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// 2 x 16 doubles: [0] = 2 * entries, then (unit number, exponent) pairs; free places hold -9.
// Numerator in [0..15], denominator in [16..31]. At most 7 entries a list.
using TUnitLists = std::array<double, 32>;
constexpr int UnitListEntries = 7;
constexpr double FreeMark = -9;

TUnitLists EmptyUnitLists();

struct ParseResult {
    bool ok = false;
    TUnitLists lists = EmptyUnitLists();
    TErrors code = _OK; // _NotInList for a name not in the catalogue, _UnitProblem otherwise
};
ParseResult ParseUnitList(std::string_view unitText);
// As ParseUnitList, for base-unit texts the engine joins itself from many groups: any number of entries
// may be written, as long as each reduced list fits its 7 places.
ParseResult ParseBaseUnitText(std::string_view unitText);

TUnitLists ReduceUnitLists(const TUnitLists& lists);

enum class RenderKind { Names, Expansions };
// Display: exponents with two significant digits, as the windows show them ("m^0.33").
// Exact: exponents that read back as the same value ("m^0.333333333333333"), for texts that carry
// values (stack and register files, results handed between operations).
enum class ExponentForm { Display, Exact };
std::string RenderUnitLists(const TUnitLists& lists, RenderKind kind,
                            ExponentForm form = ExponentForm::Display);

// The reduced lists of a product (multiply) or quotient of two unit pairs. False when a list would
// hold more than 7 entries before equal units merge.
bool MultiplyUnitLists(const TUnitLists& a, const TUnitLists& b, bool multiply, TUnitLists& out);
// The reduced lists of a pair raised to a power: every exponent times x.
bool RaiseUnitLists(const TUnitLists& lists, double x, TUnitLists& out);

// Raises E on unbalanced parentheses or a group that does not parse.
std::string SimplifyBaseText(std::string_view text);

// Value in general format with 15 significant digits, one blank, the unit text; empty for a value
// that is not finite.
std::string CombineQuantityText(std::string_view unitText, double value);

// Internals shared with the number reader, the conversion rules and the quantity type; not for use
// outside units/.
namespace unitdetail {

struct Entry {
    int unit;
    double exponent;
};

// A list while it is being read; texts the engine builds may hold many entries before they reduce.
struct RawList {
    static constexpr int Capacity = 64;
    std::array<Entry, Capacity> entries;
    int count = 0;
    bool Add(int unit, double exponent) {
        if (count == Capacity) return false;
        entries[static_cast<std::size_t>(count++)] = {unit, exponent};
        return true;
    }
};

int EntryCount(const TUnitLists& lists, int list);
Entry EntryAt(const TUnitLists& lists, int list, int index);
bool ValidSlot(int unit);

// Sums each unit's exponents (numerator positive, denominator negative) and rebuilds both lists in
// unit-number order. Fails when a list would not fit or an exponent is not finite.
bool Reduce(const Entry* num, int numCount, const Entry* den, int denCount, TUnitLists& out);

// The base-unit pair of a reduced unit pair.
bool BaseListsOf(const TUnitLists& lists, TUnitLists& base);

// True when some exponent of the pair shows differently with two significant digits (a fraction,
// or a whole number from 100 up).
bool ExponentsShowRounded(const TUnitLists& lists);

} // namespace unitdetail

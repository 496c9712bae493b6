// Unit lists: reading unit texts, reducing, products and powers of lists, and canonical text.
#include "units/UnitLists.h"

#include "units/Exponent.h"
#include "units/RealFunctions.h"
#include "units/UnitCatalogue.h"
#include "units/UnitNames.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace unitdetail;

namespace {

bool IsOperator(char c) {
    return c == '*' || c == '/' || c == '^';
}

// Reads a unit text into two raw lists; maxPerList bounds the entries written into one list.
ParseResult ParseUnits(std::string_view text, int maxPerList) {
    ParseResult result;
    std::array<RawList, 2> lists;
    int current = 0;
    double exponent = 1;
    std::size_t i = 0;
    auto fail = [&](TErrors code) {
        result.ok = false;
        result.code = code;
        return result;
    };
    do {
        const std::size_t start = i;
        while (i < text.size() && !IsOperator(text[i])) ++i;
        const std::string_view name = text.substr(start, i - start);
        if (name.size() >= 8) return fail(_UnitProblem);
        unitnames::Meaning meaning;
        if (!name.empty() && unitnames::Resolve(name, meaning) != unitnames::Resolution::Found)
            return fail(_NotInList);
        bool switchLists = false;
        if (i < text.size()) {
            const char op = text[i++];
            if (op == '/') {
                switchLists = true;
            } else if (op == '^') {
                const std::size_t exponentStart = i;
                while (i < text.size() && !IsOperator(text[i])) ++i;
                if (i == exponentStart) return fail(_UnitProblem);
                if (!ReadExponent(text.substr(exponentStart, i - exponentStart), exponent))
                    return fail(_UnitProblem);
                // A "/" after the exponent is used up here; any other operator is read again.
                if (i < text.size() && text[i] == '/') {
                    switchLists = true;
                    ++i;
                }
            }
        }
        if (meaning.count > 0) {
            // An alias of a compound ("mph") adds each of its units, raised to the exponent.
            for (int t = 0; t < meaning.count; ++t) {
                const unitnames::Term& term = meaning.terms[static_cast<std::size_t>(t)];
                const double e = term.exponent == 1 ? exponent : exponent * term.exponent;
                const int list = e < 0 ? 1 - current : current;
                if (lists[list].count >= maxPerList || !lists[list].Add(term.unit, std::fabs(e)))
                    return fail(_UnitProblem);
            }
            exponent = 1;
        }
        if (switchLists) current = 1 - current;
    } while (i < text.size());
    if (!Reduce(lists[0].entries.data(), lists[0].count, lists[1].entries.data(), lists[1].count,
                result.lists))
        return fail(_UnitProblem);
    result.ok = true;
    return result;
}

} // namespace

namespace unitdetail {

int EntryCount(const TUnitLists& lists, int list) {
    const int offset = list * 16;
    int n = 0;
    while (n < UnitListEntries && lists[offset + 1 + 2 * n] != FreeMark) ++n;
    return n;
}

Entry EntryAt(const TUnitLists& lists, int list, int index) {
    const int offset = list * 16 + 1 + 2 * index;
    return {static_cast<int>(lists[offset]), lists[offset + 1]};
}

bool ValidSlot(int unit) {
    return unit >= 1 && unit <= unitcat::EntryCapacity;
}

bool Reduce(const Entry* num, int numCount, const Entry* den, int denCount, TUnitLists& out) {
    // Each unit's exponents summed in the order written, the units kept in unit-number order.
    std::array<Entry, 2 * RawList::Capacity> sums;
    int distinct = 0;
    auto add = [&](const Entry& e, double sign) {
        int i = 0;
        while (i < distinct && sums[i].unit < e.unit) ++i;
        if (i < distinct && sums[i].unit == e.unit) {
            sums[i].exponent += sign * e.exponent;
            return;
        }
        std::copy_backward(sums.begin() + i, sums.begin() + distinct, sums.begin() + distinct + 1);
        sums[i] = {e.unit, sign * e.exponent};
        ++distinct;
    };
    for (int i = 0; i < numCount; ++i) add(num[i], 1);
    for (int i = 0; i < denCount; ++i) add(den[i], -1);
    out = EmptyUnitLists();
    int counts[2] = {0, 0};
    for (int i = 0; i < distinct; ++i) {
        // Exponents that should cancel cancel: 1/3 + 1/3 + 1/3 is exactly 1.
        const double sum = SnapExponent(sums[i].exponent);
        if (!std::isfinite(sum)) return false;
        if (sum == 0) continue;
        const int list = sum > 0 ? 0 : 1;
        if (counts[list] == UnitListEntries) return false;
        const int offset = list * 16 + 1 + 2 * counts[list]++;
        out[offset] = sums[i].unit;
        out[offset + 1] = std::fabs(sum);
    }
    out[0] = 2 * counts[0];
    out[16] = 2 * counts[1];
    return true;
}

bool BaseListsOf(const TUnitLists& lists, TUnitLists& base) {
    std::array<RawList, 2> read;
    for (int list = 0; list < 2; ++list)
        for (int k = 0, n = EntryCount(lists, list); k < n; ++k) {
            const Entry entry = EntryAt(lists, list, k);
            if (!ValidSlot(entry.unit)) return false;
            const auto& info = unitcat::Slot(entry.unit);
            for (int t = 0; t < info.termCount; ++t) {
                const unitcat::BaseTerm& term = info.sortedTerms[t];
                const double exponent = SnapExponent(entry.exponent * term.exponent);
                const int side = exponent < 0 ? 1 - list : list;
                if (!read[side].Add(unitcat::BaseSlots[term.base], std::fabs(exponent))) return false;
            }
        }
    return Reduce(read[0].entries.data(), read[0].count, read[1].entries.data(), read[1].count, base);
}

bool ExponentsShowRounded(const TUnitLists& lists) {
    for (int list = 0; list < 2; ++list)
        for (int k = 0, n = EntryCount(lists, list); k < n; ++k) {
            const double e = EntryAt(lists, list, k).exponent;
            if (e != std::trunc(e) || e >= 100) return true;
        }
    return false;
}

} // namespace unitdetail

TUnitLists EmptyUnitLists() {
    // Copied from a constant: filling a fresh array and then overwriting two places makes the copy
    // wait on the overlapping writes.
    static constexpr TUnitLists Empty = [] {
        TUnitLists lists{};
        for (double& x : lists) x = FreeMark;
        lists[0] = 0;
        lists[16] = 0;
        return lists;
    }();
    return Empty;
}

ParseResult ParseUnitList(std::string_view unitText) {
    return ParseUnits(unitText, UnitListEntries);
}

ParseResult ParseBaseUnitText(std::string_view unitText) {
    return ParseUnits(unitText, RawList::Capacity);
}

TUnitLists ReduceUnitLists(const TUnitLists& lists) {
    std::array<std::array<Entry, UnitListEntries>, 2> entries;
    std::array<int, 2> counts{0, 0};
    for (int list = 0; list < 2; ++list)
        for (int k = 0, n = EntryCount(lists, list); k < n; ++k) {
            const Entry e = EntryAt(lists, list, k);
            if (ValidSlot(e.unit)) entries[list][counts[list]++] = e;
        }
    TUnitLists out;
    if (!Reduce(entries[0].data(), counts[0], entries[1].data(), counts[1], out)) return EmptyUnitLists();
    return out;
}

bool MultiplyUnitLists(const TUnitLists& a, const TUnitLists& b, bool multiply, TUnitLists& out) {
    // As the joined text "A-top*B-top/A-bottom*B-bottom" would be read: each list holds at most
    // seven entries as written, before equal units merge.
    std::array<std::array<Entry, 2 * UnitListEntries>, 2> parts;
    std::array<int, 2> counts{0, 0};
    for (int list = 0; list < 2; ++list) {
        const int fromB = multiply ? list : 1 - list;
        for (int k = 0, n = EntryCount(a, list); k < n; ++k)
            parts[list][counts[list]++] = EntryAt(a, list, k);
        for (int k = 0, n = EntryCount(b, fromB); k < n; ++k)
            parts[list][counts[list]++] = EntryAt(b, fromB, k);
        if (counts[list] > UnitListEntries) return false;
    }
    return Reduce(parts[0].data(), counts[0], parts[1].data(), counts[1], out);
}

bool RaiseUnitLists(const TUnitLists& lists, double x, TUnitLists& out) {
    // Entries may change sides one by one (some exponents snap to 0, the others turn negative), so
    // either side may receive the entries of both; Reduce then refuses a side that holds too many.
    std::array<std::array<Entry, 2 * UnitListEntries>, 2> parts;
    std::array<int, 2> counts{0, 0};
    for (int list = 0; list < 2; ++list)
        for (int k = 0, n = EntryCount(lists, list); k < n; ++k) {
            const Entry e = EntryAt(lists, list, k);
            const double exponent = SnapExponent(e.exponent * x);
            if (!std::isfinite(exponent)) return false;
            if (exponent == 0) continue; // a unit to the power 0 is no unit
            const int side = exponent < 0 ? 1 - list : list;
            parts[side][counts[side]++] = {e.unit, std::fabs(exponent)};
        }
    return Reduce(parts[0].data(), counts[0], parts[1].data(), counts[1], out);
}

std::string RenderUnitLists(const TUnitLists& lists, RenderKind kind, ExponentForm form) {
    std::string text;
    for (int list = 0; list < 2; ++list) {
        const int n = EntryCount(lists, list);
        if (list == 1 && n > 0) text += '/';
        for (int k = 0; k < n; ++k) {
            const Entry e = EntryAt(lists, list, k);
            if (!ValidSlot(e.unit)) break;
            if (k > 0) text += '*';
            const auto& info = unitcat::Slot(e.unit);
            text += kind == RenderKind::Names ? info.name : info.expansion;
            if (e.exponent != 1) {
                text += '^';
                text += form == ExponentForm::Display ? DisplayExponentText(e.exponent)
                                                      : ExactExponentText(e.exponent);
            }
        }
    }
    return text;
}

std::string SimplifyBaseText(std::string_view text) {
    struct TUnitsRec {
        std::string text;
        double exponent = 0; // 0: none written
        char op = '*';
    };
    std::vector<TUnitsRec> groups;
    std::size_t i = 0;
    auto groupEnd = [&](char c) { return c == '*' || c == '/' || c == '(' || c == ')'; };
    while (i < text.size()) {
        TUnitsRec group;
        if (text[i] == ')') throw E("Left and right parentheses unmatched - Need more (");
        if (text[i] == '(') {
            const auto close = text.find(')', i + 1);
            if (close == std::string_view::npos)
                throw E("Left and right parentheses unmatched - Need more )");
            group.text = text.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            const std::size_t start = i;
            while (i < text.size() && !groupEnd(text[i]) && text[i] != '^') ++i;
            group.text = text.substr(start, i - start);
        }
        if (i < text.size() && text[i] == '^') {
            const std::size_t start = ++i;
            while (i < text.size() && !groupEnd(text[i])) ++i;
            if (!ReadExponent(text.substr(start, i - start), group.exponent))
                throw E(ErrorMessage(_UnitProblem));
        }
        if (i < text.size() && (text[i] == '*' || text[i] == '/')) group.op = text[i++];
        groups.push_back(std::move(group));
    }
    std::string joined;
    bool denominator = false;
    for (const auto& group : groups) {
        std::string groupText = group.text;
        if (group.exponent != 0) {
            ParseResult parsed = ParseBaseUnitText(group.text);
            if (!parsed.ok) throw E(ErrorMessage(parsed.code));
            TUnitLists raised;
            if (!RaiseUnitLists(parsed.lists, group.exponent, raised)) throw E(ErrorMessage(_UnitProblem));
            groupText = RenderUnitLists(raised, RenderKind::Names, ExponentForm::Exact);
        }
        std::string next;
        CombineUnitTexts(joined, groupText, !denominator, next);
        joined = std::move(next);
        if (group.op == '/') denominator = !denominator;
    }
    return joined;
}

std::string CombineQuantityText(std::string_view unitText, double value) {
    try {
        if (!std::isfinite(value)) throw std::range_error("value out of range");
        return NumberText(value) + " " + std::string(unitText);
    } catch (...) {
        return std::string();
    }
}

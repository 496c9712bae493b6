// The unit-expression parser and the quantity type TNumberUnits.
#include "units/NumberUnits.h"

#include "units/FloatText.h"
#include "units/QuantityMath.h"
#include "units/UnitCatalogue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsIgnored(char c) {
    switch (c) {
    case ' ':
    case '!':
    case '#':
    case '%':
    case '&':
    case ',':
    case '@':
    case '`':
    case '~':
        return true;
    default:
        return false;
    }
}
bool IsExponentMark(char c) {
    return c == 'E' || c == 'e' || c == 'X' || c == 'x';
}
bool IsNumberChar(char c) {
    return IsDigit(c) || c == '+' || c == '-' || c == '.' || IsExponentMark(c);
}
bool IsUnitTextChar(char c) {
    return IsDigit(c) || IsLetter(c) || c == '$' || c == '*' || c == '-' || c == '/' || c == '^' || c == '.';
}
bool IsOperator(char c) {
    return c == '*' || c == '/' || c == '^';
}

// The decimal conversion every number text goes through: an optional sign, digits with at most one
// point, an optional exponent. Nothing else is accepted ("-", "+.", "1e", "inf" all fail), nor is a
// value beyond the double range; a value too small for a double reads as zero.
bool ReadDecimal(std::string_view text, double& out) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) ++i;
    const std::size_t bodyStart = i;
    int digits = 0;
    // Decimal position of the first non-zero digit, to tell underflow from overflow.
    long long firstNonZero = 0;
    bool seenNonZero = false;
    long long integerDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        if (!seenNonZero && text[i] != '0') {
            seenNonZero = true;
            firstNonZero = integerDigits;
        }
        ++integerDigits;
        ++digits;
        ++i;
    }
    long long fraction = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++fraction;
            if (!seenNonZero && text[i] != '0') {
                seenNonZero = true;
                firstNonZero = -fraction;
            }
            ++digits;
            ++i;
        }
    }
    if (digits == 0) return false;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
        int exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000000LL);
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0) return false;
        if (negativeExponent) exponent = -exponent;
    }
    if (i != text.size()) return false;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data() + bodyStart, text.data() + text.size(), value);
    if (end != text.data() + text.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        // Magnitude of the leading digit: integer digits before it count up, fraction digits down.
        const long long magnitude =
            (firstNonZero >= 0 ? integerDigits - firstNonZero - 1 : firstNonZero) + exponent;
        if (magnitude >= 0) return false;
        value = 0;
    } else if (ec != std::errc()) {
        return false;
    }
    out = negative ? -value : value;
    return std::isfinite(out);
}

// A unit exponent as unit texts write it: general format with 2 significant digits ("2", "0.5",
// "0.33", "1.2E+2", "5E-6").
std::string ExponentText(double x) {
    if (x >= 1 && x < 100 && x == std::trunc(x)) return std::to_string(static_cast<int>(x));
    if (x == 0) return "0";
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 1);
    if (ec != std::errc()) return "?";
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    std::string sign;
    if (text.front() == '-') {
        sign = "-";
        text.remove_prefix(1);
    }
    if (text.find('e') == std::string_view::npos) return sign + std::string(text); // inf, nan
    std::string digits{text[0]};
    if (text[2] != '0') digits += text[2];
    int exponent = 0;
    const auto e = text.find('e');
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    const auto mantissa = digits.size() == 1 ? digits : digits.substr(0, 1) + "." + digits.substr(1);
    if (exponent >= 2 || std::fabs(x) < 0.00001)
        return sign + mantissa + (exponent < 0 ? "E-" : "E+") + std::to_string(std::abs(exponent));
    if (exponent == 1) return sign + digits + (digits.size() == 1 ? "0" : "");
    if (exponent == 0) return sign + mantissa;
    return sign + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
}

// The value an exponent has after it has been written as unit text and read back.
bool RoundExponent(double x, double& out) {
    if (x >= 1 && x < 100 && x == std::trunc(x)) {
        out = x;
        return true;
    }
    return ReadDecimal(ExponentText(x), out);
}

// Half to the even neighbour.
double RoundHalfEven(double x) {
    const double floor = std::floor(x);
    const double rest = x - floor;
    if (rest > 0.5) return floor + 1;
    if (rest < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

// ---------------------------------------------------------------------------
// Unit lists
// ---------------------------------------------------------------------------

// Plain aggregates, so that the scratch arrays below cost nothing to set up.
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
        entries[count++] = {unit, exponent};
        return true;
    }
};

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
    return unit >= 1 && unit <= UnitSlotCount;
}

// Sums each unit's exponents (numerator positive, denominator negative, numerator entries first, each
// list in its order) and rebuilds both lists in unit-number order. Fails when a list would not fit
// or an exponent is not finite.
bool Reduce(const Entry* num, int numCount, const Entry* den, int denCount, TUnitLists& out) {
    std::array<Entry, 2 * RawList::Capacity> sums;
    int distinct = 0;
    auto add = [&](const Entry& e, double sign) {
        for (int i = 0; i < distinct; ++i)
            if (sums[i].unit == e.unit) {
                sums[i].exponent += sign * e.exponent;
                return;
            }
        sums[distinct++] = {e.unit, sign * e.exponent};
    };
    for (int i = 0; i < numCount; ++i) add(num[i], 1);
    for (int i = 0; i < denCount; ++i) add(den[i], -1);
    std::sort(sums.begin(), sums.begin() + distinct,
              [](const Entry& a, const Entry& b) { return a.unit < b.unit; });
    out = EmptyUnitLists();
    std::array<int, 2> counts{0, 0};
    for (int i = 0; i < distinct; ++i) {
        const double sum = sums[i].exponent;
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
        int unit = 0;
        if (!name.empty()) {
            unit = FindUnit(name);
            if (unit == 0) return fail(_NotInList);
        }
        bool switchLists = false;
        if (i < text.size()) {
            const char op = text[i++];
            if (op == '/') {
                switchLists = true;
            } else if (op == '^') {
                const std::size_t exponentStart = i;
                while (i < text.size() && !IsOperator(text[i])) ++i;
                if (i == exponentStart) return fail(_UnitProblem);
                if (!ReadDecimal(text.substr(exponentStart, i - exponentStart), exponent))
                    return fail(_UnitProblem);
                // A "/" after the exponent is used up here; any other operator is read again.
                if (i < text.size() && text[i] == '/') {
                    switchLists = true;
                    ++i;
                }
            }
        }
        if (unit != 0) {
            const int list = exponent < 0 ? 1 - current : current;
            if (lists[list].count >= maxPerList || !lists[list].Add(unit, std::fabs(exponent)))
                return fail(_UnitProblem);
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

// The base-unit pair of a reduced unit pair. Gives the same lists as rendering the pair with base
// expansions, joining the groups with SimplifyBaseText and parsing the result: the entries are laid
// out in the order that text would hold them, exponents pass through their 2-digit text, and the
// sums are taken in the same order.
bool BaseListsOf(const TUnitLists& lists, TUnitLists& base) {
    // The joined text is N "/" D: a numerator group writes its top part into N and its bottom part
    // into D, a denominator group the other way round.
    std::array<RawList, 2> parts; // N, D: entries with signed exponents, in text order
    for (int list = 0; list < 2; ++list) {
        const int n = EntryCount(lists, list);
        for (int k = 0; k < n; ++k) {
            const Entry entry = EntryAt(lists, list, k);
            if (!ValidSlot(entry.unit)) return false;
            const auto& info = unitcat::Slot(entry.unit);
            if (entry.exponent == 1) {
                // Written without an exponent: the expansion's own text, signs and order as stored.
                for (int t = 0; t < info.termCount; ++t)
                    if (!parts[list].Add(unitcat::BaseSlots[info.terms[t].base], info.terms[t].exponent))
                        return false;
                continue;
            }
            double groupExponent = 0;
            if (!RoundExponent(entry.exponent, groupExponent)) return false;
            // Raised: the group is parsed (sorted by base unit), scaled and written again as
            // top/bottom with 2-digit exponents.
            for (int side = 0; side < 2; ++side) {
                RawList& part = parts[side == 0 ? list : 1 - list];
                for (int t = 0; t < info.termCount; ++t) {
                    const unitcat::BaseTerm& term = info.sortedTerms[t];
                    if ((term.exponent > 0) != (side == 0)) continue;
                    double scaled = 0;
                    if (!RoundExponent(std::abs(term.exponent) * groupExponent, scaled)) return false;
                    if (!part.Add(unitcat::BaseSlots[term.base], scaled)) return false;
                }
            }
        }
    }
    // Reading N then D: a negative exponent goes to the other list.
    std::array<RawList, 2> read;
    for (int side = 0; side < 2; ++side)
        for (int k = 0; k < parts[side].count; ++k) {
            const Entry& e = parts[side].entries[k];
            const int list = e.exponent < 0 ? 1 - side : side;
            if (!read[list].Add(e.unit, std::fabs(e.exponent))) return false;
        }
    return Reduce(read[0].entries.data(), read[0].count, read[1].entries.data(), read[1].count, base);
}

// ---------------------------------------------------------------------------
// Conversion rules
// ---------------------------------------------------------------------------

// Saybolt seconds to m^2/sec. Times at which the formulas give a negative viscosity (below about
// 29.4 seconds, and any time not above zero) have no viscosity: NaN.
double SayboltToBase(double t) {
    double stokes;
    if (t == 1)
        stokes = (0.00226 * t + -1.95 / t + 0.0022 * t + -1.35 / t) / 2;
    else if (t <= 100)
        stokes = 0.00226 * t + -1.95 / t;
    else
        stokes = 0.0022 * t + -1.35 / t;
    if (!(t > 0) || !(stokes >= 0)) return NaN;
    return stokes * unitcat::Slot(RuleSlot::St).inverse;
}

// m^2/sec to Saybolt seconds; a negative viscosity has no Saybolt time.
double SayboltFromBase(double value) {
    const double stokes = value * unitcat::Slot(RuleSlot::St).factor;
    if (!(stokes >= 0)) return NaN;
    const bool low = stokes <= 0.2065;
    const double c = low ? 0.00226 : 0.0022;
    const double a = low ? -1.95 : -1.35;
    return (std::sqrt(stokes * stokes - 4 * c * a) + stokes) / (2 * c);
}

double TemperatureRule(int unit, double value, bool toBase) {
    const auto& f = unitcat::Slot(RuleSlot::F);
    switch (unit) {
    case RuleSlot::F:
        return toBase ? (value - 32) * f.inverse : f.factor * value + 32;
    case RuleSlot::K: {
        const auto& k = unitcat::Slot(RuleSlot::K);
        return toBase ? value + k.inverse : value + k.factor;
    }
    case RuleSlot::R: {
        const auto& r = unitcat::Slot(RuleSlot::R);
        return toBase ? (value + r.inverse - 32) * f.inverse : f.factor * value + 32 + r.factor;
    }
    default: // C
        return value;
    }
}

// The factor of a unit inside a larger expression. "K" and "R" count as intervals there, equal to
// "C" and "F" intervals; "SUS" takes its rule applied to one.
double CompoundFactor(int unit, bool useInverse) {
    switch (unit) {
    case RuleSlot::K:
        return 1;
    case RuleSlot::R:
        unit = RuleSlot::F;
        break;
    case RuleSlot::SUS:
        return useInverse ? SayboltToBase(1) : SayboltFromBase(1);
    default:
        break;
    }
    const auto& info = unitcat::Slot(unit);
    return useInverse ? info.inverse : info.factor;
}

bool IsRuleUnit(int unit) {
    return (unit >= RuleSlot::C && unit <= RuleSlot::R) || unit == RuleSlot::SUS;
}

} // namespace

// ---------------------------------------------------------------------------
// Parser
// ---------------------------------------------------------------------------

TUnitLists EmptyUnitLists() {
    TUnitLists lists;
    lists.fill(FreeMark);
    lists[0] = 0;
    lists[16] = 0;
    return lists;
}

std::string StripIgnoredChars(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (!IsIgnored(c)) out += c;
    return out;
}

NormalizedQuantity NormalizeQuantityText(std::string_view input) {
    NormalizedQuantity result;
    if (input.empty()) return result;
    // Currency texts carry "$" before their digits; drop it so they read back as their number.
    const std::string unprefixed = StripCurrencyPrefix(input);
    input = unprefixed;
    std::string prefixed;
    std::string_view text = input;
    if (IsExponentMark(text[0])) {
        prefixed.reserve(input.size() + 1);
        prefixed += '1';
        prefixed.append(input);
        text = prefixed;
    }
    // Number part.
    std::string number;
    bool seenMark = false, seenPoint = false;
    std::size_t mark = 0, i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (IsExponentMark(c)) {
            if (seenMark) break;
            seenMark = true;
            mark = i;
            number += 'E';
            i += (c == 'X' || c == 'x') ? 3 : 1; // the "10" of 2.5x10-3 is skipped
            continue;
        }
        if (!IsNumberChar(c)) break;
        if (c == '.') {
            if (!seenPoint) number += c;
            seenPoint = true;
        } else {
            number += c;
        }
        ++i;
    }
    std::size_t unitStart = std::min(i, text.size());
    // An "e" directly before a letter starts the unit (5erg is 5 and erg).
    if (i < text.size() && seenMark && mark + 1 == i && (text[mark] == 'E' || text[mark] == 'e')) {
        number.pop_back();
        unitStart = mark;
    }
    if (number.empty()) {
        result.number = 1;
    } else if (const auto e = number.find('E'); e != std::string::npos) {
        double exponent = 0;
        std::string_view mantissa = std::string_view(number).substr(0, e);
        // The exponent is read as a number of its own and rounded to a whole one.
        if (!ReadDecimal(std::string_view(number).substr(e + 1), exponent) || mantissa.empty()) {
            result.ok = false;
        } else {
            const double whole = std::clamp(RoundHalfEven(exponent), -1e6, 1e6);
            result.ok = ReadDecimal(std::string(mantissa) + "E" + std::to_string(static_cast<long>(whole)),
                                    result.number);
        }
    } else {
        result.ok = ReadDecimal(number, result.number);
    }
    // Unit part.
    std::string& units = result.unitText;
    units.reserve(text.size() - unitStart);
    for (i = unitStart; i < text.size();) {
        const char c = text[i];
        if (!IsUnitTextChar(c)) {
            ++i;
        } else if (c == '^') {
            // The exponent is the run of number characters after "^"; a second "-" ends it, and a
            // "-" that ends it is an operator.
            units += c;
            const std::size_t start = ++i;
            bool minus = false;
            while (i < text.size() && IsNumberChar(text[i])) {
                if (text[i] == '-') {
                    if (minus) break;
                    minus = true;
                }
                ++i;
            }
            if (i > start && text[i - 1] == '-') --i;
            units.append(text.substr(start, i - start));
        } else {
            units += c == '-' ? '*' : c;
            ++i;
        }
    }
    return result;
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

std::string RenderUnitLists(const TUnitLists& lists, RenderKind kind) {
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
                text += ExponentText(e.exponent);
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
            if (!ReadDecimal(text.substr(start, i - start), group.exponent))
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
            for (int list = 0; list < 2; ++list)
                for (int k = 0, n = EntryCount(parsed.lists, list); k < n; ++k)
                    parsed.lists[list * 16 + 2 + 2 * k] *= group.exponent;
            groupText = RenderUnitLists(parsed.lists, RenderKind::Names);
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
        ShowEngineMessage("Exception in Combine");
        return std::string();
    }
}

// ---------------------------------------------------------------------------
// Quantity
// ---------------------------------------------------------------------------

std::optional<TNumberUnits::Parsed> TNumberUnits::ParseQuantity(std::string_view strippedText) {
    const NormalizedQuantity normalized = NormalizeQuantityText(strippedText);
    if (!normalized.ok) return std::nullopt;
    const ParseResult own = ParseUnitList(normalized.unitText);
    if (!own.ok) return std::nullopt;
    return FromLists(normalized.number, own.lists);
}

std::optional<TNumberUnits::Parsed> TNumberUnits::FromLists(double number, const TUnitLists& lists) {
    Parsed parsed;
    parsed.number = number;
    parsed.lists = lists;
    // A value the rules cannot convert (a Saybolt time without a viscosity) is NaN here; only SetText
    // uses the base value, and it refuses that.
    parsed.baseValue = ConvertUnitLists(number, lists, true, nullptr);
    TUnitLists base;
    if (!BaseListsOf(lists, base)) return std::nullopt;
    parsed.baseUnitsText = RenderUnitLists(base, RenderKind::Expansions);
    parsed.signature = DimensionSignature(base);
    return parsed;
}

double TNumberUnits::ConvertUnitLists(double value, const TUnitLists& lists, bool toBase, std::string* text) {
    if (text) *text = RenderUnitLists(lists, toBase ? RenderKind::Expansions : RenderKind::Names);
    const int numCount = EntryCount(lists, 0);
    const int denCount = EntryCount(lists, 1);
    if (numCount == 1 && denCount == 0) {
        const int unit = EntryAt(lists, 0, 0).unit;
        if (unit == RuleSlot::SUS) return toBase ? SayboltToBase(value) : SayboltFromBase(value);
        if (IsRuleUnit(unit)) return TemperatureRule(unit, value, toBase);
    }
    for (int list = 0; list < 2; ++list) {
        const int n = list == 0 ? numCount : denCount;
        for (int k = 0; k < n; ++k) {
            const Entry e = EntryAt(lists, list, k);
            if (!ValidSlot(e.unit)) return NaN;
            const bool useInverse = (list == 0) == toBase;
            const double f = IsRuleUnit(e.unit) ? CompoundFactor(e.unit, useInverse)
                                                : (useInverse ? unitcat::Slot(e.unit).inverse
                                                              : unitcat::Slot(e.unit).factor);
            if (std::isnan(f)) return NaN;
            value *= e.exponent == 1 ? f : Power(f, e.exponent);
        }
    }
    return value;
}

TSignature TNumberUnits::DimensionSignature(const TUnitLists& baseLists) {
    std::array<double, unitcat::BaseUnitCount> exponents{};
    for (int list = 0; list < 2; ++list)
        for (int k = 0, n = EntryCount(baseLists, list); k < n; ++k) {
            const Entry e = EntryAt(baseLists, list, k);
            const auto& info = unitcat::Slot(e.unit);
            for (int t = 0; t < info.termCount; ++t)
                exponents[info.terms[t].base] += (list == 0 ? 1 : -1) * e.exponent * info.terms[t].exponent;
        }
    TSignature signature{};
    for (int b = 0, s = 0; b < unitcat::BaseUnitCount; ++b) {
        if (b == unitcat::RadIndex) continue;
        double rounded = exponents[b];
        // Compared at the precision unit texts show, so that 0.1 + 0.2 matches 0.3.
        if (rounded != 0 && RoundExponent(std::fabs(rounded), rounded))
            rounded = std::copysign(rounded, exponents[b]);
        signature[s++] = rounded;
    }
    return signature;
}

bool TNumberUnits::SetText(std::string_view text) {
    try {
        const std::string stripped = StripIgnoredChars(text);
        if (stripped.empty()) {
            ErrorCode = _NoEntry;
            return true;
        }
        ClearError();
        return Take(ParseQuantity(stripped));
    } catch (...) {
        ErrorFlag = true;
        ErrorCode = _UnitProblem;
        return false;
    }
}

bool TNumberUnits::SetValue(double number, const TUnitLists& lists) {
    try {
        ClearError();
        bool fractional = false;
        for (int list = 0; list < 2; ++list)
            for (int k = 0, n = EntryCount(lists, list); k < n; ++k) {
                const double e = EntryAt(lists, list, k).exponent;
                fractional = fractional || e != std::trunc(e);
            }
        if (!fractional) return Take(FromLists(number, lists));
        // Unit texts carry exponents to two digits: the lists become what their text reads as.
        const ParseResult read = ParseUnitList(RenderUnitLists(lists, RenderKind::Names));
        if (!read.ok) return Take(std::nullopt);
        return Take(FromLists(number, read.lists));
    } catch (...) {
        ErrorFlag = true;
        ErrorCode = _UnitProblem;
        return false;
    }
}

bool TNumberUnits::Take(std::optional<Parsed> parsed) {
    if (!parsed || !std::isfinite(parsed->baseValue)) {
        ErrorFlag = true;
        ErrorCode = _UnitProblem;
        return false;
    }
    std::string units = RenderUnitLists(parsed->lists, RenderKind::Names);
    UnitLists = parsed->lists;
    Signature = parsed->signature;
    Value = parsed->number;
    BaseValue = parsed->baseValue;
    BaseUnitsText = std::move(parsed->baseUnitsText);
    Units = std::move(units);
    Empty = false;
    return true;
}

std::string TNumberUnits::GetText() const {
    if (Empty) return std::string();
    const std::string number = Format == ffExponent ? FloatToText(Value, ffExponent, Digits + 1, Digits)
                                                    : FloatToText(Value, Format, Precision, Digits);
    return number + " " + Units;
}

bool TNumberUnits::ConvertTo(std::string_view target) {
    ClearError();
    const auto parsed = ParseQuantity(StripIgnoredChars(target));
    if (!parsed) {
        ErrorFlag = true;
        ErrorCode = _UnitProblem;
        throw ENumberException("Unit problem-check the units entered");
    }
    if (!SameDimensions(parsed->signature, Signature)) {
        ErrorFlag = true;
        ErrorCode = _UnitIncomp;
        return false;
    }
    std::string units;
    const double value = ConvertUnitLists(BaseValue, parsed->lists, false, &units);
    if (!std::isfinite(value)) {
        ErrorFlag = true;
        ErrorCode = _UnitProblem;
        return false;
    }
    UnitLists = parsed->lists;
    Value = value;
    Units = std::move(units);
    Signature = parsed->signature;
    return true;
}

void TNumberUnits::ConvertToPreferred() {
    if (Empty) return;
    if (const auto target = PreferredUnitFor(BaseUnitsText)) ConvertTo(*target);
}

bool TNumberUnits::RaiseToPower(double x) {
    if (Empty) return false;
    ClearError();
    auto fail = [this](TErrors code) {
        ErrorFlag = true;
        ErrorCode = code;
        return false;
    };
    if (!std::isfinite(x)) return fail(_UnitProblem);
    // Zero has no negative power at all, not only no -1st.
    if (Value == 0 && x < 0) return fail(_DivideByZero);
    const double value = Power(Value, x);
    // Power has already shown why a negative number has no fractional power.
    if (Value < 0 && x != std::trunc(x)) return fail(_UnitProblem);
    if (!std::isfinite(value)) return fail(_UnitProblem);
    // The new exponents are written into the list they belong to, so that no exponent text carries
    // a sign (a signed exponent in E notation would not read back).
    std::array<std::string, 2> parts;
    for (int list = 0; list < 2; ++list)
        for (int k = 0, n = EntryCount(UnitLists, list); k < n; ++k) {
            const Entry e = EntryAt(UnitLists, list, k);
            const double exponent = e.exponent * x;
            if (!std::isfinite(exponent)) return fail(_UnitProblem);
            std::string& part = parts[exponent < 0 ? 1 - list : list];
            if (!part.empty()) part += '*';
            part += UnitName(e.unit) + "^" + NumberText(std::fabs(exponent));
        }
    return SetText(NumberText(value) + " *" + parts[0] + "/" + parts[1]);
}

bool TNumberUnits::IsSUS() const {
    return !Empty && EntryCount(UnitLists, 0) == 1 && EntryAt(UnitLists, 0, 0).unit == RuleSlot::SUS;
}

bool TNumberUnits::IsAngleOrUnitless() const {
    if (Empty) return false;
    const int n = EntryCount(UnitLists, 0);
    if (n == 0) return true;
    const int unit = EntryAt(UnitLists, 0, 0).unit;
    return n == 1 && unit >= 52 && unit <= 55;
}

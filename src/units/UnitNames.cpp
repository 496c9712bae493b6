#include "units/UnitNames.h"

#include "units/Exponent.h"
#include "units/NumberReading.h"
#include "units/NumberUnits.h"
#include "units/UnitCatalogue.h"
#include "units/Utf8Text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace unitnames {
namespace {

// Spellings engineers write for catalogue units and their compounds. A one-letter alias matches
// only in its own case: "H" is the henry's symbol and "S" the siemens', not the hour and second.
struct AliasRow {
    AliasInfo info;
    bool anyCase;
};
const AliasRow AliasRows[] = {
    {{"s", "sec", "second"}, false},
    {{"h", "hr", "hour"}, false},
    {{"second", "sec", "second"}, true},
    {{"seconds", "sec", "second"}, true},
    {{"minute", "min", "minute"}, true},
    {{"minutes", "min", "minute"}, true},
    {{"hour", "hr", "hour"}, true},
    {{"hours", "hr", "hour"}, true},
    {{"inch", "in", "inch"}, true},
    {{"inches", "in", "inch"}, true},
    {{"foot", "ft", "foot"}, true},
    {{"feet", "ft", "foot"}, true},
    {{"meter", "m", "metre"}, true},
    {{"meters", "m", "metre"}, true},
    {{"metre", "m", "metre"}, true},
    {{"metres", "m", "metre"}, true},
    {{"mph", "mi/hr", "mile per hour"}, true},
    {{"kph", "km/hr", "kilometre per hour"}, true},
    {{"rps", "rev/sec", "revolution per second"}, true},
    {{"cfm", "ft^3/min", "cubic foot per minute"}, true},
    {{"Nm", "N*m", "newton metre"}, true},
    {{"degC", "C", "degree Celsius"}, true},
    {{"degF", "F", "degree Fahrenheit"}, true},
    {{"lb", nullptr, "lbm (pound-mass) or lbf (pound-force)"}, true},
    {{"lbs", nullptr, "lbm (pound-mass) or lbf (pound-force)"}, true},
};

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

// An alias's unit text ("ft^3/min") in catalogue units; the texts are written with catalogue names
// only, so no alias stands on another.
Meaning MeaningOfText(std::string_view text) {
    Meaning meaning;
    double side = 1;
    while (!text.empty() && meaning.count < static_cast<int>(meaning.terms.size())) {
        const std::size_t end = text.find_first_of("*/");
        std::string_view term = text.substr(0, end);
        double exponent = 1;
        if (const auto caret = term.find('^'); caret != std::string_view::npos) {
            exponent = term[caret + 1] == '-' ? -(term[caret + 2] - '0') : term[caret + 1] - '0';
            term = term.substr(0, caret);
        }
        meaning.terms[meaning.count++] = {unitcat::FindExactUnit(term), side * exponent};
        if (end == std::string_view::npos) break;
        if (text[end] == '/') side = -side;
        text = text.substr(end + 1);
    }
    return meaning;
}

struct ResolvedAlias {
    const AliasRow* row;
    Meaning meaning;
    std::string_view name;
    std::string upper; // the name in capitals, for the comparison without case
};
// The aliases sorted by their first letter in capitals, with the range of each letter.
struct AliasIndex {
    std::vector<ResolvedAlias> aliases;
    std::array<std::pair<int, int>, 256> byLetter{};
    std::pair<int, int> Range(std::string_view name) const {
        return name.empty() ? std::pair{0, 0} : byLetter[static_cast<unsigned char>(UpperAscii(name[0]))];
    }
};
const AliasIndex& Aliased() {
    static const AliasIndex index = [] {
        AliasIndex built;
        for (const AliasRow& row : AliasRows) {
            ResolvedAlias alias{&row, row.info.meaning ? MeaningOfText(row.info.meaning) : Meaning{},
                                row.info.name, row.info.name};
            for (char& c : alias.upper) c = UpperAscii(c);
            built.aliases.push_back(std::move(alias));
        }
        std::stable_sort(built.aliases.begin(), built.aliases.end(),
                         [](const auto& a, const auto& b) { return a.upper[0] < b.upper[0]; });
        for (int i = static_cast<int>(built.aliases.size()) - 1; i >= 0; --i) {
            auto& range = built.byLetter[static_cast<unsigned char>(
                built.aliases[static_cast<std::size_t>(i)].upper[0])];
            if (range.second == 0) range.second = i + 1;
            range.first = i;
        }
        return built;
    }();
    return index;
}
const std::vector<ResolvedAlias>& ResolvedAliases() {
    return Aliased().aliases;
}

Resolution FromAlias(const ResolvedAlias& alias, Meaning& meaning) {
    if (!alias.row->info.meaning) return Resolution::Ambiguous;
    meaning = alias.meaning;
    return Resolution::Found;
}

// ---- messages ------------------------------------------------------------------------------------

constexpr const char* DidYouMean = " \xE2\x80\x94 did you mean "; // " — did you mean "

// Edit distance with transpositions, without regard to letter case; both names are short (a
// longer one is never near a unit name).
int Distance(std::string_view a, std::string_view b) {
    constexpr std::size_t Longest = 16;
    if (a.size() > Longest || b.size() > Longest) return static_cast<int>(std::max(a.size(), b.size()));
    std::array<std::array<int, Longest + 1>, Longest + 1> d{};
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int cost = UpperAscii(a[i - 1]) == UpperAscii(b[j - 1]) ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && UpperAscii(a[i - 1]) == UpperAscii(b[j - 2]) &&
                UpperAscii(a[i - 2]) == UpperAscii(b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// Names a parser reads, for suggestions: catalogue names that are single names, then aliases.
const std::vector<std::pair<std::string, bool>>& SuggestableNames() {
    static const std::vector<std::pair<std::string, bool>> list = [] {
        std::vector<std::pair<std::string, bool>> names; // name, prefixed
        for (int slot = 1; slot <= unitcat::EntryCapacity; ++slot) {
            const std::string& name = UnitName(slot);
            if (!name.empty() && name.find_first_of("*^") == std::string::npos)
                names.emplace_back(name, unitcat::OriginOf(slot).prefix != nullptr);
        }
        for (const AliasRow& row : AliasRows)
            if (row.info.meaning) names.emplace_back(row.info.name, false);
        return names;
    }();
    return list;
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

// The nearest known names: the fewest edits, then the closest length, plain names before prefixed
// ones; nothing when even the nearest is too far to be a slip of the hand.
std::vector<std::string> NearestNames(std::string_view name) {
    const int limit = name.size() <= 3 ? 1 : 2;
    struct Candidate {
        int distance;
        int lengthDifference;
        bool prefixed;
        std::string name;
    };
    std::vector<Candidate> candidates;
    for (auto& [known, prefixed] : SuggestableNames()) {
        // A name that differs only by case from one read in its own case only ("H" for "h") is the
        // nearest of all.
        const int distance = Distance(name, known);
        if (known == name || distance > limit) continue;
        const int lengthDifference = std::abs(static_cast<int>(known.size()) - static_cast<int>(name.size()));
        candidates.push_back({distance, lengthDifference, prefixed, known});
    }
    if (candidates.empty()) return {};
    const auto key = [](const Candidate& c) {
        return std::tuple(c.distance, c.lengthDifference, c.prefixed);
    };
    const auto best = key(*std::min_element(candidates.begin(), candidates.end(),
                                            [&](const auto& a, const auto& b) { return key(a) < key(b); }));
    std::vector<std::string> nearest;
    for (const Candidate& c : candidates)
        if (key(c) == best && nearest.size() < 3) nearest.push_back(c.name);
    return nearest;
}

// A text is quoted by its first 80 characters at most, so a huge entry keeps its message small.
std::string Quoted(std::string_view text) {
    constexpr std::size_t shown = 80;
    if (text.size() > shown) return "\"" + std::string(text.substr(0, shown)) + "...\"";
    return "\"" + std::string(text) + "\"";
}

std::string WithSuggestions(std::string statement, std::string_view name) {
    if (name.size() > 32) return statement; // nothing in the catalogue is near so long a name
    const std::vector<std::string> nearest = NearestNames(name);
    if (!nearest.empty()) statement += DidYouMean + JoinNames(nearest) + "?";
    return statement;
}

// Why one name of a unit text does not read, or "" when it does.
std::string NameProblem(std::string_view name) {
    if (name.size() >= 8)
        return WithSuggestions("unit name " + Quoted(name) + " is longer than 7 letters", name);
    Meaning meaning;
    switch (Resolve(name, meaning)) {
    case Resolution::Found:
        return {};
    case Resolution::Unknown:
        return WithSuggestions("no unit " + Quoted(name), name);
    case Resolution::Ambiguous:
        break;
    }
    for (const ResolvedAlias& alias : ResolvedAliases())
        if (!alias.row->info.meaning && EqualIgnoringCase(alias.row->info.name, name))
            return Quoted(name) + " is ambiguous" + DidYouMean + alias.row->info.note + "?";
    std::vector<int> slots;
    unitcat::FindUnitIgnoringCase(name, &slots);
    std::vector<std::string> names;
    for (int slot : slots) names.push_back(UnitName(slot));
    for (const ResolvedAlias& alias : ResolvedAliases())
        if (alias.row->anyCase && EqualIgnoringCase(alias.row->info.name, name))
            names.push_back(alias.row->info.name);
    return Quoted(name) + " is ambiguous" + DidYouMean + JoinNames(names) + "?";
}

// Why a unit text (as the number reader leaves it) does not read, walking it as the parser does.
std::string UnitTextProblem(std::string_view text) {
    std::size_t i = 0;
    const auto isOperator = [](char c) { return c == '*' || c == '/' || c == '^'; };
    while (i < text.size()) {
        const std::size_t start = i;
        while (i < text.size() && !isOperator(text[i])) ++i;
        if (i > start) {
            if (std::string problem = NameProblem(text.substr(start, i - start)); !problem.empty())
                return problem;
        }
        if (i < text.size() && text[i++] == '^') {
            const std::size_t exponentStart = i;
            while (i < text.size() && !isOperator(text[i])) ++i;
            const std::string_view exponent = text.substr(exponentStart, i - exponentStart);
            double value = 0;
            if (exponent.empty()) return "\"^\" without an exponent";
            if (!unitdetail::ReadExponent(exponent, value))
                return "exponent " + Quoted(exponent) + " is not a number";
            if (i < text.size() && text[i] == '/') ++i;
        }
    }
    if (!ParseUnitList(text).ok) return "more than 7 units above or below the line";
    return {};
}

} // namespace

Resolution Resolve(std::string_view name, Meaning& meaning) {
    if (const int slot = unitcat::FindExactUnit(name)) {
        meaning.count = 1;
        meaning.terms[0] = {slot, 1};
        return Resolution::Found;
    }
    const AliasIndex& index = Aliased();
    const auto [first, last] = index.Range(name);
    for (int i = first; i < last; ++i)
        if (name == index.aliases[static_cast<std::size_t>(i)].name)
            return FromAlias(index.aliases[static_cast<std::size_t>(i)], meaning);
    // Without regard to case: one catalogue name or one alias, not several.
    int slot = unitcat::FindUnitIgnoringCase(name);
    std::size_t matches = slot != 0 ? 1 : 0;
    if (slot == 0) {
        std::vector<int> slots;
        unitcat::FindUnitIgnoringCase(name, &slots);
        matches = slots.size();
    }
    const ResolvedAlias* found = nullptr;
    for (int i = first; i < last; ++i) {
        const ResolvedAlias& alias = index.aliases[static_cast<std::size_t>(i)];
        if (alias.row->anyCase && EqualIgnoringCase(name, alias.upper)) {
            found = &alias;
            ++matches;
        }
    }
    if (matches == 0) return Resolution::Unknown;
    if (matches > 1) return Resolution::Ambiguous;
    if (found) return FromAlias(*found, meaning);
    meaning.count = 1;
    meaning.terms[0] = {slot, 1};
    return Resolution::Found;
}

std::string DescribeProblem(std::string_view quantityText) {
    const std::string stripped = StripIgnoredChars(quantityText);
    if (stripped.empty()) return {};
    const NormalizedQuantity q = NormalizeQuantityText(stripped);
    if (!q.stray.empty()) return "character " + utf8text::QuoteCharacter(q.stray) + " is not part of a unit";
    if (!q.ok) return q.outOfRange ? std::string() : "the number does not read";
    return UnitTextProblem(q.unitText);
}

std::string OutOfRangeMessage(std::string_view quantityText) {
    const std::string stripped = StripIgnoredChars(quantityText);
    if (stripped.empty() || !NormalizeQuantityText(stripped).outOfRange) return {};
    // The number as written: digits, sign and point, and one exponent with its sign and digits.
    std::size_t end = 0;
    bool mark = false;
    while (end < stripped.size()) {
        const char c = stripped[end];
        const bool exponentMark = c == 'e' || c == 'E' || c == 'x' || c == 'X';
        if (exponentMark && mark) break;
        if (!exponentMark && !unitdetail::IsNumberChar(c)) break;
        mark = mark || exponentMark;
        ++end;
    }
    char limit[32];
    std::snprintf(limit, sizeof limit, "%.2g", std::numeric_limits<double>::max());
    return "Number out of range: " + stripped.substr(0, end) + " is beyond the largest number, " + limit;
}

std::string OneLineMessage(std::string_view message) {
    std::string text;
    std::size_t start = 0;
    while (start <= message.size()) {
        const std::size_t end = std::min(message.find('\n', start), message.size());
        std::string line(message.substr(start, end - start));
        const std::string_view dash = DidYouMean;
        if (const auto at = line.find(dash); at != std::string::npos)
            line = line.substr(0, at) + " (did you mean " + line.substr(at + dash.size()) + ")";
        if (!text.empty()) text += ": ";
        text += line;
        start = end + 1;
    }
    return text;
}

const std::vector<AliasInfo>& Aliases() {
    static const std::vector<AliasInfo> list = [] {
        std::vector<AliasInfo> infos;
        for (const AliasRow& row : AliasRows) infos.push_back(row.info);
        return infos;
    }();
    return list;
}

} // namespace unitnames

// The quantity type TNumberUnits, and the memory of unit texts already read.
#include "units/NumberUnits.h"

#include "units/ConversionRules.h"
#include "units/Exponent.h"
#include "units/FloatText.h"
#include "units/NumberReading.h"
#include "units/QuantityMath.h"
#include "units/TemperatureDifference.h"
#include "units/UnitCatalogue.h"
#include "units/UnitLists.h"
#include "units/UnitNames.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

using namespace unitdetail;

namespace {

// Everything a quantity takes from its unit text.
struct ParsedUnits {
    bool ok = false;
    TUnitLists lists = EmptyUnitLists();
    std::string units; // exact canonical text
    std::string baseUnitsText;
    TSignature signature{};
    ConversionSteps toBase, fromBase;
};

void Fill(ParsedUnits& units, const ParseResult& parsed) {
    TUnitLists base;
    units.ok = parsed.ok && BaseListsOf(parsed.lists, base);
    if (!units.ok) return;
    units.lists = parsed.lists;
    units.units = RenderUnitLists(parsed.lists, RenderKind::Names, ExponentForm::Exact);
    units.baseUnitsText = RenderUnitLists(base, RenderKind::Expansions);
    units.signature = TNumberUnits::DimensionSignature(base);
    units.toBase = StepsOf(parsed.lists, true);
    units.fromBase = StepsOf(parsed.lists, false);
}

// Unit texts repeat all the time (every stack entry of a session is read again at each step), and
// so do the unit lists of products and powers, so the last ones read are kept, two places per hash
// value. The catalogue never changes after start-up, so a kept reading stays right.
class UnitTextMemory {
public:
    const ParsedUnits& Lookup(std::string_view unitText) {
        auto [place, found] = PlaceFor(textPlaces_, textVictims_, HashText(unitText),
                                       [unitText](const TextPlace& p) { return SameText(p.key, unitText); });
        if (found) return place.units;
        place.key.assign(unitText);
        Fill(place.units, ParseUnitList(unitText));
        return place.units;
    }

    // Lists as given, reduced here. The canonical text of reduced lists reads back as the same
    // lists, so this is what reading that text would give.
    const ParsedUnits& LookupLists(const TUnitLists& lists) {
        auto [place, found] = PlaceFor(listPlaces_, listVictims_, HashLists(lists),
                                       [&lists](const ListPlace& p) { return SameEntries(p.key, lists); });
        if (found) return place.units;
        place.key = lists;
        ParseResult reduced;
        reduced.ok = true;
        reduced.lists = ReduceUnitLists(lists);
        Fill(place.units, reduced);
        return place.units;
    }

private:
    struct TextPlace {
        std::string key;
        ParsedUnits units;
    };
    struct ListPlace {
        TUnitLists key{};
        ParsedUnits units;
    };
    static constexpr std::size_t TextPlaces = 128;
    static constexpr std::size_t ListPlaces = 64;

    // Two places per hash value, so that two readings whose hashes meet both stay; a new reading
    // takes the place of the older of the two. A kept reading never moves. Places are made when
    // first taken: a short run uses few, and need not touch the memory of all.
    template <class Place, std::size_t N, class Same>
    static std::pair<Place&, bool> PlaceFor(std::array<std::unique_ptr<Place>, N>& places,
                                            std::array<bool, N / 2>& victims, std::size_t hash, Same same) {
        const std::size_t set = hash % (N / 2);
        std::unique_ptr<Place>& first = places[set * 2];
        std::unique_ptr<Place>& second = places[set * 2 + 1];
        if (first && same(*first)) return {*first, true};
        if (second && same(*second)) return {*second, true};
        const bool takeSecond = victims[set];
        victims[set] = !takeSecond;
        std::unique_ptr<Place>& taken = takeSecond ? second : first;
        if (!taken) taken = std::make_unique<Place>();
        return {*taken, false};
    }
    // Unit texts are short: comparing them here costs less than a library call.
    static bool SameText(const std::string& key, std::string_view text) {
        if (key.size() != text.size()) return false;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (key[i] != text[i]) return false;
        return true;
    }
    // Reading a list stops at its first free place, and does not look at the counts in front: two
    // lists whose entries up to there have the same bits reduce alike, whatever lies beyond.
    static bool SameEntries(const TUnitLists& a, const TUnitLists& b) {
        auto bits = [](double x) { return std::bit_cast<std::uint64_t>(x); };
        for (std::size_t first : {1, 17})
            for (std::size_t at = first; at < first + 2 * UnitListEntries; at += 2) {
                if (bits(a[at]) != bits(b[at])) return false;
                if (a[at] == FreeMark) break;
                if (bits(a[at + 1]) != bits(b[at + 1])) return false;
            }
        return true;
    }
    static std::size_t HashText(std::string_view text) {
        std::size_t h = 14695981039346656037ULL;
        for (char c : text) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        return h;
    }
    // The counts and first entries of both lists tell most lists apart.
    static std::size_t HashLists(const TUnitLists& lists) {
        std::uint64_t h = 0;
        for (int i : {0, 1, 2, 3, 4, 16, 17, 18, 19, 20})
            h = (h ^ std::bit_cast<std::uint64_t>(lists[static_cast<std::size_t>(i)])) *
                0x9E3779B97F4A7C15ULL;
        // The entries are small whole numbers, whose doubles differ only in their top bits: mix
        // those down, or every list would fall on the same place.
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDULL;
        h ^= h >> 33;
        return static_cast<std::size_t>(h);
    }
    std::array<std::unique_ptr<TextPlace>, TextPlaces> textPlaces_;
    std::array<std::unique_ptr<ListPlace>, ListPlaces> listPlaces_;
    std::array<bool, TextPlaces / 2> textVictims_{};
    std::array<bool, ListPlaces / 2> listVictims_{};
};

UnitTextMemory& Memory() {
    thread_local std::unique_ptr<UnitTextMemory> memory = std::make_unique<UnitTextMemory>();
    return *memory;
}

const ParsedUnits& LookupUnits(std::string_view unitText) {
    return Memory().Lookup(unitText);
}

// The number and unit text of a quantity text; unitText may point into text or into scratch.
bool SplitQuantity(std::string_view text, double& number, std::string_view& unitText, std::string& scratch) {
    if (SplitPlainQuantity(text, number, unitText)) return true;
    NormalizedQuantity normalized = NormalizeQuantityText(StripIgnoredChars(text));
    if (!normalized.ok) return false;
    number = normalized.number;
    scratch = std::move(normalized.unitText);
    unitText = scratch;
    return true;
}

bool IsBlankText(std::string_view text) {
    return StripIgnoredChars(text).empty();
}

bool Fail(TNumberUnits& q, TErrors code) {
    q.ErrorFlag = true;
    q.ErrorCode = code;
    return false;
}

// The message for a quantity text that does not read: the code's, with what failed on a second
// line; or, for a number beyond the double range, one that says so.
std::string ProblemMessage(std::string_view text, const std::string& first, bool baseOverflows) {
    if (std::string range = unitnames::OutOfRangeMessage(text); !range.empty()) return range;
    if (baseOverflows)
        return "Number out of range: the value of \"" + std::string(text) +
               "\" in base units is beyond 1.8e+308";
    const std::string detail = unitnames::DescribeProblem(text);
    return detail.empty() ? std::string() : first + "\n" + detail;
}

// Takes a number and its read unit text into the quantity; a failed reading leaves it as it was.
bool Assign(TNumberUnits& q, double number, const ParsedUnits& units) {
    const double base = units.ok ? units.toBase.Apply(number, true) : 0;
    if (!units.ok || !std::isfinite(base)) return Fail(q, _UnitProblem);
    q.UnitLists = units.lists;
    q.Signature = units.signature;
    q.Value = number;
    q.BaseValue = base;
    q.BaseUnitsText = units.baseUnitsText;
    q.Units = units.units;
    q.Empty = false;
    return true;
}

// Into read units of the same dimensions; BaseValue and BaseUnitsText stay as they are.
bool ConvertToUnits(TNumberUnits& q, const ParsedUnits& units) {
    if (!TNumberUnits::SameDimensions(units.signature, q.Signature)) return Fail(q, _UnitIncomp);
    double value = 0;
    switch (tempdiff::ConversionStep(q.UnitLists, units.lists)) {
    case tempdiff::Step::Refused:
        return Fail(q, _UnitIncomp);
    case tempdiff::Step::Interval:
        value = tempdiff::IntervalValue(q.Value, tempdiff::LoneUnit(q.UnitLists),
                                        tempdiff::LoneUnit(units.lists));
        q.BaseValue = units.toBase.Apply(value, true);
        break;
    case tempdiff::Step::Ordinary:
        value = units.fromBase.Apply(q.BaseValue, false);
        break;
    }
    if (!std::isfinite(value)) return Fail(q, _UnitProblem);
    q.UnitLists = units.lists;
    q.Value = value;
    q.Units = units.units;
    q.Signature = units.signature;
    return true;
}

} // namespace

std::optional<TNumberUnits::Parsed> TNumberUnits::ParseQuantity(std::string_view strippedText) {
    double number = 0;
    std::string_view unitText;
    std::string scratch;
    if (!SplitQuantity(strippedText, number, unitText, scratch)) return std::nullopt;
    const ParsedUnits& units = LookupUnits(unitText);
    if (!units.ok) return std::nullopt;
    Parsed parsed;
    parsed.number = number;
    parsed.lists = units.lists;
    // A value the rules cannot convert (a Saybolt time without a viscosity) is NaN here.
    parsed.baseValue = units.toBase.Apply(number, true);
    parsed.baseUnitsText = units.baseUnitsText;
    parsed.signature = units.signature;
    return parsed;
}

double TNumberUnits::ConvertUnitLists(double value, const TUnitLists& lists, bool toBase, std::string* text) {
    if (text)
        *text =
            RenderUnitLists(lists, toBase ? RenderKind::Expansions : RenderKind::Names, ExponentForm::Exact);
    return StepsOf(lists, toBase).Apply(value, toBase);
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
    for (int b = 0, s = 0; b < unitcat::BaseUnitCount; ++b)
        if (b != unitcat::RadIndex) signature[s++] = SnapExponent(exponents[b]);
    return signature;
}

bool TNumberUnits::SetText(std::string_view text) {
    double number = 0;
    std::string_view unitText;
    std::string scratch;
    if (!SplitPlainQuantity(text, number, unitText)) {
        if (IsBlankText(text)) {
            ErrorCode = _NoEntry;
            return true;
        }
        if (!SplitQuantity(text, number, unitText, scratch)) {
            ClearError();
            ProblemText = ProblemMessage(text, ErrorMessage(_UnitProblem), false);
            return Fail(*this, _UnitProblem);
        }
    }
    ClearError();
    const ParsedUnits& units = LookupUnits(unitText);
    if (Assign(*this, number, units)) return true;
    // Units that read, with a value that does not convert: beyond the double range in base units,
    // or without a meaning (a Saybolt time too short for any viscosity), which the code's message tells.
    if (units.ok && std::isinf(units.toBase.Apply(number, true)))
        ProblemText = ProblemMessage(text, ErrorMessage(_UnitProblem), true);
    else if (!units.ok)
        ProblemText = ProblemMessage(text, ErrorMessage(_UnitProblem), false);
    return false;
}

bool TNumberUnits::SetValue(double value) {
    if (Empty) return false;
    ClearError();
    if (!std::isfinite(value)) return Fail(*this, _UnitProblem);
    return Assign(*this, value, LookupUnits(Units));
}

bool TNumberUnits::SetQuantity(double value, const TUnitLists& lists) {
    ClearError();
    if (!std::isfinite(value)) return Fail(*this, _UnitProblem);
    return Assign(*this, value, Memory().LookupLists(lists));
}

void TNumberUnits::WriteNumber(NumberBuffer& out, Notation format, int digits, double value) const {
    WriteFloatText(out, value, format, format == Notation::Scientific ? digits + 1 : Precision, digits);
}

std::string TNumberUnits::FormatNumber(Notation format, int digits) const {
    NumberBuffer out;
    WriteNumber(out, format, digits);
    return out.Joined(nullptr);
}

std::string TNumberUnits::FormatNumber(Notation format, int digits, std::string_view units) const {
    NumberBuffer out;
    WriteNumber(out, format, digits);
    return out.Joined(&units);
}

std::string TNumberUnits::GetText() const {
    if (Empty) return std::string();
    return FormatNumber(Format, Digits, Units);
}

std::string TNumberUnits::DisplayUnits() const {
    return UnitsShowRounded() ? RenderUnitLists(UnitLists, RenderKind::Names) : Units;
}

bool TNumberUnits::UnitsShowRounded() const {
    return ExponentsShowRounded(UnitLists);
}

std::string TNumberUnits::GetDisplayText() const {
    if (Empty) return std::string();
    return FormatNumber(Format, Digits, DisplayUnits());
}

bool TNumberUnits::ConvertTo(std::string_view target) {
    ClearError();
    double number = 0;
    std::string_view unitText;
    std::string scratch;
    const ParsedUnits* units = nullptr;
    if (SplitQuantity(target, number, unitText, scratch)) units = &LookupUnits(unitText);
    if (!units || !units->ok) {
        Fail(*this, _UnitProblem);
        const std::string first = "Unit problem-check the units entered";
        const std::string message = ProblemMessage(target, first, false);
        throw ENumberException(message.empty() ? first : message);
    }
    return ConvertToUnits(*this, *units);
}

bool TNumberUnits::ValueInUnitsOf(const TNumberUnits& other, double& value) const {
    if (other.Empty) return false;
    const ParsedUnits& units = LookupUnits(other.Units);
    if (!units.ok || !SameDimensions(units.signature, Signature)) return false;
    switch (tempdiff::ConversionStep(UnitLists, units.lists)) {
    case tempdiff::Step::Refused:
        return false;
    case tempdiff::Step::Interval:
        value =
            tempdiff::IntervalValue(Value, tempdiff::LoneUnit(UnitLists), tempdiff::LoneUnit(units.lists));
        break;
    case tempdiff::Step::Ordinary:
        value = units.fromBase.Apply(BaseValue, false);
        break;
    }
    return std::isfinite(value);
}

void TNumberUnits::ConvertToPreferred() {
    if (Empty) return;
    if (const auto target = PreferredUnitFor(BaseUnitsText)) ConvertTo(*target);
}

double RoundedAsNumberText(double value) {
    return unitdetail::RoundThroughNumberText(value);
}

bool TNumberUnits::RaiseToPower(double x) {
    if (Empty) return false;
    ClearError();
    auto fail = [this](TErrors code) { return Fail(*this, code); };
    if (!std::isfinite(x)) return fail(_UnitProblem);
    // Zero has no negative power at all, not only no -1st.
    if (Value == 0 && x < 0) return fail(_DivideByZero);
    const double value = Power(Value, x);
    // A negative number has no fractional power; the caller names the reason (PowerMessage).
    if (Value < 0 && x != std::trunc(x)) return fail(_UnitProblem);
    if (!std::isfinite(value)) return fail(_UnitProblem);
    TUnitLists raised;
    if (!RaiseUnitLists(UnitLists, x, raised)) return fail(_UnitProblem);
    // A power keeps the 15 significant digits of a number text.
    const double rounded = RoundThroughNumberText(value);
    if (!std::isfinite(rounded)) return fail(_UnitProblem);
    return SetQuantity(rounded, raised);
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

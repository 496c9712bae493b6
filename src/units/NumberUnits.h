// Unit catalogue, unit-expression parser and the quantity type TNumberUnits.
#pragma once

#include "units/Notation.h"

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

class NumberBuffer;

// ---------------------------------------------------------------------------
// Catalogue
// ---------------------------------------------------------------------------

constexpr int UnitSlotCount = 153;

// Slot numbers of the base units; every expansion is written in these.
namespace BaseSlot {
constexpr int m = 9, kg = 29, sec = 50, rad = 52, C = 57, Coul = 133, USD = 145, Number = 147, Mole = 153;
}
// Slots that convert by rule rather than by factor alone.
namespace RuleSlot {
constexpr int C = 57, F = 58, K = 59, R = 60, St = 117, SUS = 119;
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

constexpr int PreferredRowCount = 19;
// Copies the U.S. or SI column into the current preferred units, following UnitSystem.
void SelectPreferredUnits();
// Current preferred unit text of a row (1..19).
const std::string& PreferredUnit(int row);
// The unit text ConvertToPreferred uses for a base-unit text, or nothing when no key matches.
std::optional<std::string> PreferredUnitFor(std::string_view baseUnitsText);

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

// ---------------------------------------------------------------------------
// Parser
// ---------------------------------------------------------------------------

// 2 x 16 doubles: [0] = 2 * entries, then (unit number, exponent) pairs; free places hold -9.
// Numerator in [0..15], denominator in [16..31]. At most 7 entries a list.
using TUnitLists = std::array<double, 32>;
constexpr int UnitListEntries = 7;
constexpr double FreeMark = -9;

TUnitLists EmptyUnitLists();

std::string StripIgnoredChars(std::string_view text);

struct NormalizedQuantity {
    double number = 1;
    std::string unitText;
    bool ok = true;          // false when the number part does not convert to a finite double, or
                             // the unit part holds a character that belongs to no unit text
    bool outOfRange = false; // the number is beyond the double range
    std::string stray;       // the first character of the unit part that belongs to no unit text
};
NormalizedQuantity NormalizeQuantityText(std::string_view text);

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

// The value a number takes after passing through its 15-significant-digit number text; plus or
// minus HUGE_VAL when that text is beyond the double range.
double RoundedAsNumberText(double value);

// Value in general format with 15 significant digits, one blank, the unit text; empty for a value
// that is not finite.
std::string CombineQuantityText(std::string_view unitText, double value);

// ---------------------------------------------------------------------------
// Quantity
// ---------------------------------------------------------------------------

class ENumberException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Dimensions of a base-unit expression: the exponents of m, kg, sec, C, Coul, $US, Number and Mole,
// exact ("rad" is no dimension). A pure number is all zeros.
using TSignature = std::array<double, 8>;

class TNumberUnits {
public:
    double BaseValue = 0;
    std::string BaseUnitsText;
    double Value = 0;
    std::string Units; // canonical, exponents in their exact form
    bool ErrorFlag = false;
    TErrors ErrorCode = _OK;
    int Precision = 18;
    std::uint8_t Digits = 15;
    Notation Format = Notation::General;
    TUnitLists UnitLists = EmptyUnitLists();
    TSignature Signature{};
    bool Empty = true;
    std::string ProblemText; // the whole error message when it says more than the code's

    bool SetText(std::string_view text); // never throws
    // A value and unit lists taken as they are, without a text (the lists are reduced first).
    bool SetQuantity(double value, const TUnitLists& lists);
    // A new value in the same units (false for a quantity without a value).
    bool SetValue(double value);
    // The number in the quantity's format, one blank, the units with exact exponents: a text that
    // reads back as the same quantity.
    std::string GetText() const;
    // As GetText, with the exponents shown to two significant digits.
    std::string GetDisplayText() const;
    double GetValue() const { return Value; }
    const std::string& GetUnits() const { return Units; }
    std::string DisplayUnits() const;
    // True when DisplayUnits differs from the exact units (an exponent shows rounded).
    bool UnitsShowRounded() const;
    void SetFormat(Notation format) { Format = format; }
    bool ConvertTo(std::string_view target); // throws ENumberException for an unreadable target
    // The value this quantity has in the units of another, read already; the quantity stays as it is.
    // False when the dimensions differ or the value does not convert.
    bool ValueInUnitsOf(const TNumberUnits& other, double& value) const;
    void ConvertToPreferred();
    bool RaiseToPower(double x);
    // The message of the error code, and a second line naming what failed when it is known; a
    // number out of range has a message of its own.
    std::string GetErrorText() const { return ProblemText.empty() ? ErrorMessage(ErrorCode) : ProblemText; }
    void ClearError() {
        ErrorFlag = false;
        ErrorCode = _OK;
        ProblemText.clear();
    }
    bool IsSUS() const;
    bool IsAngleOrUnitless() const;

    // Exposed for tests and tools.
    struct Parsed {
        double number = 0;
        TUnitLists lists = EmptyUnitLists();
        double baseValue = 0;
        std::string baseUnitsText;
        TSignature signature{};
    };
    static std::optional<Parsed> ParseQuantity(std::string_view strippedText);
    static double ConvertUnitLists(double value, const TUnitLists& lists, bool toBase, std::string* text);
    static TSignature DimensionSignature(const TUnitLists& baseLists);
    static bool SameDimensions(const TSignature& a, const TSignature& b) { return a == b; }
    // The value alone in a notation with the given digits, as GetText writes it.
    std::string FormatNumber(Notation format, int digits) const;
    // The same, one blank and the given unit text.
    std::string FormatNumber(Notation format, int digits, std::string_view units) const;
    // The value alone as FormatNumber writes it, into an empty NumberBuffer.
    void WriteNumber(NumberBuffer& out, Notation format, int digits) const {
        WriteNumber(out, format, digits, Value);
    }
    // Another value written the same way (the units of a stack entry are shared by entries).
    void WriteNumber(NumberBuffer& out, Notation format, int digits, double value) const;
};

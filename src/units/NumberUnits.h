// The quantity type TNumberUnits. Includes the unit catalogue, the unit lists, the number reader
// and the preferred units, which callers reach through this header.
#pragma once

#include "units/Notation.h"
#include "units/NumberReading.h"
#include "units/PreferredUnits.h"
#include "units/UnitCatalogue.h"
#include "units/UnitLists.h"

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

class NumberBuffer;

// The value a number takes after passing through its 15-significant-digit number text; plus or
// minus HUGE_VAL when that text is beyond the double range.
double RoundedAsNumberText(double value);

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

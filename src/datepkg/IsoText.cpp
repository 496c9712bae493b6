// ISO 8601 extended-format text in and out.
#include <algorithm>
#include <cmath>

#include "datepkg/CalendarMath.h"

namespace ostrel {

namespace {

// Reads the text left to right; any mismatch is the one "not an ISO 8601 date" error.
class TIsoScanner {
public:
    explicit TIsoScanner(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ == text_.size(); }
    bool Take(char c) {
        if (AtEnd() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    void Expect(char c) {
        if (!Take(c)) Fail();
    }
    // Between min and max digits; returns their value and how many there were.
    long long Digits(int min, int max, int* count = nullptr) {
        long long value = 0;
        int n = 0;
        while (n < max && !AtEnd() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            value = value * 10 + (text_[pos_++] - '0');
            ++n;
        }
        if (n < min) Fail();
        if (count) *count = n;
        return value;
    }
    [[noreturn]] void Fail() const {
        throw EDateError(TDateFault::_Syntax,
                         "not an ISO 8601 date: \"" + std::string(text_) +
                             "\" (expected YYYY-MM-DD, YYYY-MM-DDThh:mm or YYYY-MM-DDThh:mm:ss)");
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string TwoDigits(long long value) {
    return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

} // namespace

namespace detail {

std::string FormatYmd(int year, int month, int day) {
    // A month or day that two digits cannot show is written out, so that the text says what was given.
    if (month < 0 || month > 99 || day < 0 || day > 99)
        return "year " + std::to_string(year) + ", month " + std::to_string(month) + ", day " +
               std::to_string(day);
    std::string digits = std::to_string(std::abs(static_cast<long long>(year)));
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return (year < 0 ? "-" : "") + digits + "-" + TwoDigits(month) + "-" + TwoDigits(day);
}

TCalendarDate ParseIso(std::string_view text) {
    TIsoScanner in(text);
    TCalendarDate d;
    const bool minus = in.Take('-');
    if (!minus) in.Take('+');
    const long long year = in.Digits(4, 5);
    d.year = static_cast<int>(minus ? -year : year);
    in.Expect('-');
    d.month = static_cast<int>(in.Digits(2, 2));
    in.Expect('-');
    d.day = static_cast<int>(in.Digits(2, 2));
    if (in.AtEnd()) return d;
    in.Expect('T');
    d.hour = static_cast<int>(in.Digits(2, 2));
    in.Expect(':');
    d.minute = static_cast<int>(in.Digits(2, 2));
    if (in.Take(':')) {
        d.second = static_cast<double>(in.Digits(2, 2));
        if (in.Take('.') || in.Take(',')) {
            int places = 0;
            const long long fraction = in.Digits(1, 9, &places);
            d.second += static_cast<double>(fraction) / std::pow(10.0, places);
        }
    }
    in.Take('Z');
    if (!in.AtEnd()) in.Fail();
    return d;
}

} // namespace detail

std::string TJulianDate::ToIso(TCalendar calendar, int decimals) const {
    decimals = std::clamp(decimals, 0, 9);
    long long scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const long long dayUnits = 86400 * scale;
    // Round once, in whole units of the last printed decimal, and carry into the date.
    long long units = std::llround(second_ * static_cast<double>(scale));
    std::int64_t day = civilDay_;
    if (units >= dayUnits) {
        if (day + 1 < detail::EndDay) {
            ++day;
            units -= dayUnits;
        } else {
            units = dayUnits - 1;
        }
    }
    const detail::Ymd ymd = detail::DateOfDay(day, calendar);
    const long long whole = units / scale;
    std::string out = detail::FormatYmd(ymd.year, ymd.month, ymd.day) + "T" + TwoDigits(whole / 3600) + ":" +
                      TwoDigits(whole / 60 % 60) + ":" + TwoDigits(whole % 60);
    if (decimals > 0) {
        std::string fraction = std::to_string(units % scale);
        out += '.';
        out.append(static_cast<std::size_t>(decimals) - fraction.size(), '0');
        out += fraction;
    }
    return out;
}

} // namespace ostrel

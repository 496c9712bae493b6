// ostrel-jd: ISO 8601 date -> Julian Date, or with --date, Julian Date -> ISO 8601 date and time.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "datepkg/JulianDate.h"

namespace {

constexpr const char* Usage = "Usage: ostrel-jd [--gregorian | --julian] (DATE | --date JD)\n";

int UsageError(const char* reason) {
    std::fprintf(stderr, "ostrel-jd: %s\n%s", reason, Usage);
    return 2;
}

double ParseJD(const std::string& text) {
    char* end = nullptr;
    const double jd = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(jd))
        throw ostrel::EDateError("not a Julian Date: \"" + text + "\"");
    return jd;
}

} // namespace

int main(int argc, char* argv[]) {
    using ostrel::TCalendar;
    TCalendar calendar = TCalendar::_Mixed;
    bool calendarChosen = false;
    bool toDate = false;
    const char* value = nullptr;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!options || !arg.starts_with("--")) {
            // A single leading "-" is a negative year or JD, not an option.
            if (value != nullptr) return UsageError("one date or JD only");
            value = argv[i];
        } else if (arg == "--") {
            options = false;
        } else if (arg == "--help") {
            std::fputs(Usage, stdout);
            std::fputs("  DATE  YYYY-MM-DD[Thh:mm[:ss[.fff]]], years numbered astronomically (0 = 1 BC)\n"
                       "  --date JD     print the date and time of a Julian Date\n"
                       "  --gregorian   proleptic Gregorian calendar for every date\n"
                       "  --julian      proleptic Julian calendar for every date\n"
                       "  default: Julian calendar to 1582-10-04, Gregorian from 1582-10-15\n",
                       stdout);
            return 0;
        } else if (arg == "--gregorian" || arg == "--julian") {
            if (calendarChosen) return UsageError("choose one calendar");
            calendar = arg == "--gregorian" ? TCalendar::_Gregorian : TCalendar::_Julian;
            calendarChosen = true;
        } else if (arg == "--date") {
            toDate = true;
        } else {
            return UsageError("unknown option");
        }
    }
    if (value == nullptr) return UsageError(toDate ? "--date needs a JD" : "no date given");
    try {
        if (toDate) {
            std::printf("%s\n", ostrel::TJulianDate::FromJD(ParseJD(value)).ToIso(calendar).c_str());
        } else {
            std::printf("%.6f\n", ostrel::TJulianDate::FromIso(value, calendar).JD());
        }
    } catch (const ostrel::EDateError& e) {
        std::fprintf(stderr, "ERROR: %s\n", e.what());
        return 1;
    }
    return 0;
}

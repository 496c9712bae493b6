// ostrel-jd: ISO 8601 dates -> Julian Dates, or with --date, Julian Dates -> ISO 8601 dates and
// times; one value from the command line, or one a line from standard input.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "datepkg/JdNumber.h"
#include "datepkg/JulianDate.h"

namespace {

using ostrel::EDateError;
using ostrel::TCalendar;
using ostrel::TJulianDate;
using ostrel::jdtext::TScale;

constexpr const char* Usage = "Usage: ostrel-jd [OPTIONS] [DATE]\n"
                              "       ostrel-jd [OPTIONS] --date [JD]\n";
constexpr const char* Help =
    "Converts an ISO 8601 date and time to a Julian Date, or with --date a Julian Date to a date and\n"
    "time. Without DATE or JD, converts each line of standard input, one result a line.\n"
    "  DATE  YYYY-MM-DD[Thh:mm[:ss[.fff]]], years numbered astronomically (0 = 1 BC)\n"
    "  --date          read Julian Dates (or MJDs, JDNs) and print dates and times\n"
    "  --mjd           Modified Julian Dates (JD - 2400000.5) instead of JDs\n"
    "  --jdn           Julian Day Numbers: of a date, of the day holding a time, or the date of one\n"
    "  --decimals N    round to N decimals (0 to 20; of the second with --date, 0 to 9) instead of\n"
    "                  printing every digit a JD needs to read back the same\n"
    "  --gregorian     proleptic Gregorian calendar for every date\n"
    "  --julian        proleptic Julian calendar for every date\n"
    "  default: Julian calendar to 1582-10-04, Gregorian from 1582-10-15\n"
    "  -h, --help      this help; --version prints the version\n"
    "Exit status: 0 done, 1 a value could not be converted or the output not written, 2 bad usage.\n"
    "See ostrel-jd(1).\n";

enum class TNumber : std::uint8_t { _JD, _MJD, _JDN };

struct TOptions {
    TCalendar calendar = TCalendar::_Mixed;
    TNumber number = TNumber::_JD;
    bool toDate = false;
    int decimals = -1; // every digit needed
};

int UsageError(const std::string& reason) {
    std::fprintf(stderr, "ostrel-jd: %s\n%s", reason.c_str(), Usage);
    return 2;
}

std::int64_t ParseJdn(std::string_view text) {
    std::int64_t jdn = 0;
    const std::string_view digits = text.starts_with('+') ? text.substr(1) : text;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), jdn);
    if (error != std::errc() || end != digits.data() + digits.size() ||
        (text.starts_with('+') && digits.starts_with('-')))
        throw EDateError(ostrel::TDateFault::_Syntax,
                         "not a Julian Day Number: \"" + std::string(text) + "\"");
    return jdn;
}

std::string Convert(std::string_view value, const TOptions& o) {
    const TScale scale = o.number == TNumber::_MJD ? TScale::_MJD : TScale::_JD;
    if (o.toDate) {
        if (o.number == TNumber::_JDN) return TJulianDate::FromJDN(ParseJdn(value)).ToIsoDate(o.calendar);
        return ostrel::jdtext::Read(value, scale).ToIso(o.calendar, o.decimals < 0 ? 0 : o.decimals);
    }
    const TJulianDate t = TJulianDate::FromIso(value, o.calendar);
    if (o.number == TNumber::_JDN) {
        // A date alone names a calendar day, whose JDN is that of its noon; a time names an instant.
        const bool instant = value.find('T') != std::string_view::npos;
        return std::to_string(instant ? t.JDN() : static_cast<std::int64_t>(t.JD1() + 0.5));
    }
    return ostrel::jdtext::Write(t, scale, o.decimals);
}

// Each line of standard input; a line that cannot be converted gives an empty output line, so that
// the results stay in step with the input, and its reason on standard error.
bool ConvertLines(const TOptions& options) {
    std::ios::sync_with_stdio(false);
    bool allDone = true;
    std::string line;
    for (long number = 1; std::getline(std::cin, line) && !std::ferror(stdout); ++number) {
        if (line.ends_with('\r')) line.pop_back();
        try {
            const std::string result = Convert(line, options);
            std::fwrite(result.data(), 1, result.size(), stdout);
        } catch (const EDateError& e) {
            std::fprintf(stderr, "ERROR: line %ld: %s\n", number, e.what());
            allDone = false;
        }
        std::fputc('\n', stdout);
    }
    return allDone;
}

// The exit status once everything is written: a write that failed fails the run.
int Finish(bool allDone) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "ostrel-jd: cannot write the output: %s\n", std::strerror(errno));
        return 1;
    }
    return allDone ? 0 : 1;
}

bool ParseDecimals(std::string_view text, int* decimals) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *decimals);
    return !text.empty() && text[0] != '-' && error == std::errc() && end == text.data() + text.size() &&
           *decimals <= 20;
}

} // namespace

int main(int argc, char* argv[]) {
    TOptions options;
    bool calendarChosen = false, numberChosen = false, moreOptions = true;
    const char* value = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!moreOptions || (!arg.starts_with("--") && arg != "-h")) {
            // A single leading "-" is a negative year or JD, not an option.
            if (value != nullptr) return UsageError("one date or JD only");
            value = argv[i];
        } else if (arg == "--") {
            moreOptions = false;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            std::fputs(Help, stdout);
            return Finish(true);
        } else if (arg == "--version") {
            std::fputs("ostrel-jd " OSTREL_VERSION "\n", stdout);
            return Finish(true);
        } else if (arg == "--gregorian" || arg == "--julian") {
            if (calendarChosen) return UsageError("choose one calendar");
            options.calendar = arg == "--gregorian" ? TCalendar::_Gregorian : TCalendar::_Julian;
            calendarChosen = true;
        } else if (arg == "--mjd" || arg == "--jdn") {
            if (numberChosen) return UsageError("choose --mjd or --jdn");
            options.number = arg == "--mjd" ? TNumber::_MJD : TNumber::_JDN;
            numberChosen = true;
        } else if (arg == "--date") {
            options.toDate = true;
        } else if (arg == "--decimals" || arg.starts_with("--decimals=")) {
            const char* count = arg == "--decimals" ? (i + 1 < argc ? argv[++i] : "") : argv[i] + 11;
            if (!ParseDecimals(count, &options.decimals))
                return UsageError("--decimals needs a number from 0 to 20, not \"" + std::string(count) +
                                  "\"");
        } else {
            return UsageError("unknown option " + std::string(arg));
        }
    }
    if (options.decimals >= 0 && options.number == TNumber::_JDN)
        return UsageError("--decimals does not go with --jdn");
    if (options.decimals > 9 && options.toDate) return UsageError("--decimals of the second is 0 to 9");

    bool allDone = true;
    if (value == nullptr) {
        allDone = ConvertLines(options);
    } else {
        try {
            const std::string result = Convert(value, options);
            std::printf("%s\n", result.c_str());
        } catch (const EDateError& e) {
            std::fprintf(stderr, "ERROR: %s\n", e.what());
            allDone = false;
        }
    }
    return Finish(allDone);
}

// The class from C++20: Easter Sunday 2025 and its ISO 8601 week.
#include <cstdio>

#include <datepkg/JulianDate.h>

int main() {
    const ostrel::TJulianDate easter = ostrel::TJulianDate::EasterSunday(2025);
    const ostrel::TIsoWeekDate week = easter.ToIsoWeek();
    std::printf("%s %d-W%02d-%d\n", easter.ToIsoDate().c_str(), week.year, week.week, week.weekday);
    return 0;
}

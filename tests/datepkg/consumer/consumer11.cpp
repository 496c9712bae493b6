// The C interface from C++11: the weekday of J2000.0 (a Saturday, 6).
#include <cstdio>

#include <datepkg/ostrel.h>

int main() {
    std::printf("%d\n", ostrel_weekday(2451545.0, 0.0));
    return 0;
}

/* The C interface from a C99 program: a status for every kind of error, ISO text that never runs
 * past its buffer, and sub-microsecond round trips through the two-part JD. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "datepkg/ostrel.h"

static int failures = 0;

static void check(int ok, const char* what, int line) {
    if (!ok) {
        ++failures;
        fprintf(stderr, "ostrel_c_test.c:%d: %s\n", line, what);
    }
}
#define CHECK(condition) check((condition), #condition, __LINE__)

struct bad_date {
    int year, month, day, hour, minute;
    double second;
    int calendar;
    int status;
};

static void test_statuses(void) {
    static const struct bad_date cases[] = {
        {2000, 1, 1, 12, 0, 0.0, OSTREL_MIXED, OSTREL_OK},
        {2001, 2, 29, 0, 0, 0.0, OSTREL_MIXED, OSTREL_ERR_NO_SUCH_DATE},
        {2000, 13, 1, 0, 0, 0.0, OSTREL_MIXED, OSTREL_ERR_NO_SUCH_DATE},
        {1582, 10, 10, 0, 0, 0.0, OSTREL_MIXED, OSTREL_ERR_NO_SUCH_DATE},
        {1582, 10, 10, 0, 0, 0.0, OSTREL_GREGORIAN, OSTREL_OK},
        {2000, 1, 1, 24, 0, 0.0, OSTREL_MIXED, OSTREL_ERR_NO_SUCH_DATE},
        {2000, 1, 1, 0, 0, 60.0, OSTREL_MIXED, OSTREL_ERR_NO_SUCH_DATE},
        {10000, 1, 1, 0, 0, 0.0, OSTREL_MIXED, OSTREL_ERR_RANGE},
        {-10000, 1, 1, 0, 0, 0.0, OSTREL_JULIAN, OSTREL_ERR_RANGE},
        {2000, 1, 1, 0, 0, 0.0, 3, OSTREL_ERR_CALENDAR},
        {2000, 1, 1, 0, 0, 0.0, -1, OSTREL_ERR_CALENDAR},
    };
    size_t i;
    double jd1 = 0, jd2 = 0;
    int y, mo, d, h, mi, order = 0;
    double s;
    char text[OSTREL_ISO_SIZE];
    for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const struct bad_date* c = &cases[i];
        const int status = ostrel_to_jd(c->year, c->month, c->day, c->hour, c->minute, c->second,
                                        (ostrel_calendar)c->calendar, &jd1, &jd2);
        if (status != c->status) fprintf(stderr, "case %d: status %d\n", (int)i, status);
        CHECK(status == c->status);
    }
    CHECK(ostrel_to_jd(2000, 1, 1, 0, 0, NAN, OSTREL_MIXED, &jd1, &jd2) == OSTREL_ERR_NOT_FINITE);
    CHECK(ostrel_to_jd(2000, 1, 1, 0, 0, 0.0, OSTREL_MIXED, NULL, &jd2) == OSTREL_ERR_NULL);
    CHECK(ostrel_from_jd(INFINITY, 0.0, OSTREL_MIXED, &y, &mo, &d, &h, &mi, &s) == OSTREL_ERR_NOT_FINITE);
    CHECK(ostrel_from_jd(2451545.0, NAN, OSTREL_MIXED, &y, &mo, &d, &h, &mi, &s) == OSTREL_ERR_NOT_FINITE);
    CHECK(ostrel_from_jd(5373484.5, 0.0, OSTREL_MIXED, &y, &mo, &d, &h, &mi, &s) == OSTREL_ERR_RANGE);
    CHECK(ostrel_from_jd(2451545.0, 0.0, OSTREL_MIXED, &y, &mo, &d, &h, NULL, &s) == OSTREL_ERR_NULL);
    CHECK(ostrel_from_jd(2451545.0, 0.0, (ostrel_calendar)7, &y, &mo, &d, &h, &mi, &s) ==
          OSTREL_ERR_CALENDAR);
    CHECK(ostrel_from_iso("2000-02-30", OSTREL_MIXED, &jd1, &jd2) == OSTREL_ERR_NO_SUCH_DATE);
    CHECK(ostrel_from_iso("1 January 2000", OSTREL_MIXED, &jd1, &jd2) == OSTREL_ERR_SYNTAX);
    CHECK(ostrel_from_iso(NULL, OSTREL_MIXED, &jd1, &jd2) == OSTREL_ERR_NULL);
    CHECK(ostrel_to_iso(2451545.0, 0.0, OSTREL_MIXED, 10, text, sizeof text) == OSTREL_ERR_DECIMALS);
    CHECK(ostrel_to_iso(2451545.0, 0.0, OSTREL_MIXED, -1, text, sizeof text) == OSTREL_ERR_DECIMALS);
    CHECK(ostrel_to_iso(2451545.0, 0.0, OSTREL_MIXED, 0, NULL, 10) == OSTREL_ERR_NULL);
    CHECK(ostrel_weekday(NAN, 0.0) == 0);
    CHECK(ostrel_weekday(1e300, 0.0) == 0);
    CHECK(ostrel_compare(0.0, 0.0, 1.0, 0.0, NULL) == OSTREL_ERR_NULL);
    CHECK(ostrel_compare(NAN, 0.0, 1.0, 0.0, &order) == OSTREL_ERR_NOT_FINITE);
    CHECK(ostrel_from_iso_week(2010, 53, 1, OSTREL_MIXED, &jd1, &jd2) == OSTREL_ERR_NO_SUCH_DATE);
    CHECK(ostrel_easter(0, OSTREL_GREGORIAN, &mo, &d) == OSTREL_ERR_RANGE);
    CHECK(ostrel_easter(2000, (ostrel_calendar)3, &mo, &d) == OSTREL_ERR_CALENDAR);
    /* Every status has its own text, and any int gets one. */
    for (i = OSTREL_OK; i <= OSTREL_ERR_INTERNAL; ++i) {
        size_t j;
        CHECK(ostrel_strerror((int)i)[0] != '\0');
        for (j = OSTREL_OK; j < i; ++j) CHECK(strcmp(ostrel_strerror((int)i), ostrel_strerror((int)j)) != 0);
    }
    CHECK(strcmp(ostrel_strerror(-1), "unknown status") == 0);
    CHECK(strcmp(ostrel_strerror(OSTREL_ERR_BUFFER + 1000), "unknown status") == 0);
}

static void test_iso_text_stays_in_its_buffer(void) {
    const char* expected = "2000-01-01T12:00:00.010000";
    const size_t length = strlen(expected);
    char buffer[64];
    size_t size;
    double jd1 = 0, jd2 = 0;
    CHECK(ostrel_from_iso("2000-01-01T12:00:00.01", OSTREL_MIXED, &jd1, &jd2) == OSTREL_OK);
    for (size = 0; size <= length + 2; ++size) {
        int status;
        memset(buffer, '#', sizeof buffer);
        status = ostrel_to_iso(jd1, jd2, OSTREL_MIXED, 6, buffer, size);
        CHECK(buffer[size] == '#'); /* nothing written past size */
        if (size > length) {
            CHECK(status == OSTREL_OK);
            CHECK(strcmp(buffer, expected) == 0);
        } else {
            CHECK(status == OSTREL_ERR_BUFFER);
            CHECK(size == 0 || buffer[0] == '\0'); /* an empty text, never a cut one */
        }
    }
    /* The longest date there is, with nine decimals, fits OSTREL_ISO_SIZE. */
    CHECK(ostrel_to_iso(-1931076.5, 0.999999, OSTREL_GREGORIAN, 9, buffer, OSTREL_ISO_SIZE) == OSTREL_OK);
    CHECK(strcmp(buffer, "-10000-10-16T23:59:59.913600000") == 0);
}

/* Dates with nanoseconds to two parts and back, over the whole range. */
static void test_round_trips(void) {
    unsigned long long seed = 12345;
    double worst = 0;
    int i;
    for (i = 0; i < 100000; ++i) {
        int year, month, day, hour, minute, y, mo, d, h, mi;
        double second, s, jd1, jd2;
        const ostrel_calendar calendar = (ostrel_calendar)(i % 3);
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        year = (int)((seed >> 33) % 19997) - 9998;
        month = (int)((seed >> 20) % 12) + 1;
        day = (int)((seed >> 10) % 28) + 1;
        hour = (int)((seed >> 5) % 24);
        minute = (int)((seed >> 40) % 60);
        second = (double)((seed >> 3) % 60000000000ULL) * 1e-9;
        if (calendar == OSTREL_MIXED && year == 1582 && month == 10) day = 1;
        if (ostrel_to_jd(year, month, day, hour, minute, second, calendar, &jd1, &jd2) != OSTREL_OK ||
            ostrel_from_jd(jd1, jd2, calendar, &y, &mo, &d, &h, &mi, &s) != OSTREL_OK) {
            CHECK(!"conversion failed");
            continue;
        }
        CHECK(jd1 - floor(jd1) == 0.5 && jd2 >= 0 && jd2 < 1);
        CHECK(y == year && mo == month && d == day && h == hour && mi == minute);
        if (fabs(s - second) > worst) worst = fabs(s - second);
    }
    printf("worst second after 100000 round trips: %.3g s\n", worst);
    CHECK(worst < 1e-7);
}

static void test_calendar_facts(void) {
    double jd1 = 0, jd2 = 0;
    int year = 0, week = 0, weekday = 0, order = 9, day = 0, month = 0;
    char text[OSTREL_ISO_SIZE];
    CHECK(ostrel_from_iso("2010-01-03T18:00", OSTREL_MIXED, &jd1, &jd2) == OSTREL_OK);
    CHECK(ostrel_weekday(jd1, jd2) == 7);
    CHECK(ostrel_to_iso_week(jd1, jd2, OSTREL_MIXED, &year, &week, &weekday) == OSTREL_OK);
    CHECK(year == 2009 && week == 53 && weekday == 7);
    CHECK(ostrel_day_of_year(jd1, jd2, OSTREL_MIXED, &day) == OSTREL_OK && day == 3);
    CHECK(ostrel_from_iso_week(2009, 1, 1, OSTREL_MIXED, &jd1, &jd2) == OSTREL_OK);
    CHECK(ostrel_to_iso(jd1, jd2, OSTREL_MIXED, 0, text, sizeof text) == OSTREL_OK);
    CHECK(strcmp(text, "2008-12-29T00:00:00") == 0);
    CHECK(ostrel_compare(2451545.0, 0.0, 2451544.5, 0.5, &order) == OSTREL_OK && order == 0);
    CHECK(ostrel_compare(2451545.0, 1e-9, 2451544.5, 0.5, &order) == OSTREL_OK && order == 1);
    CHECK(ostrel_compare(2451544.0, 0.0, 0.0, 2451545.0, &order) == OSTREL_OK && order == -1);
    CHECK(ostrel_easter(2024, OSTREL_GREGORIAN, &month, &day) == OSTREL_OK && month == 3 && day == 31);
    CHECK(ostrel_easter(2024, OSTREL_JULIAN, &month, &day) == OSTREL_OK && month == 4 && day == 22);
    CHECK(ostrel_easter(1243, OSTREL_MIXED, &month, &day) == OSTREL_OK && month == 4 && day == 12);
}

int main(void) {
    test_statuses();
    test_iso_text_stays_in_its_buffer();
    test_round_trips();
    test_calendar_facts();
    if (failures) fprintf(stderr, "%d failures\n", failures);
    return failures ? 1 : 0;
}

#!/usr/bin/env python3
"""The C interface from Python's ctypes: conversions agree with Python's own calendar (datetime,
proleptic Gregorian), and errors come back as statuses instead of ending the process.
Usage: ostrel_ctypes_test.py PATH-OF-THE-OSTREL-LIBRARY"""
import ctypes
import datetime
import random
import sys

lib = ctypes.CDLL(sys.argv[1])
c_int, c_double, c_p = ctypes.c_int, ctypes.c_double, ctypes.POINTER
lib.ostrel_to_jd.argtypes = [c_int] * 5 + [c_double, c_int, c_p(c_double), c_p(c_double)]
lib.ostrel_from_jd.argtypes = [c_double, c_double, c_int] + [c_p(c_int)] * 5 + [c_p(c_double)]
lib.ostrel_from_iso.argtypes = [ctypes.c_char_p, c_int, c_p(c_double), c_p(c_double)]
lib.ostrel_to_iso.argtypes = [c_double, c_double, c_int, c_int, ctypes.c_char_p, ctypes.c_size_t]
lib.ostrel_weekday.argtypes = [c_double, c_double]
lib.ostrel_strerror.argtypes = [c_int]
lib.ostrel_strerror.restype = ctypes.c_char_p
lib.ostrel_day_of_year.argtypes = [c_double, c_double, c_int, c_p(c_int)]
lib.ostrel_to_iso_week.argtypes = [c_double, c_double, c_int] + [c_p(c_int)] * 3
GREGORIAN = 1
failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


def to_jd(*date):
    jd1, jd2 = c_double(), c_double()
    status = lib.ostrel_to_jd(*date, ctypes.byref(jd1), ctypes.byref(jd2))
    return status, jd1.value, jd2.value


# Day numbers, weekdays, days of the year and ISO week dates against datetime.
rng = random.Random(2026)
JDN_OF_ORDINAL_0 = 1721425  # date.fromordinal(1) is 0001-01-01, JDN 1721426
for _ in range(3000):
    day = datetime.date.fromordinal(rng.randint(1, datetime.date.max.toordinal()))
    status, jd1, jd2 = to_jd(day.year, day.month, day.day, 18, 0, 0.0, GREGORIAN)
    expect(status == 0 and jd1 == day.toordinal() + JDN_OF_ORDINAL_0 - 0.5 and jd2 == 0.75, f"JD of {day}")
    expect(lib.ostrel_weekday(jd1, jd2) == day.isoweekday(), f"weekday of {day}")
    yday, year, week, weekday = c_int(), c_int(), c_int(), c_int()
    lib.ostrel_day_of_year(jd1, jd2, GREGORIAN, ctypes.byref(yday))
    expect(yday.value == day.timetuple().tm_yday, f"day of the year of {day}")
    lib.ostrel_to_iso_week(jd1, jd2, GREGORIAN, ctypes.byref(year), ctypes.byref(week), ctypes.byref(weekday))
    expect((year.value, week.value, weekday.value) == tuple(day.isocalendar()), f"week date of {day}")

# ISO text in and out, with microseconds that a single double JD would lose.
jd1, jd2 = c_double(), c_double()
expect(lib.ostrel_from_iso(b"2024-06-30T12:34:56.123456789", 0, ctypes.byref(jd1), ctypes.byref(jd2)) == 0, "from_iso")
text = ctypes.create_string_buffer(32)
expect(lib.ostrel_to_iso(jd1, jd2, 0, 9, text, 32) == 0 and text.value == b"2024-06-30T12:34:56.123456789", "to_iso")
parts = [c_int() for _ in range(5)] + [c_double()]
lib.ostrel_from_jd(jd1, jd2, 0, *[ctypes.byref(p) for p in parts])
expect([p.value for p in parts[:5]] == [2024, 6, 30, 12, 34] and abs(parts[5].value - 56.123456789) < 1e-7, "from_jd")

# Errors are statuses: the process goes on.
expect(to_jd(2001, 2, 29, 0, 0, 0.0, 0)[0] == 1, "no 29 February 2001")
expect(to_jd(2000, 1, 1, 0, 0, float("nan"), 0)[0] == 3, "NaN second")
expect(to_jd(2000, 1, 1, 0, 0, 0.0, 9)[0] == 2, "calendar 9")
expect(lib.ostrel_from_iso(b"yesterday", 0, ctypes.byref(jd1), ctypes.byref(jd2)) == 7, "bad text")
expect(lib.ostrel_from_iso(None, 0, ctypes.byref(jd1), ctypes.byref(jd2)) == 4, "NULL text")
expect(lib.ostrel_to_iso(1e300, 0, 0, 0, text, 32) == 5, "JD out of range")
expect(lib.ostrel_to_iso(jd1, jd2, 0, 9, text, 10) == 6 and text.value == b"", "buffer too small")
expect(lib.ostrel_strerror(6) == b"the buffer is too small", "strerror")

for failure in failures[:20]:
    print("FAILED:", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)

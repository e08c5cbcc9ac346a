#!/usr/bin/python3
"""Compares `redoviri-cli phases YYYY` with PyEphem's new and full moons.

Usage: phases_vs_ephem.py <redoviri-cli> [first-year last-year]

For every year (1900..2100 by default) the tool's instants are paired with
ephem.next_new_moon / ephem.next_full_moon (UT) found from the start of the
year: the same count and the same kinds in the same order.

The two sides agree on Delta T while it is measured, but not beyond: PyEphem
extrapolates its own Delta T, 15..23 s above the Espenak-Meeus polynomials
the tool uses after 2040. So the ephemerides are compared in dynamical time:
the tool's UT plus the Espenak-Meeus Delta T (evaluated here on its own, for
the pieces from 1900 on) against ephem's UT plus ephem.delta_t. Every pair
must agree within LIMIT seconds and the median absolute difference must stay
under MEDIAN_LIMIT seconds. The UT instants themselves are held to the same
limits up to UT_CHECKED_UNTIL, where both use observed values. Prints the
largest and the median difference and the worst instant of both comparisons.
"""
import datetime
import statistics
import subprocess
import sys
import time

LIMIT = 30.0
MEDIAN_LIMIT = 10.0
UT_CHECKED_UNTIL = 2025
SKIPPED = 77  # the test's SKIP_RETURN_CODE

try:
    import ephem
except ImportError:
    print("phases_vs_ephem: skipped, PyEphem (python3-ephem) is not installed for", sys.executable)
    sys.exit(SKIPPED)


def delta_t(y):
    """Espenak-Meeus Delta T (s) for decimal year y in 1900..2150, with the
    lunar secular acceleration correction outside 1955..2005."""
    def poly(x, coefficients):
        return sum(c * x ** i for i, c in enumerate(coefficients))
    if y < 1900 or y >= 2150:
        raise ValueError("year %s outside 1900..2150" % y)
    if y < 1920:
        v = poly(y - 1900, [-2.79, 1.494119, -0.0598939, 0.0061966, -0.000197])
    elif y < 1941:
        v = poly(y - 1920, [21.20, 0.84493, -0.076100, 0.0020936])
    elif y < 1961:
        v = poly(y - 1950, [29.07, 0.407, -1 / 233, 1 / 2547])
    elif y < 1986:
        v = poly(y - 1975, [45.45, 1.067, -1 / 260, -1 / 718])
    elif y < 2005:
        v = poly(y - 2000, [63.86, 0.3345, -0.060374, 0.0017275, 0.000651814, 0.00002373599])
    elif y < 2050:
        v = poly(y - 2000, [62.92, 0.32217, 0.005589])
    else:
        v = -20 + 32 * ((y - 1820) / 100) ** 2 - 0.5628 * (2150 - y)
    if not 1955 <= y <= 2005:
        v -= 0.000012932 * (y - 1955) ** 2
    return v


def decimal_year(when):
    return 2000 + (when - datetime.datetime(2000, 1, 1)).total_seconds() / 86400 / 365.2425


class Stats:
    def __init__(self, name):
        self.name, self.diffs, self.worst, self.failures = name, [], (0.0, ""), []

    def add(self, d, what):
        self.diffs.append(abs(d))
        if abs(d) >= abs(self.worst[0]):
            self.worst = (d, what)
        if abs(d) > LIMIT:
            self.failures.append("%s: %s, tool - ephem = %+.1f s" % (self.name, what, d))

    def report(self):
        median = statistics.median(self.diffs)
        print("  %s: %d pairs, max |tool - ephem| %.1f s, median %.1f s; worst %+.1f s at %s" % (
            self.name, len(self.diffs), max(self.diffs), median, self.worst[0], self.worst[1]))
        if median >= MEDIAN_LIMIT:
            self.failures.append("%s: median %.1f s >= %.1f s" % (self.name, median, MEDIAN_LIMIT))
        return self.failures


def tool_phases(cli, year):
    out = subprocess.run([cli, "phases", "%04d" % year], check=True, capture_output=True, text=True).stdout
    phases = []
    for line in out.splitlines():
        stamp, kind = line.split("\t")
        when = datetime.datetime.strptime(stamp, "%Y-%m-%dT%H:%M:%SZ")
        phases.append((when, kind))
    return phases


def ephem_phases(year):
    start = ephem.Date("%d/1/1" % year)
    end = ephem.Date("%d/1/1" % (year + 1))
    phases = []
    for kind, following in (("new", ephem.next_new_moon), ("full", ephem.next_full_moon)):
        d = following(start)
        while d < end:
            phases.append((d.datetime(), kind))
            d = following(ephem.Date(d + 1))
    phases.sort()
    return phases


def main():
    cli = sys.argv[1]
    first, last = (int(sys.argv[2]), int(sys.argv[3])) if len(sys.argv) > 3 else (1900, 2100)
    begun = time.monotonic()
    tt = Stats("TT")
    ut = Stats("UT to %d" % UT_CHECKED_UNTIL)
    failures = []
    for year in range(first, last + 1):
        got = tool_phases(cli, year)
        want = ephem_phases(year)
        if [k for _, k in got] != [k for _, k in want]:
            failures.append("%d: tool has %d phases %s, ephem %d %s" % (
                year, len(got), [k for _, k in got], len(want), [k for _, k in want]))
            continue
        for (g, kind), (w, _) in zip(got, want):
            what = "%s %s (ephem %s)" % (g.strftime("%Y-%m-%dT%H:%M:%SZ"), kind, w.strftime("%Y-%m-%dT%H:%M:%S.%f"))
            d = (g - w).total_seconds()
            tt.add(d + delta_t(decimal_year(g)) - ephem.delta_t(ephem.Date(w)), what)
            if year <= UT_CHECKED_UNTIL:
                ut.add(d, what)
    if not tt.diffs:
        print("phases_vs_ephem: nothing compared")
        return 1
    print("phases_vs_ephem: years %d..%d, %.1f s" % (first, last, time.monotonic() - begun))
    failures += tt.report()
    if ut.diffs:
        failures += ut.report()
    for f in failures[:20]:
        print("FAIL", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

"""The exported iCalendar rules, and an import, against independent readers.

Writes a few hundred events of every kind (the 110 columns, and rules after
them with ends and skipped days) into an event file, exports them with
redoviri-cli export-ics, expands every VEVENT with dateutil (--icaljs DIR:
Mozilla's ical.js, DIR/expand.mjs; exit 77 without node) and checks that the
days of each event's VEVENTs are exactly the days the month grid marks (from
the ics_fall_days helper): every day of 1995..2035 and days 28..31 of every
month of 1900..2100, also once imported again. Also checks the file's form
(CR LF, folding at 75 octets, text), the UIDs across runs, and the report of
events left out. tests/cli/realworld.ics imported marks the days of its
expansion and refuses, with a reason, the VEVENTs whose SUMMARY starts "X".

usage: ics_vs_icalendar.py REDOVIRI_CLI ICS_FALL_DAYS [--icaljs DIR]
"""
import calendar
import datetime as dt
import os
import pathlib
import random
import re
import shutil
import subprocess
import sys
import tempfile

import icalendar
from dateutil import tz
from dateutil.rrule import rruleset, rrulestr

cli, fall_days = sys.argv[1], sys.argv[2]
icaljs = sys.argv[4] if sys.argv[3:4] == ["--icaljs"] else None
if icaljs and not shutil.which("node"):
    print("SKIPPED: the ical.js check needs node, which tools/setup.sh installs")
    sys.exit(77)
if icaljs and not os.path.isdir(os.path.join(icaljs, "node_modules", "ical.js")):
    print("SKIPPED: ical.js is not installed in " + icaljs + " (tools/setup.sh runs npm ci there)")
    sys.exit(77)
rng = random.Random(20240229)
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def line_of(date, time, cat, flags, count, name, comment="", tail=""):
    y, e, o, n = flags
    yn = lambda f: "Y" if f else "N"
    head = f"{date};{time};{cat};{yn(y)};{yn(e)};{yn(o)};{yn(n)};{count:03d};"
    return (head + name.ljust(30)[:30] + ";" + comment.ljust(50)[:50] + tail).encode("cp1252")


def random_date():
    kind = rng.random()
    year = rng.randint(1900, 2090)
    if kind < 0.2:
        year = rng.choice([y for y in range(1904, 2091, 4) if calendar.isleap(y)])
        return year, 2, 29
    month = rng.randint(1, 12)
    if kind < 0.55:
        day = rng.randint(29, 31)
        while day > calendar.monthrange(year, month)[1]:
            month = rng.randint(1, 12)
        return year, month, day
    return year, month, rng.randint(1, calendar.monthrange(year, month)[1])


def random_rule():
    unit, days = rng.choice("WWMMY"), ["MO", "TU", "WE", "TH", "FR", "SA", "SU"]
    if unit == "W":
        on = ",".join(d for d in days if rng.random() < 0.4) or rng.choice(days + [""])
        return f";EVERY={rng.choice([1, 2, 3, 52, rng.randint(1, 52)])}W" + (f";ON={on}" if on else "")
    most = 12 if unit == "M" else 100
    on = rng.choice(["", "", "LASTDAY", "FIRSTWORKDAY", "LASTWORKDAY"] + 3 * [f"{rng.choice([1, 2, 3, 4, -1])}"
                                                                          f"{rng.choice(days)}"])
    return f";EVERY={rng.choice([1, 1, 2, 3, most, rng.randint(1, most)])}{unit}" + (f";ON={on}" if on else "")


events = []  # (key, line bytes, left out expected)
letters = "éàüßøÆñçÿŒ€;,\\"
for i in range(320):
    year, month, day = random_date()
    flags = [rng.random() < 0.4, rng.random() < 0.3, rng.random() < 0.25, rng.random() < 0.4]
    if i % 40 == 0:
        flags = [False, False, True, True]  # only once together with others
    if not any(flags):
        flags[rng.randrange(4)] = True
    count = rng.choice([1, 2, 3, 7, 29, 30, 31, 365, 366, 999, rng.randint(1, 999)]) if flags[3] else 0
    if flags[3] and i % 50 == 7:
        count = 0  # every 0 days: the first date only
    time = rng.choice(["00:00", "09:30", "23:59", "  :  ", "25:61"])
    name = f"{i:04d} " + "".join(rng.choice(letters + "abc ") for _ in range(rng.randint(0, 30)))
    comment = "".join(rng.choice(letters + "xyz ") for _ in range(rng.randint(0, 50)))
    events.append((f"{i:04d}", line_of(f"{month:02d}{day:02d}{year:04d}", time, rng.randint(1, 6), flags,
                                       count, name, comment), False))
for i in range(1000, 1260):  # rules after column 110; the first one ical.js once got wrong
    year, month, day = random_date() if i > 1000 else (2089, 1, 30)
    events.append((f"{i:04d}", line_of(f"{month:02d}{day:02d}{year:04d}", rng.choice(["08:15", "  :  "]), rng.randint(
        1, 6), (0, 0, 1, 0), 0, f"{i:04d} rule", "", random_rule() if i > 1000 else ";EVERY=3Y;ON=LASTDAY"), False))
# Events that fall on no day: no such date, no flag set, an end before it, its day skipped.
for i, date in enumerate(["04312003", "02291900", "13012000", "02302004"]):
    events.append((f"9{i:03d}", line_of(date, "00:00", 2, (True, True, False, False), 0, f"9{i:03d} bad"), True))
events.append(("9900", line_of("05052005", "00:00", 2, (False, False, False, False), 0, "9900 none"), True))
events.append(("9901", line_of("05312005", "  :  ", 2, (0, 0, 1, 0), 0, "9901", "", ";EVERY=1M;UNTIL=20050530"), True))
events.append(("9902", line_of("05312005", "07:00", 2, (0, 0, 1, 0), 0, "9902", "", ";SKIP=20050531"), True))

work = tempfile.mkdtemp(prefix="ics_vs_icalendar_")
path = os.path.join(work, "Redoviri.ini")
write_events = lambda: pathlib.Path(path).write_bytes(b"reserved\r\n" + b"".join(l + b"\r\n" for _, l, _ in events))


def days_of(command):
    """key -> the days of the lines "KEY<TAB>YYYYMMDD,..." of a command."""
    days = {}
    for row in subprocess.run(command, capture_output=True, check=True).stdout.decode().splitlines():
        key, _, listed = row.partition("\t")
        days.setdefault(key, set()).update(
            dt.date(int(d[:4]), int(d[4:6]), int(d[6:])) for d in listed.split(",") if d)
    return days


# Every third old event and every rule get an end on or after a day they
# fall on and skipped days among those, never all, and one more day.
write_events()
first_marks = days_of([fall_days, path])
for n, (key, line, bad) in enumerate(events):
    days = sorted(first_marks.get(key, ()))
    if days and (int(key) % 3 == 0 or key >= "1000") and not bad:
        end = days[rng.randrange(min(len(days), 60))] + dt.timedelta(days=rng.choice([0, 1, 40]))
        end, until = (end, f";UNTIL={end:%Y%m%d}") if rng.random() < 0.7 else (days[-1], "")
        before = [d for d in days[1:] if d <= end]
        skips = set(rng.sample(before, min(len(before), rng.randint(0, 5)))) | {days[0] + dt.timedelta(days=1)}
        events[n] = (key, line + (until + ";SKIP=" + ",".join(f"{d:%Y%m%d}" for d in sorted(skips))).encode(), bad)
remind = {k: sorted(rng.sample([1, 15, 539, 540, 541, 1440, 1500, 10080, 40320], rng.randint(1, 4)))
          for k, *_ in events[::2]}
events = [(k, l + (b";REMIND=" + ",".join(map(str, remind[k])).encode() if k in remind else b""), b)
          for k, l, b in events]
write_events()


def vevents_of(text):
    """The VEVENTs of an iCalendar text: lists of (NAME, {PARAM: value}, value)."""
    found, stack = [], []
    for raw in re.sub(r"\r?\n[ \t]", "", text).splitlines():
        head, _, value = raw.partition(":")
        name, *params = head.split(";")
        if name in ("BEGIN", "END"):
            stack = stack + [value] if name == "BEGIN" else stack[:-1]
            found += [[]] if name == "BEGIN" and stack == ["VCALENDAR", "VEVENT"] else []
        elif stack == ["VCALENDAR", "VEVENT"]:
            found[-1].append((name, dict(p.split("=", 1) for p in params), value))
    return found


def first(vevent, name):
    return next(((params, value) for n, params, value in vevent if n == name), None)


def moment(params, value):
    """A DATE as midnight, a DATE-TIME in its time zone (UTC, TZID or floating)."""
    when = dt.datetime.strptime(value.rstrip("Z"), "%Y%m%d" if len(value) == 8 else "%Y%m%dT%H%M%S")
    return when.replace(tzinfo=tz.UTC if value.endswith("Z") else params.get("TZID") and tz.gettz(params["TZID"]))


def expand(ics_path):
    """key -> the days of the key's VEVENTs, by ical.js or by dateutil (a
    changed occurrence in place of the one its RECURRENCE-ID names)."""
    if icaljs:
        return days_of(["node", os.path.join(icaljs, "expand.mjs"), ics_path, "1900", "2100", "1995", "2035"])
    vevents, days = vevents_of(open(ics_path, encoding="utf-8").read()), {}
    series = {first(v, "UID")[1] for v in vevents if not first(v, "RECURRENCE-ID")}
    for v in vevents:
        uid, start = first(v, "UID")[1], moment(*first(v, "DTSTART"))
        shown = days.setdefault(first(v, "SUMMARY")[1][:4], set())
        cancelled = lambda v: (first(v, "STATUS") or (0, ""))[1] == "CANCELLED"
        if first(v, "RECURRENCE-ID"):
            shown.update([start.date()] if uid not in series and not cancelled(v) else [])
            continue
        changed = {moment(*first(c, "RECURRENCE-ID")): c for c in vevents
                   if first(c, "RECURRENCE-ID") and first(c, "UID")[1] == uid}
        dates = rruleset()
        try:
            dates.rrule(rrulestr(first(v, "RRULE")[1], dtstart=start)) if first(v, "RRULE") else dates.rdate(start)
            for name, params, value in (p for p in v if p[0] in ("RDATE", "EXDATE")):
                for item in value.split(","):
                    (dates.rdate if name == "RDATE" else dates.exdate)(moment(params, item))
        except ValueError:  # what dateutil cannot read has no days
            continue
        for when in dates.between(*(dt.datetime(y, 1, 1, tzinfo=start.tzinfo) for y in (1899, 2101)), inc=True):
            change = changed.get(when)
            if not change or not cancelled(change):
                shown.add((moment(*first(change, "DTSTART")) if change else when).date())
    return days


def compare(what, marked, expanded, keys):
    for key in sorted(keys):
        m, e = marked.get(key, set()), {d for d in expanded.get(key, set()) if counted(d)}
        if m != e:
            failures.append(f"{what} {key}: marked only {sorted(m - e)[:5]}, expanded only {sorted(e - m)[:5]}")


def export():
    return subprocess.run([cli, "export-ics", "--file", path], capture_output=True)


run1, run2 = export(), export()
check(run1.returncode == 1, f"exit status {run1.returncode} with events left out")
left = [l for l in run1.stderr.decode("utf-8").splitlines() if l.startswith("left out\t")]
check(len(left) == sum(1 for e in events if e[2]), f"left-out report: {left}")
for key, _, bad in events:
    check(any(f";{key} " in l for l in left) == bad, f"{key}: listed as left out: {not bad}")
text = run1.stdout
strip_stamp = lambda b: [l for l in b.split(b"\r\n") if not l.startswith(b"DTSTAMP:")]
check(strip_stamp(text) == strip_stamp(run2.stdout), "two runs differ beyond DTSTAMP")
check(b"\n" not in text.replace(b"\r\n", b""), "a line end other than CR LF")
for raw in text.split(b"\r\n"):
    check(len(raw) <= 75, f"line of {len(raw)} octets")
    raw.decode("utf-8")  # a fold never splits a character

cal = icalendar.Calendar.from_ical(text)
check(str(cal.get("VERSION")) == "2.0" and cal.get("PRODID"), "VERSION or PRODID")
lo, hi = dt.date(1900, 1, 1), dt.date(2100, 12, 31)
start_every_day, end_every_day = dt.date(1995, 1, 1), dt.date(2035, 12, 31)


def counted(d):
    return start_every_day <= d <= end_every_day or d.day >= 28


unfolded = text.replace(b"\r\n ", b"").decode("utf-8").split("\r\n")
raw_summaries = [re.sub(r"\\(.)", lambda m: "\n" if m.group(1) in "nN" else m.group(1), l[len("SUMMARY:"):])
                 for l in unfolded if l.startswith("SUMMARY:")]
expected_names = {key: line[29:59].decode("cp1252").strip() for key, line, _ in events}
uids = set()
ics_path = os.path.join(work, "out.ics")
with open(ics_path, "wb") as f:
    f.write(text)
ics_days = expand(ics_path)
for ev in cal.walk("VEVENT"):
    summary = str(ev.get("SUMMARY"))
    key = summary[:4]
    # icalendar 4 misreads an escaped backslash before an escaped comma or
    # semicolon: names with a backslash are checked from the raw text below.
    if "\\" not in expected_names[key]:
        check(summary == expected_names[key], f"{key}: SUMMARY {summary!r} {expected_names[key]!r}")
    uid = str(ev.get("UID"))
    check(uid not in uids, f"UID {uid} twice")
    uids.add(uid)

    # Each alarm at a reminder's moment (a day event's notice is at 09:00); none where the time gives no notice.
    time, start = next(l for k, l, _ in events if k == key)[9:14], ev.decoded("DTSTART")
    start = dt.datetime.combine(start, dt.time()) if time == b"  :  " else start
    notice = start.replace(hour=9) if time in (b"  :  ", b"00:00") else start
    ahead = sorted((notice - start - a.decoded("TRIGGER")) // dt.timedelta(minutes=1) for a in ev.walk("VALARM"))
    check(ahead == ([] if time == b"25:61" else remind.get(key, [])), f"{key}: alarms {ahead} {time}")
    check(all(str(a.get("DESCRIPTION")) == summary for a in ev.walk("VALARM")), f"{key}: alarm DESCRIPTION")
for summary in raw_summaries:
    check(summary == expected_names[summary[:4]], f"raw SUMMARY {summary!r}")
check(len(raw_summaries) == len(uids), "a SUMMARY per VEVENT")

program = days_of([fall_days, path])
check(len(program) == len(events), f"{len(program)} events from the helper")
check(set(ics_days) == {k for k, _, bad in events if not bad}, "events exported")
compare("export", program, ics_days, program)
# The export read back marks the same days.
back = subprocess.run([cli, "import-ics", "--file", os.path.join(work, "Back.ini"), "--from", ics_path],
                      capture_output=True)
check(back.returncode == 0, f"import of the export: exit {back.returncode}")
compare("exported and imported", days_of([fall_days, os.path.join(work, "Back.ini")]), program, ics_days)

realworld, imported = os.path.join(os.path.dirname(__file__), "realworld.ics"), os.path.join(work, "Realworld.ini")
run = subprocess.run([cli, "import-ics", "--file", imported, "--from", realworld], capture_output=True)
check(run.returncode == 1, f"import-ics exit status {run.returncode} with VEVENTs refused")
rows = [row.split("\t") for row in run.stderr.decode("utf-8").splitlines()]
refused = {summary[:4]: reason for _, kind, reason, summary in rows if kind == "refused"}
expanded = expand(realworld)
if icaljs:
    # ical.js moves a yearly 29 February without BYMONTHDAY to 1 March in common
    # years, which RFC 5545 (3.3.10) ignores, as dateutil and the import do.
    moved = {d for d in expanded["R23 "] if (d.month, d.day) == (3, 1)}
    check(moved == {dt.date(y, 3, 1) for y in range(1997, 2036) if not calendar.isleap(y)}, f"R23: {moved}")
    expanded["R23 "] -= moved
check(set(refused) == {k for k in expanded if k[0] == "X"} and all(refused.values()), f"refused: {refused}")
taken = {k for k in expanded if k[0] != "X"}
marked = days_of([fall_days, imported])
check(set(marked) == taken, f"real-world events imported: {sorted(marked)}")
compare("real-world", marked, expanded, taken)

for f in failures[:40]:
    print("FAIL:", f)
print(f"{'ical.js' if icaljs else 'dateutil'}: {len(events)} events, {len(uids)} VEVENTs, {len(failures)} failures")
sys.exit(1 if failures else 0)

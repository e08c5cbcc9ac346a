"""The exported iCalendar rules against an independent reader.

Writes a few hundred events of every kind straight into an event file (the
110-column layout), exports them with redoviri-cli export-ics, reads the
file with Python's icalendar, expands every RRULE with dateutil, and checks
that the days of each event's VEVENTs are exactly the days the month grid
marks (from the ics_fall_days helper): every day of 1995..2035 and days
28..31 of every month of 1900..2100. Also checks the file's form (CR LF,
folding at 75 octets, text), the UIDs across runs, and the report of events
left out.

usage: ics_vs_icalendar.py REDOVIRI_CLI ICS_FALL_DAYS
"""
import calendar
import datetime as dt
import os
import random
import re
import subprocess
import sys
import tempfile

import icalendar
from dateutil.rrule import rrulestr

cli, fall_days = sys.argv[1], sys.argv[2]
rng = random.Random(20240229)
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def line_of(date, time, cat, flags, count, name, comment=""):
    y, e, o, n = flags
    yn = lambda f: "Y" if f else "N"
    head = f"{date};{time};{cat};{yn(y)};{yn(e)};{yn(o)};{yn(n)};{count:03d};"
    return (head + name.ljust(30)[:30] + ";" + comment.ljust(50)[:50]).encode("cp1252")


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
# Events that fall on no day: no such first date, no flag set.
for i, date in enumerate(["04312003", "02291900", "13012000", "02302004"]):
    events.append((f"9{i:03d}", line_of(date, "00:00", 2, (True, True, False, False), 0, f"9{i:03d} bad"), True))
events.append(("9900", line_of("05052005", "00:00", 2, (False, False, False, False), 0, "9900 none"), True))

work = tempfile.mkdtemp(prefix="ics_vs_icalendar_")
path = os.path.join(work, "Redoviri.ini")
with open(path, "wb") as f:
    f.write(b"reserved\r\n" + b"".join(line + b"\r\n" for _, line, _ in events))


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
ics_days, uids = {}, set()
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
    start = ev.decoded("DTSTART")
    first = start.date() if isinstance(start, dt.datetime) else start
    days = ics_days.setdefault(key, set())
    rule = ev.get("RRULE")
    if rule is None:
        days.add(first)
        continue
    begin = dt.datetime.combine(first, dt.time()) if not isinstance(start, dt.datetime) else start
    for when in rrulestr(rule.to_ical().decode(), dtstart=begin).between(
            begin - dt.timedelta(days=1), dt.datetime(2101, 1, 1)):
        if counted(when.date()):
            days.add(when.date())

for summary in raw_summaries:
    check(summary == expected_names[summary[:4]], f"raw SUMMARY {summary!r}")
check(len(raw_summaries) == len(uids), "a SUMMARY per VEVENT")

program = subprocess.run([fall_days, path], capture_output=True, check=True).stdout.decode().splitlines()
checked = 0
for row in program:
    key, _, listed = row.partition("\t")
    marked = {dt.date(int(d[:4]), int(d[4:6]), int(d[6:])) for d in listed.split(",") if d}
    exported = {d for d in ics_days.get(key, set()) if lo <= d <= hi and counted(d)}
    if marked != exported:
        failures.append(f"{key}: marked only {sorted(marked - exported)[:5]}, exported only "
                        f"{sorted(exported - marked)[:5]}")
    checked += 1
check(checked == len(events), f"{checked} events from the helper")
check(set(ics_days) == {k for k, _, bad in events if not bad}, "events exported")

for f in failures[:40]:
    print("FAIL:", f)
print(f"{len(events)} events, {len(uids)} VEVENTs, {len(failures)} failures")
sys.exit(1 if failures else 0)

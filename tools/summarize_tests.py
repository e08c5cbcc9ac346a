#!/usr/bin/env python3
"""Counts test cases over all suites and prints 'N passed, M failed'.

Each results folder holds ctest's JUnit report (ctest.xml) and one GoogleTest
XML report per test executable. A GoogleTest executable counts case by case;
a test without a report of its own (a script, or an executable that crashed
before writing its report) counts as one case with ctest's verdict. A Windows
test program that was killed after its clean end (tools/wine-isolated.sh
leaves <name>.killed beside its report) counts with its report, and the last
line says how many there were.
"""
import argparse
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    passed = failed = 0
    failures = []
    for case in root.iter("testcase"):
        if case.get("result", "completed") == "skipped" or case.get("status") == "notrun":
            continue
        if case.find("failure") is not None:
            failed += 1
            failures.append(f"{case.get('classname')}.{case.get('name')}")
        else:
            passed += 1
    return passed, failed, failures


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--extra-failed", type=int, default=0)
    ap.add_argument("dirs", nargs="+")
    a = ap.parse_args()
    passed, failed = 0, a.extra_failed
    killed = []
    for d in a.dirs:
        suite = os.path.basename(os.path.dirname(os.path.abspath(d)))
        ctest = os.path.join(d, "ctest.xml")
        if not os.path.exists(ctest):
            print(f"{suite}: no ctest report", file=sys.stderr)
            failed += 1
            continue
        for case in ET.parse(ctest).getroot().iter("testcase"):
            name = case.get("name")
            ok = case.get("status") == "run" and case.find("failure") is None
            report = os.path.join(d, f"{name}.xml")
            if os.path.exists(os.path.join(d, f"{name}.killed")):
                killed.append(f"[{suite}] {name}")
            if os.path.exists(report):
                try:
                    p, f, names = gtest_counts(report)
                except ET.ParseError:
                    p, f, names = 0, 1, [f"{name} (unreadable report)"]
                if not ok and f == 0:
                    f, names = 1, [f"{name} (exited with failure)"]
            else:
                p, f, names = (1, 0, []) if ok else (0, 1, [name])
            passed += p
            failed += f
            for n in names:
                print(f"FAILED [{suite}] {n}", file=sys.stderr)
    for k in killed:
        print(f"killed after its clean end, counted with its report: {k}", file=sys.stderr)
    line = f"{passed} passed, {failed} failed"
    if killed:
        line += f"; {len(killed)} killed after a clean end"
    print(line)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

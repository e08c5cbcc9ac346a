#!/usr/bin/env python3
"""Checks every #include of src/ against the layer table of docs/architecture.md.

The build notes each library of the project in layers.txt (its folder, its
sources and headers, the libraries it links). The layer table of
docs/architecture.md (between the markers <!-- layers --> and
<!-- /layers -->) says for each library whether it is portable and what it
may include. This check fails when

  - the table and the build disagree (a library missing on either side, or
    other links than the table's "may include"),
  - a file includes a header of the project that belongs neither to its own
    library nor to one it reaches through its links,
  - a file of a portable library includes a Windows header (the files
    ending in _win.cpp and the blocks under #ifdef _WIN32 are that
    library's Windows half),
  - the folders include each other in a cycle,
  - (in the Windows build, which has every library) a file of src/ belongs
    to no library.

Usage: check_layers.py --build BUILD_DIR --src SRC_DIR --table docs/architecture.md

(--readme is an older name of --table.)
"""

import argparse
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
WINDOWS_HEADERS = {"windows.h", "windowsx.h", "commctrl.h", "shellapi.h", "shlobj.h", "mmsystem.h"}
TABLE_START, TABLE_END = "<!-- layers -->", "<!-- /layers -->"


WIN_IF = re.compile(r"^\s*#\s*if(def\s+_WIN32\b|\s+defined\s*\(?\s*_WIN32\b)")
OTHER_IF = re.compile(r"^\s*#\s*if")
ELSE = re.compile(r"^\s*#\s*(else|elif)\b")
ENDIF = re.compile(r"^\s*#\s*endif\b")


def includes(text):
    """(bracket, header, in a Windows-only block) of each #include."""
    found, stack = [], []
    for line in text.splitlines():
        if WIN_IF.match(line):
            stack.append("win")
        elif OTHER_IF.match(line):
            stack.append("other")
        elif ELSE.match(line) and stack:
            stack[-1] = "not-win" if stack[-1] == "win" else stack[-1]
        elif ENDIF.match(line) and stack:
            stack.pop()
        else:
            m = INCLUDE.match(line)
            if m:
                found.append((m.group(1), m.group(2), "win" in stack))
    return found


def read_layers(path):
    """Libraries of layers.txt: name -> {folder, files, links}."""
    libs = {}
    for block in path.read_text().split("\n\n"):
        fields = {}
        for line in block.strip().splitlines():
            key, _, value = line.partition(" ")
            fields[key] = value.split()
        if "target" not in fields:
            continue
        name = fields["target"][0]
        lib = libs.setdefault(name, {"folder": None, "files": set(), "headers": set(), "links": set()})
        if fields.get("folder"):
            lib["folder"] = fields["folder"][0]
        lib["files"].update(fields.get("sources", []))
        lib["headers"].update(fields.get("headers", []))
        lib["files"].update(fields.get("headers", []))
        lib["links"].update(fields.get("links", []))
    return libs


def read_table(path):
    """Rows of the layer table in the file at path: name -> (portable, may include)."""
    text = path.read_text()
    if TABLE_START not in text or TABLE_END not in text:
        raise SystemExit(f"{path}: no layer table between {TABLE_START} and {TABLE_END}")
    table = text.split(TABLE_START, 1)[1].split(TABLE_END, 1)[0]
    rows = {}
    for line in table.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) < 4 or not cells[0].startswith("`"):
            continue
        name = cells[0].strip("`")
        kind = cells[2].lower()
        if kind not in ("portable", "win32"):
            raise SystemExit(f"{path}: {name}: the kind is '{cells[2]}', not portable or Win32")
        may = set(re.findall(r"`([^`]+)`", cells[3]))
        rows[name] = (kind == "portable", may)
    return rows


def closure(libs, name):
    seen, todo = set(), [name]
    while todo:
        lib = todo.pop()
        if lib in seen or lib not in libs:
            continue
        seen.add(lib)
        todo.extend(libs[lib]["links"])
    return seen


def find_cycle(edges):
    """A cycle of the folder graph as a list of folders, or None."""
    state = {}

    def visit(node, path):
        state[node] = "open"
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == "open":
                return path[path.index(nxt):] + [nxt] if nxt in path else [node, nxt]
            if nxt not in state:
                found = visit(nxt, path + [nxt])
                if found:
                    return found
        state[node] = "done"
        return None

    for node in sorted(edges):
        if node not in state:
            found = visit(node, [node])
            if found:
                return found
    return None


def check(build, src, table_file):
    libs = read_layers(build / "layers.txt")
    table = read_table(table_file)
    problems = []

    for name in sorted(libs):
        if name not in table:
            problems.append(f"{name}: built, but not in the layer table of {table_file}")
            continue
        links = libs[name]["links"]
        may = table[name][1]
        if links != may:
            problems.append(f"{name}: links {sorted(links) or 'nothing'}, the table says {sorted(may) or 'nothing'}")
    windows_build = any(not table.get(n, (True,))[0] for n in libs)
    if windows_build:
        for name in sorted(set(table) - set(libs)):
            problems.append(f"{name}: in the layer table of {table_file}, but not built")

    owner = {}
    for name, lib in libs.items():
        for f in lib["files"]:
            owner[f] = name
    headers = {h: name for name, lib in libs.items() for h in lib["headers"]}

    edges = {}
    for name, lib in sorted(libs.items()):
        reach = closure(libs, name)
        portable = table.get(name, (True, set()))[0]
        for rel in sorted(lib["files"]):
            path = src / rel
            if not path.exists():
                problems.append(f"{rel}: noted in the build, but not in src/")
                continue
            folder = rel.split("/")[0]
            for bracket, inc, windows_only in includes(path.read_text(errors="replace")):
                if bracket == "<":
                    windows_half = windows_only or rel.endswith("_win.cpp")
                    if portable and inc.lower() in WINDOWS_HEADERS and not windows_half:
                        problems.append(f"{rel}: portable ({name}), includes <{inc}>")
                    continue
                if "/" not in inc:
                    continue  # a file beside it (the resource script's headers)
                target = headers.get(inc)
                if target is None:
                    if (src / inc).exists():
                        problems.append(f"{rel}: includes {inc}, which belongs to no library of this build")
                    continue
                if target not in reach:
                    problems.append(f"{rel}: includes {inc} of {target}, which {name} does not link")
                inc_folder = inc.split("/")[0]
                if inc_folder != folder:
                    edges.setdefault(folder, set()).add(inc_folder)

    cycle = find_cycle(edges)
    if cycle:
        problems.append("the folders include each other in a cycle: " + " -> ".join(cycle))

    if windows_build:
        for path in sorted(src.rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            rel = path.relative_to(src).as_posix()
            if rel not in owner and not rel.endswith("_posix.cpp"):
                problems.append(f"{rel}: belongs to no library or program")

    files = sum(len(lib["files"]) for lib in libs.values())
    return problems, len(libs), files, edges


def main():
    parser = argparse.ArgumentParser(
        description="Checks every #include of src/ against the layer table of docs/architecture.md.")
    parser.add_argument("--build", required=True, type=pathlib.Path,
                        help="the build folder, whose layers.txt notes each library")
    parser.add_argument("--src", required=True, type=pathlib.Path, help="the src/ folder")
    parser.add_argument("--table", "--readme", dest="table", required=True, type=pathlib.Path,
                        help="the file holding the layer table between <!-- layers --> and "
                             "<!-- /layers --> (docs/architecture.md); --readme is an older name")
    args = parser.parse_args()
    problems, libs, files, edges = check(args.build, args.src, args.table)
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} problem(s) in the layers")
        return 1
    order = " ".join(f"{a}->{','.join(sorted(b))}" for a, b in sorted(edges.items()))
    print(f"{libs} libraries, {files} files: every include follows the layer table; folders: {order}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

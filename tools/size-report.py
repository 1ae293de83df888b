#!/usr/bin/env python3
"""What each library costs in a linked binary, read from the GNU ld map.

    tools/size-report.py quorvel.map            (link with -Wl,-Map,quorvel.map)
    tools/size-report.py --objects quorvel.map  one line per archive member

Counts the input sections that landed in the loaded output sections (code,
read-only data, data, unwind tables); debug sections and discarded input are
left out. Archive members are grouped by library: the project's objects,
libstdc++, libgcc, the mingw-w64 runtime and each dependency by its archive
name. Figures are bytes before file alignment and compression.
"""
import re
import sys
from collections import defaultdict

LOADED = (".text", ".data", ".rdata", ".rodata", ".eh_frame", ".pdata", ".xdata",
          ".bss", ".tls", ".CRT", ".gcc_except_table", ".data.rel.ro", ".init_array")


def group_of(path):
    m = re.search(r"([^/]+\.a)\(", path)
    if m:
        name = m.group(1)
        if name.startswith("libstdc++"):
            return "libstdc++"
        if name in ("libgcc.a", "libgcc_eh.a"):
            return "libgcc"
        if name in ("libmingwex.a", "libmingw32.a", "libmsvcrt.a", "libmoldname.a",
                    "libpthread.a", "libwinpthread.a", "libmingwthrd.a"):
            return "mingw-w64 runtime"
        if name == "libc_nonshared.a":
            return "C runtime start-up"
        if name.endswith("libdouble-conversion.a") or name == "libdouble-conversion.a":
            return "double-conversion"
        return re.sub(r"^lib|(-static)?\.a$", "", name)
    if "CMakeFiles/" in path or path.endswith(".obj") or path.endswith(".o"):
        if "crt" in path.rsplit("/", 1)[-1]:
            return "C runtime start-up"
        if "Resources" in path or "generated" in path:
            return "quorvel resources"
        return "quorvel"
    return "other"


def parse(lines):
    out = defaultdict(lambda: defaultdict(int))
    members = defaultdict(int)
    in_map = False
    current = None      # output section the following input sections belong to
    pending = None      # input section name whose address line follows
    for line in lines:
        if not in_map:
            in_map = line.startswith("Linker script and memory map")
            continue
        m = re.match(r"^(\.\S+)\s", line)
        if m and not line.startswith(" "):
            current = m.group(1)
            continue
        if current is None or not current.startswith(LOADED):
            continue
        m = re.match(r"^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
        if m:
            addr, size, path = int(m.group(2), 16), int(m.group(3), 16), m.group(4)
        elif re.match(r"^ \S+$", line):
            pending = line.strip()
            continue
        else:
            m = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
            if not (m and pending):
                pending = None
                continue
            addr, size, path = int(m.group(1), 16), int(m.group(2), 16), m.group(3)
        pending = None
        if addr == 0 or size == 0:
            continue  # discarded or empty
        group = group_of(path)
        out[group][current] += size
        members[(group, path.rsplit("/", 1)[-1])] += size
    return out, members


def main(argv):
    objects = "--objects" in argv
    paths = [a for a in argv[1:] if not a.startswith("--")]
    if len(paths) != 1:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(paths[0], encoding="utf-8", errors="replace") as f:
        groups, members = parse(f)
    if objects:
        for (group, member), size in sorted(members.items(), key=lambda kv: -kv[1]):
            print(f"{size:>10}  {group:<20} {member}")
        return 0
    # unwind: .eh_frame (DWARF, i686) or .pdata + .xdata (x86_64)
    columns = {".text": (".text",), ".rdata": (".rdata", ".rodata"),
               "unwind": (".eh_frame", ".pdata", ".xdata", ".gcc_except_table"),
               ".data": (".data", ".CRT", ".tls"), ".bss": (".bss",)}
    print(f"{'library':<20}" + "".join(f"{c:>11}" for c in columns) + f"{'total':>11}")
    rows = []
    for group, by_section in groups.items():
        cells = [sum(v for k, v in by_section.items() if k.startswith(prefixes))
                 for prefixes in columns.values()]
        rows.append((sum(by_section.values()), group, cells))
    for total, group, cells in sorted(rows, reverse=True):
        print(f"{group:<20}" + "".join(f"{c:>11}" for c in cells) + f"{total:>11}")
    print(f"{'all':<20}" + " " * 11 * len(columns) + f"{sum(r[0] for r in rows):>11}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

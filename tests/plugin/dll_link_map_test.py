#!/usr/bin/env python3
"""What went into PathTagger.dll, read from its link map: no exception runtime,
no unwinder and no winpthreads. Each of them costs the host a handle or a
thread-local-storage index at every load of the DLL that no unload gives
back. Needs no Windows and no Wine, so it runs on every machine.

Usage: dll_link_map_test.py LINK_MAP
"""
import re
import sys

# Archive members that must not be linked in, by library.
FORBIDDEN_LIBRARIES = ("libgcc_eh.a", "libwinpthread.a")
# Members of the C++ library that carry the exception runtime.
FORBIDDEN_MEMBERS = re.compile(r"lib(stdc\+\+|supc\+\+)\.a\((eh_\w+|functexcept|bad_alloc|new_op\w*)\.o\)")
# Symbols that must not be defined in the DLL.
FORBIDDEN_SYMBOLS = re.compile(r"^\s+0x[0-9a-f]+\s+(_?_Unwind_\w+|_?__cxa_throw|_?__register_frame_info\w*)\s*$",
                               re.MULTILINE)


def included_members(link_map):
    """The archive members listed as included, one per entry."""
    section = link_map.split("Archive member included to satisfy reference by file (symbol)", 1)[-1]
    for ending in ("\nDiscarded input sections", "\nMemory Configuration", "\nAllocating common symbols"):
        section = section.split(ending, 1)[0]
    return [line.strip() for line in section.splitlines() if line and not line[0].isspace()]


def main():
    with open(sys.argv[1], encoding="utf-8", errors="replace") as f:
        link_map = f.read()
    members = included_members(link_map)
    if not members:
        print("FAIL the link map lists no archive members: not a link map?")
        return 1
    failures = [m for m in members
                if any(lib + "(" in m for lib in FORBIDDEN_LIBRARIES) or FORBIDDEN_MEMBERS.search(m)]
    failures += ["defines " + s for s in FORBIDDEN_SYMBOLS.findall(link_map)]
    for failure in failures:
        print("FAIL", failure)
    print("%d archive members checked, %d forbidden" % (len(members), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

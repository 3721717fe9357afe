#!/usr/bin/env python3
"""PathTaggerPreview.exe driven in its real window under Wine: its cells
against `pathtagger-preview --json` on the same files, the pattern it stores,
its keyboard and what it remembers, and a large folder read while it keeps
answering.

Usage: preview_window_test.py WINE_RUN WINDOW_DRIVER PREVIEW_WINDOW PREVIEW_CLI
The driver's folder is a host folder whose decoder folder holds a decoder
that writes tags (".low" among its formats) and one that cannot (".nos").
"""
import hashlib
import json
import os
import subprocess
import sys
import tempfile
import unittest

WINE_RUN, DRIVER, WINDOW, CLI = sys.argv[1:5]
HOST = os.path.dirname(DRIVER)

COLUMNS = ["File", "Artist", "Album", "Title", "Genre", "Year", "Track", "Result"]
WRITES = {"low": "tagged", "nos": "decoder cannot write tags"}

SMALL_TREE = [
    "Some Band/Best Of (98)/07 - A Song.low",
    "Some Band/Best Of (98)/08 - Two Words.nos",
    "Other/Live (2003)/1 - Intro.xyz",
    "Other/Live (2003)/2-Glued.low",
    "Flat/Band-Title.low",
    "Flat/Untitled.low",
    "Flat/No Extension",
    "Flat/Band - 1999 - 4.low",
]


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def make_tree(root, names):
    for name in names:
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(b"audio " + name.encode())


def snapshot(root):
    """Every file below root with its size, time and content digest."""
    found = {}
    for folder, _, files in os.walk(root):
        for name in files:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                found[path] = (os.path.getmtime(path), hashlib.sha1(f.read()).hexdigest())
    return found


def drive(*steps, stored="[artist]-[track]"):
    """The driver's output lines, split at tabs, by their first word."""
    command = [WINE_RUN, DRIVER, "--installed-to", windows_path(HOST),
               "--stored-pattern", stored, *steps]
    done = subprocess.run(command, capture_output=True, timeout=240)
    if done.returncode != 0:
        raise AssertionError("driver failed: %s" % done.stderr.decode("latin-1"))
    lines = {}
    for line in done.stdout.decode("latin-1").splitlines():
        word, _, rest = line.partition("\t")
        lines.setdefault(word, []).append(rest.split("\t"))
    return lines


def expected_rows(root, names, pattern):
    """The rows the command-line preview gives for the same full paths."""
    paths = [windows_path(os.path.join(root, name)) for name in names]
    done = subprocess.run([WINE_RUN, CLI, "--json", "--", pattern],
                          input="\n".join(paths).encode("latin-1"),
                          capture_output=True, timeout=120, check=True)
    rows = []
    for name, line in zip(names, done.stdout.decode("ascii").splitlines()):
        writes = dict(json.loads(line)["write"])
        extension = os.path.splitext(name)[1].lstrip(".")
        if not writes:
            result = "nothing recognised"
        else:
            result = WRITES.get(extension, "no decoder for ." + extension)
        rows.append([name.replace("/", "\\")] + [writes.get(c, "") for c in COLUMNS[1:7]]
                    + [result])
    return rows


def in_walk_order(names):
    """The order the window reads a tree in: each folder's entries by name."""
    return sorted(names, key=lambda name: [part.lower() for part in name.split("/")])


class PreviewWindow(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.root = self.scratch.name

    def tearDown(self):
        self.scratch.cleanup()

    def test_cells_follow_typing_and_equal_the_command_line_preview(self):
        make_tree(self.root, SMALL_TREE)
        before = snapshot(self.root)
        patterns = ["[artist]\\[album] ([year])\\[track number] - [track]",
                    "[artist]-[track]", "[title]", ""]
        steps = ["launch", WINDOW, "--folder", windows_path(self.root), "wait", "cells", "status"]
        for pattern in patterns:
            steps += ["type", pattern, "cells", "wait", "status", "warnings"]
        out = drive(*steps)

        names = in_walk_order(SMALL_TREE)
        shown = [out["cell"][i * len(names):(i + 1) * len(names)]
                 for i in range(len(patterns) + 1)]
        self.assertEqual(shown[0], expected_rows(self.root, names, "[artist]-[track]"),
                         "the pattern in force at start")
        for pattern, cells in zip(patterns, shown[1:]):
            expected = expected_rows(self.root, names, pattern)
            self.assertEqual(cells, expected, pattern)
        for pattern, status in zip(patterns, out["status"][1:]):
            expected = expected_rows(self.root, names, pattern)
            results = [row[-1] for row in expected]
            self.assertEqual(status[:5], [
                "%d files" % len(names),
                "%d would be tagged" % results.count("tagged"),
                "%d nothing recognised" % results.count("nothing recognised"),
                "%d no decoder" % sum(r.startswith("no decoder") for r in results),
                "%d decoder cannot write tags" % results.count("decoder cannot write tags")],
                pattern)
        warnings = [w[0] for w in out["warnings"]]
        self.assertEqual(warnings[0], "")
        self.assertIn("the title is [track]", warnings[2])
        # Nothing was written: no decoder was asked to tag, no file changed.
        self.assertEqual(snapshot(self.root), before)

    def test_use_this_pattern_stores_what_the_page_stores(self):
        make_tree(self.root, SMALL_TREE[:2])
        long_pattern = "[artist]-[track]" + "x" * 300
        out = drive("launch", WINDOW, "--folder", windows_path(self.root), "use",
                    "type", "[album]\\[artist]-[track]", "use",
                    "type", long_pattern, "use", stored="[artist] - [track]")
        self.assertEqual(out["use"][0], ["0", "[artist] - [track]", "0"],
                         "disabled while the box holds the pattern in force")
        self.assertEqual(out["use"][1], ["1", "[album]\\[artist]-[track]", "0"])
        # The page keeps the first 259 characters; so does the window.
        self.assertEqual(out["use"][2][1], long_pattern[:259])

    def test_keyboard_sorting_and_what_the_window_remembers(self):
        make_tree(self.root, SMALL_TREE)
        out = drive("launch", WINDOW, "--folder", windows_path(self.root), "wait",
                    "focus", "key", "Tab", "focus", "key", "Tab", "focus",
                    "key", "Tab", "focus", "key", "Tab", "focus", "key", "Enter", "focus",
                    "browse", "info",
                    "sort", "7", "cells", "sort", "7", "cells",
                    "resize", "700", "480", "key", "Escape", "exited",
                    "launch", WINDOW, "wait", "info", "key", "Alt+F4", "exited")
        # Pattern box, then (the button being disabled) the folder box,
        # Browse, the list and round again; Enter leaves the window open.
        self.assertEqual([f[0] for f in out["focus"]],
                         ["1001", "1002", "1006", "1003", "1001", "1001"])
        names = len(SMALL_TREE)
        up, down = out["cell"][:names], out["cell"][names:]
        results = [row[7] for row in up]
        self.assertEqual(results, sorted(results, key=str.lower))
        self.assertEqual([row[7] for row in down], sorted(results, key=str.lower, reverse=True))
        self.assertEqual(out["exited"], [["1"], ["1"]])
        # The folder picker opened over the window; cancelled, it changed nothing.
        self.assertEqual(out["browse"], [["1"]])
        self.assertEqual(out["info"][0][0], windows_path(self.root))
        folder, width, height = out["info"][1]
        self.assertEqual(folder, windows_path(self.root))
        self.assertEqual((int(width), int(height)), (700, 480))

    def test_ten_thousand_files_fill_while_the_window_answers(self):
        names = ["Artist %02d/Album %03d/%02d - Title %d.low" % (i % 50, i % 200, i % 20, i)
                 for i in range(10000)]
        make_tree(self.root, names)
        pattern = "[artist]\\[album]\\[track number] - [track]"
        out = drive("launch", WINDOW, "--folder", windows_path(self.root), "responsive",
                    "wait", "status", "type", pattern, "cells", "5", "wait", "status")
        longest_ms, polls, while_reading = out["responsive"][0]
        self.assertLess(float(longest_ms), 5000)
        self.assertEqual(out["status"][0][0], "10000 files")
        self.assertEqual(out["status"][-1][:2], ["10000 files", "10000 would be tagged"])
        first = in_walk_order(names)[:5]
        self.assertEqual(out["cell"], expected_rows(self.root, first, pattern))
        # The list was filling while the window answered.
        seen = [int(r[0].split(": ")[1].split()[0]) for r in out.get("reading", [])]
        if seen:
            self.assertLess(min(seen), 10000)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)

#!/usr/bin/env python3
"""PathTaggerPreview.exe driven in its real window under Wine: its cells
against `pathtagger-preview --json` on the same files, every file of a tree
with awkward names and why it would or would not be tagged, the files no
pattern fits, the suggestions against `pathtagger-preview --suggest`, the
pattern, fallbacks and check box it stores, its keyboard, layout and what it
remembers, and a large folder read while it keeps answering.

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

COLUMNS = ["File", "Artist", "Album", "Title", "Genre", "Year", "Track", "Result", "Used"]
RESULT = 7
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


def drive(*steps, stored="[artist]-[track]", installed_to=None):
    """The driver's output lines, split at tabs, by their first word."""
    installed_to = windows_path(HOST) if installed_to is None else installed_to
    command = [WINE_RUN, DRIVER, "--installed-to", installed_to,
               "--stored-pattern", stored, *steps]
    done = subprocess.run(command, capture_output=True, timeout=240)
    if done.returncode != 0:
        raise AssertionError("driver failed: %s" % done.stderr.decode("latin-1"))
    lines = {}
    for line in done.stdout.decode("utf-8").splitlines():
        word, _, rest = line.partition("\t")
        lines.setdefault(word, []).append(rest.split("\t"))
    return lines


def previewed(root, names, pattern):
    """What the command-line preview says of each full path: (writes, fits)."""
    paths = [windows_path(os.path.join(root, name)) for name in names]
    done = subprocess.run([WINE_RUN, CLI, "--json", "--", pattern],
                          input="\n".join(paths).encode("latin-1"),
                          capture_output=True, timeout=120, check=True)
    return [(dict(row["write"]), row["fits"])
            for row in map(json.loads, done.stdout.decode("ascii").splitlines())]


def expected_rows(root, names, patterns, only_when_fits=False):
    """The rows the command-line preview gives for the same full paths, with
    the plugin's choice among patterns: the first that fits, otherwise the
    first pattern's writes, or none when only fitting files are tagged. Only
    a file with a decoder can be a misfit; its Result's reason is left out
    (see plain). One without a decoder says so, refused or not."""
    patterns = [patterns] if isinstance(patterns, str) else patterns
    each = [previewed(root, names, pattern) for pattern in patterns]
    rows = []
    for i, name in enumerate(names):
        fitting = [n for n, answer in enumerate(each) if answer[i][1]]
        fits = bool(fitting)
        writes = each[fitting[0]][i][0] if fits else ({} if only_when_fits else each[0][i][0])
        extension = os.path.splitext(name)[1].lstrip(".")
        refused = not fits and only_when_fits
        if not writes and not refused:
            result = "nothing recognised"
        elif not extension:
            result = "no decoder: no extension"
        else:
            result = WRITES.get(extension, "no decoder for ." + extension)
        if not fits and extension in WRITES:
            result = "does not fit: " + ("not tagged" if only_when_fits else
                                         "tagged anyway" if result == "tagged" else result)
        rows.append([name.replace("/", "\\")] + [writes.get(c, "") for c in COLUMNS[1:7]]
                    + [result, str(fitting[0] + 1) if fits else ""])
    return rows


def plain(rows):
    """The window's rows with each misfit's reason taken out of its Result,
    once it is seen to be there: "does not fit: WHY; WHAT" as "does not fit:
    WHAT"."""
    out = []
    for row in rows:
        result = row[RESULT]
        if result.startswith("does not fit: "):
            why, _, what = result[len("does not fit: "):].rpartition("; ")
            assert why, "a misfit without its reason: " + result
            result = "does not fit: " + what
        out.append(row[:RESULT] + [result] + row[RESULT + 1:])
    return out


def misfits(rows):
    return [row for row in rows if row[RESULT].startswith("does not fit")]


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
        shown = [plain(out["cell"][i * len(names):(i + 1) * len(names)])
                 for i in range(len(patterns) + 1)]
        self.assertEqual(shown[0], expected_rows(self.root, names, "[artist]-[track]"),
                         "the pattern in force at start")
        for pattern, cells in zip(patterns, shown[1:]):
            expected = expected_rows(self.root, names, pattern)
            self.assertEqual(cells, expected, pattern)
        for pattern, status in zip(patterns, out["status"][1:]):
            expected = expected_rows(self.root, names, pattern)
            results = [row[RESULT].replace("does not fit: ", "") for row in expected]
            self.assertEqual(status[:7], [
                "%d files" % len(names),
                "%d would be tagged" % (results.count("tagged") + results.count("tagged anyway")),
                "%d nothing recognised" % results.count("nothing recognised"),
                "%d no decoder" % sum(r.startswith("no decoder") for r in results),
                "%d decoder cannot write tags" % results.count("decoder cannot write tags"),
                "0 unusable paths", "%d %s" % (len(misfits(expected)), "does not fit"
                                                 if len(misfits(expected)) == 1 else "do not fit")],
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
                    "type", long_pattern, "use", "warnings",
                    "type", "", "use", "warnings", "key", "Escape", "exited",
                    "launch", WINDOW, "text", "1001", stored="[artist] - [track]")
        self.assertEqual(out["use"][0], ["0", "[artist] - [track]", "0"],
                         "disabled while the box holds the pattern in force")
        self.assertEqual(out["use"][1], ["1", "[album]\\[artist]-[track]", "0"])
        # The setting would cut it: refused, and the warning says why.
        self.assertEqual(out["use"][2], ["0", "[album]\\[artist]-[track]", "0"])
        self.assertIn("cut", out["warnings"][0][0])
        # An empty pattern tags nothing and would read back as the default.
        self.assertEqual(out["use"][3], ["0", "[album]\\[artist]-[track]", "0"])
        self.assertIn("empty", out["warnings"][1][0])
        self.assertIn("[artist]-[track]", out["warnings"][1][0], "what the plugin puts back")
        # What was stored is what the next start shows.
        self.assertEqual(out["exited"], [["1"]])
        self.assertEqual(out["text"], [["[album]\\[artist]-[track]"]])

    def test_closing_over_an_unstored_pattern_asks_first(self):
        make_tree(self.root, SMALL_TREE[:2])
        out = drive("launch", WINDOW, "--folder", windows_path(self.root),
                    "type", "[album]-[track]", "key", "Escape", "dialog", "Cancel", "alive",
                    "key", "Escape", "dialog", "No", "exited",
                    "launch", WINDOW, "text", "1001", "type", "[genre]-[track]",
                    "key", "Alt+F4", "dialog", "Yes", "exited",
                    "launch", WINDOW, "text", "1001", "key", "Escape", "exited",
                    stored="[artist]-[track]")
        self.assertIn("Pattern: [album]-[track]", out["dialog"][0])
        self.assertEqual(out["alive"], [["1"]], "Cancel keeps the window and the edit")
        self.assertEqual(out["text"], [["[artist]-[track]"], ["[genre]-[track]"]],
                         "No drops the edit, Yes stores it")
        # Nothing edited: closes without asking.
        self.assertEqual(out["exited"], [["1"], ["1"], ["1"]])
        self.assertEqual(len(out["dialog"]), 3)

    def test_keyboard_sorting_and_what_the_window_remembers(self):
        make_tree(self.root, SMALL_TREE)
        out = drive("launch", WINDOW, "--folder", windows_path(self.root), "wait",
                    "focus", *["key", "Tab", "focus"] * 17,
                    "key", "Enter", "focus", "alive",
                    "key", "Alt+F", "focus", "key", "Alt+P", "focus", "key", "Alt+S", "focus",
                    "browse", "focus", "info",
                    "select", "0", "selected", "sort", "7", "cells", "selected",
                    "sort", "7", "cells", "selected",
                    "resize", "700", "480", "key", "Escape", "exited",
                    "launch", WINDOW, "wait", "info", "key", "Alt+F4", "exited")
        # Pattern box, then (Use this set being disabled) Suggest, the eight
        # token buttons, the fallbacks (their buttons disabled, with none
        # chosen and nothing to add), the check box, the folder box, Browse,
        # the filter, the list and round again.
        focus = [f[0] for f in out["focus"]]
        self.assertEqual(focus[:18], ["1001", "1010", *map(str, range(1020, 1028)), "1012",
                                      "1013", "1011", "1002", "1006", "1009", "1003", "1001"])
        self.assertEqual(focus[18], "1001", "Enter in the pattern box does nothing")
        self.assertEqual(out["alive"], [["1"]], "Enter leaves the window open")
        self.assertEqual(focus[19:22], ["1002", "1001", "1009"], "the labels' Alt keys")
        # The folder picker opened over the window at the folder in the box:
        # Wine's picker walks its tree down towards it, as far as it can
        # enumerate the machine's folders, so the folder or one on the way,
        # never the Desktop it opens at otherwise. Cancelled, it changed
        # nothing and gave the focus back to its button.
        (opened, picked), = out["browse"]
        self.assertEqual(opened, "1")
        on_the_way = os.path.abspath(self.root).split(os.sep)[1:]
        self.assertTrue(picked in on_the_way or picked.endswith("(Z:)"), picked)
        self.assertEqual(focus[22], "1006")
        names = len(SMALL_TREE)
        self.assertEqual(out["sort"], [["7", "up"], ["7", "down"]])
        up, down = out["cell"][:names], out["cell"][names:]
        results = [row[7] for row in up]
        self.assertEqual(results, sorted(results, key=str.lower))
        self.assertEqual([row[7] for row in down], sorted(results, key=str.lower, reverse=True))
        # The selection stays on the file, wherever sorting moves its row.
        first = in_walk_order(SMALL_TREE)[0].replace("/", "\\")
        self.assertEqual(out["selected"], [[first]] * 3)
        self.assertEqual(out["exited"], [["1"], ["1"]])
        self.assertEqual(out["info"][0][0], windows_path(self.root))
        folder, width, height = out["info"][1]
        self.assertEqual(folder, windows_path(self.root))
        self.assertEqual((int(width), int(height)), (700, 480))

    def test_a_folder_typed_into_the_box(self):
        make_tree(self.root, ["one/a-b.low"])
        make_tree(self.root, ["two/c-d.low", "two/e-f.low"])
        one, two = (windows_path(os.path.join(self.root, n)) for n in ("one", "two"))
        missing = windows_path(os.path.join(self.root, "missing"))
        out = drive("launch", WINDOW, "--folder", one, "wait", "status",
                    "key", "Alt+F", "settext", "1002", two, "key", "Tab", "wait", "cells",
                    "makefile", two + "\\g-h.low", "key", "F5", "wait", "status",
                    "layout", "key", "Alt+F", "settext", "1002", missing, "key", "Enter",
                    "wait", "status", "text", "1008", "layout", "key", "Escape", "exited",
                    "launch", WINDOW, "wait", "info")
        self.assertEqual(out["status"][0][0], "1 file")
        # Leaving the box reads the folder it names; F5 reads it again.
        self.assertEqual([row[0] for row in out["cell"]], ["c-d.low", "e-f.low"])
        self.assertEqual(out["status"][1][0], "3 files")
        self.assertEqual(out["layout"][0][1], "0", "nothing to say about the folder")
        # A folder that is not there says so and is not remembered.
        self.assertEqual(out["status"][2][0], "0 files")
        self.assertIn("no folder", out["text"][0][0])
        self.assertIn(missing, out["text"][0][0])
        self.assertGreater(int(out["layout"][1][1]), 0)
        self.assertEqual(out["info"][0][0], two)

    def test_every_file_appears_with_why_it_would_or_would_not_be_tagged(self):
        base = len(windows_path(os.path.join(self.root, "deep"))) + 1
        def of_length(total):
            stem = "Band-" + "x" * (total - base - len("Band-.low"))
            return "deep/" + stem + ".low"
        tree = ["宇多田ヒカル/First Love (1999)/01 - Automatic.low",
                "Flat/01 - オートマチック.low", "Flat/Café-Crème.low",
                "Flat/.DS_Store", "Flat/README", "Flat/Band-Song.xyz", "Flat/Band-Song.nos",
                of_length(259), of_length(260), of_length(270)]
        make_tree(self.root, tree)
        out = drive("launch", WINDOW, "--folder", windows_path(self.root), "wait",
                    "type", "[album]\\[track]", "wait", "cells", "status", "tip", "1", "0")
        shown = {row[0]: row for row in out["cell"]}
        # A cell its column cuts shows whole in a tip.
        self.assertEqual(out["tip"], [[out["cell"][1][0]]])
        self.assertGreater(len(out["tip"][0][0]), 200)
        self.assertEqual(sorted(shown), sorted(n.replace("/", "\\") for n in tree))
        result = {name: shown[name.replace("/", "\\")][7] for name in tree}
        outside = "not tagged: characters outside the code page"
        too_long = "not tagged: path longer than 259 characters"
        self.assertEqual(result, {
            tree[0]: outside, tree[1]: outside, tree[2]: "tagged",
            tree[3]: "no decoder for files named .DS_Store",
            tree[4]: "no decoder: no extension", tree[5]: "no decoder for .xyz",
            tree[6]: "decoder cannot write tags",
            tree[7]: "tagged", tree[8]: too_long, tree[9]: too_long})
        self.assertEqual(shown["Flat\\Café-Crème.low"][1:4], ["", "Flat", "Café-Crème"])
        self.assertEqual(out["status"][0][:6], [
            "10 files", "2 would be tagged", "0 nothing recognised", "3 no decoder",
            "1 decoder cannot write tags", "4 unusable paths"])

    def test_without_the_hosts_decoders_the_window_says_so(self):
        make_tree(self.root, SMALL_TREE[:1])
        out = drive("launch", WINDOW, "--folder", windows_path(self.root), "wait",
                    "cells", "text", "1008", installed_to="")
        self.assertEqual(out["cell"][0][7], "no decoder: host's decoders not found")
        self.assertIn("decoders were not found", out["text"][0][0])
        self.assertIn("InstalledTo", out["text"][0][0])

    def test_layout_follows_what_it_holds_and_the_windows_size(self):
        make_tree(self.root, SMALL_TREE[:2])
        five = "[title] [nr] [date] [band]-[track][track]-[artist]"
        out = drive("launch", WINDOW, "--folder", windows_path(self.root), "wait",
                    "layout", "type", five, "warnings", "layout",
                    "resize", "560", "400", "layout", "resize", "1400", "700", "layout",
                    "type", "[artist]-[track]", "layout", "sort", "5")
        plain, warned, narrow, wide, again = [[int(v) for v in row] for row in out["layout"]]
        self.assertEqual(plain[0], 0, "no warnings, no room for them")
        self.assertEqual(again[0], 0)
        lines = len(out["warnings"][0])
        self.assertGreaterEqual(lines, 5)
        # Every warning line has room, and a narrower window wraps them
        # onto more lines.
        self.assertGreaterEqual(warned[0], lines * 12)
        self.assertGreater(narrow[0], warned[0])
        for width, *columns in (row[2:] for row in (plain, wide)):
            self.assertLessEqual(sum(columns), width, "no part of a column hidden")
            self.assertGreater(sum(columns), width * 0.9, "no empty half of the list")
        self.assertGreater(wide[3 + 7], plain[3 + 7], "Result widens with the window")
        # Sorting by Year fits its heading and arrow: the click found it.
        self.assertEqual(out["sort"], [["5", "up"]])

    def test_first_start_columns_status_bar_and_access_keys(self):
        make_tree(self.root, SMALL_TREE)
        a, b = "[genre]\\[track]", "[album]\\[track]"
        out = drive("launch", WINDOW, "text", "1008",
                    "key", "Alt+F", "settext", "1002", windows_path(self.root), "key", "Enter",
                    "wait", "text", "1008", "layout", "dragcolumn", "0", "70", "layout",
                    "resize", "1200", "700", "layout",
                    "resize", "560", "480", "status", "statusparts",
                    "settext", "1013", a, "click", "1014", "settext", "1013", b, "click", "1014",
                    "choose", "1012", "1", "key", "Alt+V", "items", "1012",
                    "key", "Alt+W", "items", "1012", "key", "Alt+M", "text", "1001",
                    "items", "1012", "key", "Alt+F4", "dialog", "No", "exited",
                    "launch", WINDOW, "wait", "layout")
        # The first start asks for a folder; once one is read, nothing to say.
        self.assertIn("Choose a folder", out["text"][0][0])
        self.assertEqual(out["text"][1], [""])
        fitted, dragged, wider, again = [[int(v) for v in row] for row in out["layout"]]
        # A dragged column keeps its width through resizing and the next
        # start; the others share what is left.
        self.assertEqual(dragged[3], fitted[3] + 70)
        self.assertEqual(wider[3], dragged[3])
        self.assertGreater(sum(wider[4:]), sum(dragged[4:]))
        self.assertEqual(again[3], dragged[3])
        # At the smallest size every part that counts something has room.
        width, *parts = [int(v) for v in out["statusparts"][0]]
        texts = out["status"][0]
        self.assertLessEqual(sum(parts[:-1]), width)
        for text, part in zip(texts, parts):
            if text and not text.startswith("0 "):
                self.assertGreater(part, len(text) * 4, text)
        # Move up, Move down and Make main by their access keys.
        self.assertEqual(out["items"][:2], [[b, a], [a, b]])
        self.assertEqual(out["text"][2], [b])
        self.assertEqual(out["items"][2], [a, "[artist]-[track]"])

    def test_token_buttons_and_the_result_filter(self):
        make_tree(self.root, SMALL_TREE)
        out = drive("launch", WINDOW, "--folder", windows_path(self.root), "wait",
                    "type", "[artist]-", "click", "1022", "text", "1001",
                    "type", "[artist]\\[album] ([year])\\", "click", "1025", "text", "1001",
                    "wait", "choose", "1009", "1", "wait", "cells", "status",
                    "choose", "1009", "3", "wait", "cells",
                    "choose", "1009", "0", "wait", "cells")
        self.assertEqual(out["text"], [["[artist]-[track]"],
                                       ["[artist]\\[album] ([year])\\[track number]"]])
        names = len(SMALL_TREE)
        results = [row[7] for row in out["cell"]]
        tagged = int(out["status"][0][0].split()[0])
        self.assertEqual(out["status"][0][0], "%d of %d files shown" % (tagged, names))
        self.assertEqual(out["status"][0][1], "%d would be tagged" % tagged)
        self.assertGreater(tagged, 0)
        self.assertTrue(all(r == "tagged" or r.endswith("; tagged anyway")
                            for r in results[:tagged]), results[:tagged])
        nothing = results[tagged:-names]
        self.assertGreater(len(nothing), 0)
        self.assertTrue(all(r.endswith("nothing recognised") for r in nothing), nothing)
        self.assertTrue(any(r.startswith("does not fit: ") for r in nothing), nothing)
        self.assertEqual(len(results[-names:]), names, "All shows every file again")

    def test_misfits_are_set_apart_counted_filtered_and_refused_when_asked(self):
        make_tree(self.root, SMALL_TREE + ["Some Band/Best Of (98)/cover.jpg"])
        names = in_walk_order(SMALL_TREE + ["Some Band/Best Of (98)/cover.jpg"])
        layout = "[artist]\\[album] ([year])\\[track number] - [track]"
        steps = ["launch", WINDOW, "--folder", windows_path(self.root), "wait", "cells", "status"]
        steps += [word for row in range(len(names)) for word in ("background", str(row))]
        steps += ["choose", "1009", "4", "wait", "cells", "status", "choose", "1009", "0",
                  "checked", "1011", "click", "1011", "wait", "cells", "status", "checked", "1011",
                  "use", "settings", "click", "1011"]
        # Sorted by Result, the rows move, and their colours with them.
        steps += ["sort", "7", "cells"]
        steps += [word for row in range(len(names)) for word in ("background", str(row))]
        out = drive(*steps, stored=layout)

        expected = expected_rows(self.root, names, layout)
        shown, tagging_anyway = plain(out["cell"][:len(names)]), expected
        self.assertEqual(shown, tagging_anyway)
        self.assertGreaterEqual(len(misfits(expected)), 3)
        self.assertIn("does not fit: tagged anyway", [row[RESULT] for row in expected])
        self.assertEqual(out["status"][0][6], "%d do not fit" % len(misfits(expected)))
        # Misfit rows are painted apart, and only they.
        set_apart = {row: colour for row, colour in out["background"][:len(names)]}
        for row, cells in enumerate(expected):
            misfit = cells[RESULT].startswith("does not fit")
            self.assertEqual(set_apart[str(row)] == "FFE4E4", misfit, cells)
        # The filter's last choice keeps the misfits alone.
        filtered = plain(out["cell"][len(names):len(names) + len(misfits(expected))])
        self.assertEqual(sorted(filtered), sorted(misfits(expected)), "still sorted by Result")
        self.assertEqual(out["status"][1][0], "%d of %d files shown" % (len(filtered), len(names)))
        # Checked, misfits are not tagged and get nothing; the setting is
        # stored with the set.
        refused = expected_rows(self.root, names, layout, only_when_fits=True)
        self.assertEqual(plain(out["cell"][-2 * len(names):-len(names)]), refused)
        self.assertEqual(out["status"][2][1], "%d would be tagged"
                         % [row[RESULT] for row in refused].count("tagged"))
        self.assertEqual(out["checked"], [["0"], ["1"]])
        self.assertEqual(out["settings"], [["1"]])
        sorted_rows = out["cell"][-len(names):]
        self.assertNotEqual(plain(sorted_rows), expected, "the sort moved rows")
        self.assertEqual(sorted(plain(sorted_rows)), sorted(expected))
        for (row, colour), cells in zip(out["background"][len(names):], sorted_rows):
            self.assertEqual(colour == "FFE4E4", cells[RESULT].startswith("does not fit"), cells)

    def test_suggest_leads_to_a_set_that_reads_every_track(self):
        tracks = ["Band %d/Album %d (%d)/%02d - Song %d" % (i % 3, i % 4, 1990 + i % 4, i % 9 + 1, i)
                  for i in range(24)]
        tracks += ["Band 1/Two Discs/Disc %d/%02d - Part %d" % (d, n, n) for d in (1, 2)
                   for n in range(1, 5)]
        tracks += ["Band 2/Singles/%d-%02d Take %d" % (1, n, n) for n in range(1, 4)]
        # Covers, logs and playlists: no decoder, never counted or misfits.
        others = ["Band 0/Album 0 (1990)/cover.jpg", "Band 1/Two Discs/rip.log",
                  "Band 2/Singles/all.m3u"]
        window_tree = [t + ".low" for t in tracks] + others
        make_tree(os.path.join(self.root, "window"), window_tree)
        # The same tree with a common audio extension, for the command line.
        make_tree(os.path.join(self.root, "cli"), [t + ".mp3" for t in tracks] + others)
        folder = windows_path(os.path.join(self.root, "window"))
        def cli(*arguments):
            done = subprocess.run([WINE_RUN, CLI, "--suggest",
                                   windows_path(os.path.join(self.root, "cli")), *arguments],
                                  capture_output=True, timeout=120, check=True)
            return [line.split("\t") for line in done.stdout.decode("latin-1").splitlines()]
        the_set, ranked = cli("--set"), cli()
        patterns = [p for _, _, p in the_set]
        self.assertGreater(len(patterns), 1, "the tree needs more than one pattern")
        out = drive("launch", WINDOW, "--folder", folder, "wait",
                    "suggest", str(len(patterns) + 1), "cancel",
                    "text", "1001", "items", "1012", "checked", "1011",
                    "suggest", "wait", "text", "1001", "items", "1012", "checked", "1011",
                    "cells", "status", "choose", "1009", "6", "wait", "cells",
                    stored="[artist]-[track]")
        lines = [s[0] for s in out["suggestion"]]
        count = len(patterns) + 1 + len(ranked)
        self.assertEqual(len(lines), 2 * count)
        read = sum(int(used) for used, _, _ in the_set)
        self.assertEqual(lines[0], "The suggested set: a pattern of it fits %d of %s files; "
                         "tried in this order:" % (read, the_set[0][1]))
        self.assertEqual(read, len(tracks))
        self.assertEqual(lines[1:len(patterns) + 1],
                         ["    %d.  first to fit %s files:  %s" % (n + 1, used, p)
                          for n, (used, _, p) in enumerate(the_set)])
        self.assertEqual(lines[len(patterns) + 1:count],
                         ["%s of %s files fit, %s values:  %s" % tuple(r) for r in ranked])
        self.assertEqual(lines[count:], lines[:count], "the same suggestions the second time")
        # Highlighting a single layout shows it; Cancel puts back what was there.
        self.assertEqual(out["previewed"], [[ranked[0][3]]])
        self.assertEqual(out["text"][0], ["[artist]-[track]"])
        self.assertEqual(out["items"][0], [""])
        self.assertEqual(out["checked"][0], ["0"])
        # Use this set: the pattern, its fallbacks and the check box.
        self.assertEqual(out["text"][1], [patterns[0]])
        self.assertEqual(out["items"][1], patterns[1:])
        self.assertEqual(out["checked"][1], ["1"])
        names = in_walk_order(window_tree)
        expected = expected_rows(os.path.join(self.root, "window"), names, patterns,
                                 only_when_fits=True)
        self.assertEqual(plain(out["cell"][:len(names)]), expected)
        # Show's choice for the second pattern: the rows it read, alone.
        self.assertEqual(out["cell"][len(names):], [row for row in expected if row[-1] == "2"])
        out["cell"] = out["cell"][:len(names)]
        # Every track read by a pattern of the set, and no misfit left.
        self.assertEqual(out["status"][0][1], "%d would be tagged" % len(tracks))
        self.assertEqual(out["status"][0][6], "0 do not fit")
        used = [row[-1] for row in out["cell"] if row[0].endswith(".low")]
        self.assertNotIn("", used)
        self.assertEqual(len(set(used)), len(patterns), "each pattern of the set reads some")

    def test_suggest_says_when_there_is_nothing_to_suggest(self):
        make_tree(self.root, ["Band/Album/cover.jpg", "Band/Album/rip.log", "Band/list.m3u"])
        out = drive("launch", WINDOW, "--folder", windows_path(self.root), "wait",
                    "key", "Alt+G", "dialog", "Cancel", "alive", "text", "1001",
                    stored="[artist]-[track]")
        self.assertIn("Nothing to suggest", " ".join(out["dialog"][0]))
        self.assertEqual(out["alive"], [["1"]])
        self.assertEqual(out["text"], [["[artist]-[track]"]])

    def test_the_set_is_stored_as_one_and_read_back(self):
        make_tree(self.root, SMALL_TREE)
        names = in_walk_order(SMALL_TREE)
        layout = "[artist]\\[album] ([year])\\[track number] - [track]"
        a, b, c = "[genre]\\[track]", "[artist]-[track]", "[album]\\[track number] - [track]"
        out = drive("launch", WINDOW, "--folder", windows_path(self.root), "wait",
                    "click", "1011", "settings",
                    "settext", "1013", a, "key", "Alt+K", "key", "Tab", "focus", "key", "Enter",
                    "settext", "1013", b, "click", "1014",
                    "settext", "1013", c, "key", "Alt+A", "items", "1012", "settings",
                    "use", "settings",
                    "choose", "1012", "2", "click", "1015", "items", "1012", "settings",
                    "choose", "1012", "0", "click", "1017", "items", "1012", "use", "settings",
                    "wait", "cells", "key", "Escape", "exited",
                    "launch", WINDOW, "wait", "items", "1012", "checked", "1011", "cells",
                    "click", "1011", "choose", "1012", "1", "click", "1017",
                    "click", "1017", "items", "1012", "settings", "use", "settings",
                    "wait", "cells", "key", "Escape", "exited",
                    stored=layout)
        # Nothing is stored until Use this set: then all of it at once.
        self.assertEqual(out["settings"][0], ["none"])
        # From the list, with nothing chosen, Tab goes to the box under it,
        # where Enter adds; so do Add's click and its Alt key.
        self.assertEqual(out["focus"], [["1013"]])
        self.assertEqual(out["items"][0], [a, b, c])
        self.assertEqual(out["settings"][1], ["none"])
        self.assertEqual(out["use"][0], ["1", layout, "0"])
        self.assertEqual(out["settings"][2], ["1", a, b, c])
        self.assertEqual(out["items"][1], [a, c, b], "moved up")
        self.assertEqual(out["settings"][3], ["1", a, b, c], "not stored yet")
        # Removing one moves the later ones up: no gap the plugin would stop at.
        self.assertEqual(out["items"][2], [c, b])
        self.assertEqual(out["settings"][4], ["1", c, b])
        rows = len(names)
        chosen = expected_rows(self.root, names, [layout, c, b], only_when_fits=True)
        self.assertEqual(plain(out["cell"][:rows]), chosen)
        self.assertNotEqual(chosen, expected_rows(self.root, names, layout, only_when_fits=True),
                            "the fallbacks change some rows")
        # Everything stored, the window closes without asking, and the next
        # start reads what was stored.
        self.assertEqual(out["exited"], [["1"], ["1"]])
        self.assertNotIn("dialog", out)
        self.assertEqual(out["items"][3], [c, b])
        self.assertEqual(out["checked"], [["1"]])
        self.assertEqual(plain(out["cell"][rows:2 * rows]), chosen)
        # Unchecked, the value goes; with no fallbacks left, none is stored.
        self.assertEqual(out["items"][4], [""], "none left")
        self.assertEqual(out["settings"][5], ["1", c, b])
        self.assertEqual(out["settings"][6], ["none"])
        self.assertEqual(plain(out["cell"][2 * rows:]), expected_rows(self.root, names, layout))

    def test_closing_asks_once_and_no_keeps_the_whole_old_set(self):
        make_tree(self.root, SMALL_TREE[:2])
        a = "[genre]\\[track]"
        out = drive("launch", WINDOW, "--folder", windows_path(self.root),
                    "settext", "1013", a, "click", "1014", "click", "1011",
                    "type", "[album]-[track]", "key", "Alt+F4", "dialog", "No", "exited", "settings",
                    "launch", WINDOW, "text", "1001", "items", "1012", "checked", "1011",
                    "settext", "1013", a, "click", "1014", "key", "Alt+F4", "dialog", "Yes",
                    "exited", "settings", stored="[artist]-[track]")
        # One question names the whole set.
        question = out["dialog"][0]
        for part in ("[album]-[track]", a, "fits: yes"):
            self.assertTrue(any(part in line for line in question), part)
        self.assertEqual(len(out["dialog"]), 2)
        # No keeps the old pattern with its old fallbacks and check box.
        self.assertEqual(out["settings"][0], ["none"])
        self.assertEqual(out["text"], [["[artist]-[track]"]])
        self.assertEqual(out["items"][0], [""])
        self.assertEqual(out["checked"], [["0"]])
        # Yes stores it all, a fallback alone as much as a pattern.
        self.assertEqual(out["exited"], [["1"], ["1"]])
        self.assertEqual(out["settings"][1], ["none", a])

    def test_editing_fallbacks(self):
        make_tree(self.root, SMALL_TREE[:2])
        more = ["[artist]-[track] %d" % n for n in range(7)]
        steps = ["launch", WINDOW, "--folder", windows_path(self.root), "wait",
                 # The token buttons insert into the box being edited; Tab
                 # into it selected its text, which the token replaces.
                 "settext", "1013", "[artist]\\", "key", "Alt+K", "key", "Tab", "click", "1025",
                 "text", "1013", "text", "1001", "text", "1030", "click", "1014",
                 # A fallback gets the pattern's warnings.
                 "settext", "1013", "[title] [nr]", "text", "1030", "settext", "1013", "",
                 "text", "1030",
                 # Changed in its place, then made the main pattern.
                 "choose", "1012", "0", "text", "1013",
                 "settext", "1013", "[album]\\[track]", "click", "1019", "items", "1012",
                 "choose", "1012", "0", "click", "1018", "text", "1001", "items", "1012"]
        for fallback in more:
            steps += ["settext", "1013", fallback, "click", "1014"]
        # A ninth is refused, and the window says why.
        steps += ["items", "1012", "settext", "1013", "[genre]-[track]", "click", "1014",
                  "items", "1012", "text", "1030",
                  # Escape over typed text does not close the window.
                  "choose", "1012", "-1", "key", "Alt+K", "key", "Tab", "focus",
                  "key", "Escape", "alive"]
        out = drive(*steps, stored="[artist]-[track]")
        text = [t[0] if len(t) == 1 else "\t".join(t) for t in out["text"]]
        self.assertEqual(text[0], "[track number]")
        self.assertEqual(text[1], "[artist]-[track]", "the pattern box untouched")
        self.assertEqual(text[2], "", "nothing to warn of in the fallback box")
        self.assertIn("[nr]", text[3])
        self.assertEqual(text[4], "")
        self.assertEqual(text[5], "[track number]", "the chosen one, to edit")
        self.assertEqual(out["items"][0], ["[album]\\[track]"])
        self.assertEqual(text[6], "[album]\\[track]")
        self.assertEqual(out["items"][1], ["[artist]-[track]"], "the pattern took its place")
        self.assertEqual(out["items"][2], ["[artist]-[track]"] + more)
        self.assertEqual(out["items"][3], out["items"][2])
        self.assertIn("Eight fallbacks", text[7])
        self.assertEqual(out["focus"], [["1013"]])
        self.assertEqual(out["alive"], [["1"]])

    def test_help_is_an_answer_and_a_wrong_option_is_named(self):
        out = drive("usage", WINDOW, "--help", "usage", WINDOW, "--bogus", "x",
                    "usage", WINDOW, "--folder")
        help_, bogus, missing = out["usage"]
        self.assertEqual(help_[-1], "0")
        self.assertTrue(help_[0].startswith("PathTaggerPreview.exe [--folder PATH]"))
        self.assertEqual((bogus[0], bogus[-1]), ('Unknown option "--bogus".', "2"))
        self.assertEqual((missing[0], missing[-1]), ("--folder needs a value.", "2"))

    def test_ten_thousand_files_fill_while_the_window_answers(self):
        names = ["Artist %02d/Album %03d/%02d - Title %d.low" % (i % 50, i % 200, i % 20, i)
                 for i in range(10000)]
        make_tree(self.root, names)
        pattern = "[artist]\\[album]\\[track number] - [track]"
        # The folder is read from Enter on; once the window has handled the
        # key it is reading, and the polls begin.
        out = drive("launch", WINDOW, "key", "Alt+F", "settext", "1002", windows_path(self.root),
                    "key", "Enter", "responsive", "wait", "status", "type", pattern,
                    "cells", "5", "wait", "status")
        longest_ms, polls, while_reading = out["responsive"][0]
        self.assertLess(float(longest_ms), 5000)
        self.assertEqual(out["status"][0][0], "10,000 files")
        self.assertEqual(out["status"][-1][:2], ["10,000 files", "10,000 would be tagged"])
        first = in_walk_order(names)[:5]
        self.assertEqual(plain(out["cell"]), expected_rows(self.root, first, pattern))
        # The list was filling while the window answered.
        seen = [int(r[0].split(": ")[1].split()[0].replace(",", ""))
                for r in out.get("reading", [])]
        self.assertGreater(int(while_reading), 0)
        self.assertLess(min(seen), 10000)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)

#!/usr/bin/env python3
"""pathtagger-preview --suggest FOLDER --set on trees laid out as widely
used rippers and library managers name files, then the preview of that set
with --only-when-fits on every file, compared with what the tree was made
from: no file may get a wrong value, and nearly all are read right.

Usage: layout_suggest_test.py [RUNNER...] PREVIEW_EXECUTABLE
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import layout_trees  # noqa: E402

COMMAND = sys.argv[1:]
FIELDS = {"Artist": "artist", "Album": "album", "Title": "title", "Year": "year",
          "Track": "trackNumber", "Genre": "genre"}


def run(args, stdin=b""):
    done = subprocess.run(COMMAND + args, input=stdin, capture_output=True, timeout=300)
    return done.returncode, done.stdout, done.stderr


def under_wine():
    return len(COMMAND) > 1


def folder_argument(path):
    """The folder as the program under test names it: a Windows program run
    under Wine sees this machine's root as drive Z:."""
    return "Z:" + path.replace("/", "\\") if under_wine() else path


def windows_path(path):
    """A path as the plugin sees it, with backslashes (natively too)."""
    return ("Z:" if under_wine() else "") + path.replace("/", "\\")


def make_tree(root, name):
    return layout_trees.make_tree(root, name, "utf-8" if under_wine() else "latin-1")


def suggested_set(root):
    code, out, err = run(["--suggest", folder_argument(root), "--set"])
    if code != 0:
        raise AssertionError("--suggest --set: exit %d, %s" % (code, err.decode()))
    lines = [line.split(b"\t") for line in out.splitlines()]
    return [(int(used), int(files), pattern.decode("latin-1")) for used, files, pattern in lines]


def written(root, truth, patterns):
    """What the plugin would write to each file with the set, by path."""
    args = ["--json", "--only-when-fits"]
    for fallback in patterns[1:]:
        args += ["--fallback", fallback.encode("latin-1")]
    args += ["--", patterns[0].encode("latin-1")]
    paths = [windows_path(root) + "\\" + relative for relative in truth]
    code, out, err = run(args, "\n".join(paths).encode("latin-1"))
    if code != 0:
        raise AssertionError("preview: exit %d, %s" % (code, err.decode()))
    writes = {}
    for relative, line in zip(truth, out.splitlines()):
        values = {}
        for field, value in json.loads(line)["write"]:
            values[FIELDS[field]] = int(value) if field in ("Year", "Track") else value
        writes[relative] = values
    return writes


class SuggestedSets(unittest.TestCase):
    right = 0
    files = 0

    def check_layout(self, name):
        with tempfile.TemporaryDirectory() as root:
            truth = make_tree(root, name)
            chosen = suggested_set(root)
            self.assertTrue(chosen, name)
            self.assertLessEqual(len(chosen), 9)
            self.assertTrue(all(files == len(truth) for _, files, _ in chosen),
                            "covers, logs and playlists are not counted")
            writes = written(root, truth, [pattern for _, _, pattern in chosen])
        used = sum(count for count, _, _ in chosen)
        self.assertEqual(used, sum(1 for values in writes.values() if values),
                         "USED counts the files the plugin tags")
        for relative, expected in truth.items():
            got = writes[relative]
            wrong = {field: value for field, value in got.items() if expected.get(field) != value}
            self.assertEqual(wrong, {}, "%s: %s read %s" % (name, relative, got))
            if got and all(got.get(field) == value for field, value in expected.items()):
                SuggestedSets.right += 1
        SuggestedSets.files += len(truth)

    @classmethod
    def tearDownClass(cls):
        if cls.files:
            print("\nread right: %d of %d files" % (cls.right, cls.files), file=sys.stderr)


def add_layout_test(name):
    setattr(SuggestedSets, "test_" + name.replace("-", "_"),
            lambda self: self.check_layout(name))


for layout in layout_trees.LAYOUTS:
    add_layout_test(layout)


class ReadRight(unittest.TestCase):
    def test_nearly_every_file_is_read_right(self):
        """Titles holding " - " cannot be told from a separator where one
        precedes them; those few are left alone, and nothing else is."""
        right = files = 0
        for name in layout_trees.LAYOUTS:
            with tempfile.TemporaryDirectory() as root:
                truth = make_tree(root, name)
                writes = written(root, truth, [p for _, _, p in suggested_set(root)])
            for relative, expected in truth.items():
                got = writes[relative]
                right += bool(got) and all(got.get(f) == v for f, v in expected.items())
            files += len(truth)
        self.assertGreaterEqual(right * 100, files * 92, "%d of %d read right" % (right, files))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)

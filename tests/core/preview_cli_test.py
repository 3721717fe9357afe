#!/usr/bin/env python3
"""Runs pathtagger-preview as a user would: arguments, standard input, errors.

Usage: preview_cli_test.py [RUNNER...] PREVIEW_EXECUTABLE
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

COMMAND = sys.argv[1:]


def run(args, stdin=b""):
    done = subprocess.run(COMMAND + args, input=stdin, capture_output=True, timeout=120)
    return done.returncode, done.stdout, done.stderr


def folder_argument(path):
    """The folder as the program under test names it: a Windows program run
    under Wine sees this machine's root as drive Z:."""
    return "Z:" + path.replace("/", "\\") if len(COMMAND) > 1 else path


def make_tree(root, relative_paths):
    for relative in relative_paths:
        path = os.path.join(root, *relative.split("\\"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        open(path, "wb").close()


def json_lines(stdout):
    return [json.loads(line) for line in stdout.decode("ascii").splitlines()]


class PreviewCli(unittest.TestCase):
    def test_worked_examples_as_json(self):
        code, out, _ = run(["--json", "[album]\\[artist]-[track]",
                            "D:\\Rips\\Best Of\\Some Band-A Song.wma",
                            "C:\\Music\\Untitled.mp3"])
        self.assertEqual(code, 0)
        first, second = json_lines(out)
        self.assertEqual(list(first), ["path", "match", "write", "fits", "used"])
        self.assertEqual((first["used"], second["used"]), (0, None))
        self.assertEqual((first["fits"], second["fits"]), (True, False))
        self.assertEqual(first["match"], {"artist": "Some Band", "album": "Best Of",
                                          "title": "A Song", "genre": "",
                                          "year": 0, "trackNumber": 0})
        self.assertEqual(first["write"], [["Artist", "Some Band"], ["Album", "Best Of"],
                                          ["Title", "A Song"]])
        self.assertEqual(second["write"], [])

    def test_paths_from_standard_input(self):
        stdin = b"C:\\Music\\Some Band-07-A Song.mp3\r\nC:\\Music\\A-B-C.mp3\nC:\\x\\\xe9-\xff\x01.mp3"
        code, out, _ = run(["--json", "--", "[artist]-[track number]-[track]"], stdin)
        self.assertEqual(code, 0)
        lines = json_lines(out)
        self.assertEqual(len(lines), 3)
        self.assertEqual(lines[0]["path"], "C:\\Music\\Some Band-07-A Song.mp3")
        self.assertEqual(lines[0]["write"], [["Artist", "Some Band"], ["Title", "A Song"],
                                             ["Track", "7"]])
        # Bytes come back as the Latin-1 code points of the same values.
        self.assertEqual(lines[2]["path"].encode("latin-1"), b"C:\\x\\\xe9-\xff\x01.mp3")
        self.assertIn(b"\\u00e9", out)

    def test_pattern_after_double_dash_may_begin_with_a_dash(self):
        code, out, _ = run(["--json", "--", "-[track]", "C:\\Music\\x-Song.mp3"])
        self.assertEqual(code, 0)
        self.assertEqual(json_lines(out)[0]["write"], [["Title", "Song"]])

    def test_empty_pattern_matches_nothing(self):
        code, out, _ = run(["--json", "", "C:\\Music\\A-B.mp3"])
        self.assertEqual(code, 0)
        self.assertEqual(json_lines(out)[0]["write"], [])

    def test_table_shows_cleaned_values(self):
        code, out, _ = run(["[artist]\\[album] ([year])\\[track number] - [track]",
                            "E:\\Some Band\\Best Of (98)\\07 - A Song.flac"])
        self.assertEqual(code, 0)
        header, rule, row = out.decode("ascii").splitlines()
        self.assertTrue(header.startswith("Path"))
        self.assertEqual(row.split("  ")[0], "E:\\Some Band\\Best Of (98)\\07 - A Song.flac")
        self.assertEqual(row.split()[-5:], ["Song", "1998", "7", "yes", "1"])
        self.assertIn("A Song", row)
        self.assertIn("1998", row)
        self.assertNotIn(" 98 ", row)

    def test_check_lists_one_line_per_mistake_and_nothing_for_a_sound_pattern(self):
        code, out, err = run(["--check", "[title]-[artist][track]-[artist]"])
        self.assertEqual((code, err), (0, b""))
        lines = out.decode("ascii").splitlines()
        self.assertEqual([line.split("\t")[0] for line in lines],
                         ["not-a-token", "adjacent-tokens", "repeated-token"])
        self.assertTrue(all(len(line.split("\t")) == 2 for line in lines))
        self.assertIn("[track]", lines[0].split("\t")[1])
        for sound in ("[artist]-[track]", "[track number][track]",
                      "[artist]\\[album] ([year])\\[track number] - [track]"):
            self.assertEqual(run(["--check", sound]), (0, b"", b""), sound)
        code, out, _ = run(["--check", "--", "-[Title] [track]" + "x" * 250])
        self.assertEqual(code, 0)
        self.assertEqual([line.split(b"\t")[0] for line in out.splitlines()],
                         [b"too-long", b"not-a-token"])

    def test_bad_arguments_say_what_was_wrong(self):
        for args, why in (([], "no pattern"), (["--json"], "no pattern"),
                          (["--bogus", "[track]"], 'unknown option "--bogus"'),
                          (["--"], "no pattern"), (["--check"], "no pattern"),
                          (["--check", "--json", "[track]"], "do not go together"),
                          (["--check", "[track]", "C:\\x.mp3"], "only a pattern")):
            code, out, err = run(args)
            self.assertEqual(code, 2, args)
            self.assertEqual(out, b"")
            first, *usage = err.decode().splitlines()
            self.assertIn(why, first, args)
            self.assertTrue(usage[0].startswith("usage:"), args)

    def test_help_is_an_answer_not_an_error(self):
        for option in ("--help", "-h"):
            code, out, err = run([option])
            self.assertEqual((code, err), (0, b""), option)
            self.assertTrue(out.decode().startswith("usage:"))
            self.assertIn("--check", out.decode())


class Fallbacks(unittest.TestCase):
    def test_the_first_pattern_that_fits_is_used_and_only_fits_are_written(self):
        paths = ["C:\\M\\Band\\Album\\03 - Song.mp3", "C:\\M\\Loose - Tune.mp3",
                 "C:\\M\\Band\\Album\\03 Song.mp3"]
        args = ["--json", "--fallback", "[artist] - [track]", "--",
                "[artist]\\[album]\\[track number] - [track]"]
        code, out, _ = run(args + paths)
        self.assertEqual(code, 0)
        album, loose, misfit = json_lines(out)
        self.assertEqual((album["used"], loose["used"], misfit["used"]), (0, 1, None))
        self.assertEqual(loose["write"], [["Artist", "Loose"], ["Title", "Tune"]])
        self.assertNotEqual(misfit["write"], [], "without --only-when-fits, as the plugin always did")
        code, out, _ = run(["--only-when-fits"] + args + paths)
        self.assertEqual(json_lines(out)[2]["write"], [])
        code, out, _ = run(["--fallback", "[artist] - [track]", "--",
                            "[artist]\\[album]\\[track number] - [track]"] + paths)
        rows = out.decode().splitlines()
        self.assertEqual(rows[0].split()[-2:], ["Fits", "Used"])
        self.assertEqual(rows[3].split()[-2:], ["yes", "2"])

    def test_at_most_eight_fallbacks(self):
        nine = sum((["--fallback", "[track]"] for _ in range(9)), [])
        code, _, err = run(nine + ["[artist]"])
        self.assertEqual(code, 2)
        self.assertIn("at most eight", err.decode())
        self.assertEqual(run(["--fallback"])[0], 2)


class Suggest(unittest.TestCase):
    LAYOUT = "[artist]\\[album] ([Year])\\[track number] - [track]"

    def suggest(self, tree, *options):
        with tempfile.TemporaryDirectory() as root:
            # The folder's own name looks like a layout's top: it must not count.
            folder = os.path.join(root, "Some Band - Best Of")
            os.makedirs(folder)
            make_tree(folder, tree)
            code, out, err = run(["--suggest", folder_argument(folder), *options])
        return code, [line.split("\t") for line in out.decode().splitlines()], err

    def test_the_trees_layout_comes_first_with_its_counts(self):
        tree = ["Kestrel\\Night (1998)\\%02d - Song %d.mp3" % (n, n) for n in range(1, 8)]
        tree += ["Kestrel\\Night (1998)\\cover.jpg", "Kestrel\\Night (1998)\\rip.log"]
        code, lines, err = self.suggest(tree)
        self.assertEqual((code, err), (0, b""))
        self.assertEqual(lines[0], ["7", "7", "35", self.LAYOUT], "covers and logs are not counted")
        code, lines, _ = self.suggest(tree, "--top", "3")
        self.assertEqual((code, len(lines)), (0, 3))
        code, lines, _ = self.suggest(tree, "--set")
        self.assertEqual((code, lines), (0, [["7", "7", self.LAYOUT]]))

    def test_a_tree_no_layout_fits_and_bad_requests(self):
        for options in ((), ("--set",)):
            code, lines, _ = self.suggest(["notes.txt", "Band\\cover.jpg"], *options)
            self.assertEqual(code, 1, options)
            self.assertTrue(all(line[0] == "0" for line in lines))
            code, _, _ = self.suggest([], *options)
            self.assertEqual(code, 1)
        code, out, err = run(["--suggest", folder_argument("/nonexistent/folder")])
        self.assertEqual((code, out), (2, b""))
        self.assertIn("cannot read", err.decode())
        for args in (["--suggest"], ["--suggest", "x", "--top"], ["--suggest", "x", "--top", "0"],
                     ["--suggest", "x", "--top", "3x"], ["--suggest", "x", "--set", "--top", "3"]):
            self.assertEqual(run(args)[0], 2, args)

    def test_a_linked_folder_is_neither_followed_nor_a_file(self):
        with tempfile.TemporaryDirectory() as root:
            make_tree(root, ["Band\\Album\\01 - A.mp3", "Band\\Album\\02 - B.mp3"])
            os.symlink(root, os.path.join(root, "Band", "loop"))
            os.symlink(os.path.join(root, "Band", "Album"), os.path.join(root, "Band", "Again.mp3"))
            code, out, err = run(["--suggest", folder_argument(root), "--set"])
        self.assertEqual((code, err), (0, b""))
        self.assertEqual(out.decode().split("\t")[:2], ["2", "2"])

    @unittest.skipIf(len(COMMAND) == 1, "natively no host is known")
    def test_with_the_host_known_only_what_its_decoders_tag_is_counted(self):
        host = os.path.normpath(os.path.join(os.path.dirname(COMMAND[-1]), "..", "host"))
        if not os.path.isfile(os.path.join(host, "Multiplayer", "Input", "Id3Tags.dll")):
            self.skipTest("no staged host beside the program")
        setting = ["reg", "add", "HKCU\\Software\\Brackenford\\Sonavell", "/v", "InstalledTo",
                   "/d", folder_argument(host), "/f"]
        with tempfile.TemporaryDirectory() as root:
            make_tree(root, ["Band\\Album\\01 - A.mp3", "Band\\Album\\02 - B.mp3",
                             "Band\\Album\\03 - C.flac"])
            subprocess.run([COMMAND[0]] + setting, capture_output=True, check=True, timeout=60)
            try:
                code, out, err = run(["--suggest", folder_argument(root), "--set"])
            finally:
                subprocess.run([COMMAND[0], "reg", "delete", setting[2], "/v", "InstalledTo", "/f"],
                               capture_output=True, timeout=60)
        self.assertEqual((code, err), (0, b""))
        self.assertEqual(out.decode().split("\t")[:2], ["2", "2"],
                         "the host's one decoder reads .mp3 only")

    @unittest.skipIf(len(COMMAND) == 1, "natively every name is bytes, and every name is read")
    def test_a_folder_whose_name_the_code_page_cannot_spell_is_reported(self):
        with tempfile.TemporaryDirectory() as root:
            make_tree(root, ["Band\\Album\\01 - A.mp3"])
            # Wine reads Unix names as UTF-8; a lone Latin-1 byte is none.
            odd = os.path.join(root.encode(), b"Band", b"Caf\xe9")
            os.makedirs(odd)
            open(os.path.join(odd, b"01 - B.mp3"), "wb").close()
            code, out, err = run(["--suggest", folder_argument(root), "--set"])
        self.assertEqual(code, 0)
        self.assertIn("cannot read the folder", err.decode("latin-1"))
        self.assertEqual(out.decode().split("\t")[:2], ["1", "1"])

    @unittest.skipIf(hasattr(os, "geteuid") and os.geteuid() == 0,
                     "root reads every folder, so none can be made unreadable")
    def test_a_folder_that_cannot_be_read_is_reported(self):
        with tempfile.TemporaryDirectory() as root:
            make_tree(root, ["Band\\Album\\01 - A.mp3", "Band\\Locked\\01 - B.mp3"])
            locked = os.path.join(root, "Band", "Locked")
            os.chmod(locked, 0)
            try:
                code, out, err = run(["--suggest", folder_argument(root), "--set"])
            finally:
                os.chmod(locked, 0o755)
        self.assertEqual(code, 0)
        self.assertIn("Locked", err.decode())
        self.assertEqual(out.decode().split("\t")[:2], ["1", "1"])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)

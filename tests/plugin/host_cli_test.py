#!/usr/bin/env python3
"""Runs pathtagger-host.exe as a user would, under Wine.

Usage: host_cli_test.py WINE_RUN HOST_EXE
"""
import os
import subprocess
import sys
import tempfile
import unittest

WINE_RUN, HOST_EXE = sys.argv[1], sys.argv[2]


def run(*args):
    done = subprocess.run([WINE_RUN, HOST_EXE, *args], capture_output=True, timeout=120)
    return done.returncode, done.stdout.decode("latin-1"), done.stderr.decode("latin-1")


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def stored_pattern():
    done = subprocess.run([WINE_RUN, "reg", "query", r"HKCU\Software\Brackenford\Sonavell",
                           "/v", "KestraTagFromFilename"], capture_output=True, timeout=60)
    for line in done.stdout.decode("latin-1").splitlines():
        if "KestraTagFromFilename" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return None


class HostCli(unittest.TestCase):
    def test_bad_arguments_give_usage_and_status_2(self):
        for args in ([], ["--pattern"], ["--bogus", "x"], ["--config", "file"],
                     ["--config", "--close-after-ms", "soon"], ["--close-after-ms", "5", "f"]):
            code, out, err = run(*args)
            self.assertEqual(code, 2, args)
            self.assertIn("usage:", err)

    def test_each_file_gets_its_line_and_missing_files_do_not_stop_the_run(self):
        with tempfile.TemporaryDirectory() as folder:
            tagged = os.path.join(folder, "Band-Song.mp3")
            other = os.path.join(folder, "Band-Song.xyz")
            for path in (tagged, other):
                with open(path, "wb") as f:
                    f.write(b"not really audio")
            missing = os.path.join(folder, "gone.mp3")
            code, out, _ = run("--pattern", "[artist]-[track]", windows_path(missing),
                               windows_path(tagged), windows_path(other))
            self.assertEqual(code, 0)
            lines = out.splitlines()
            self.assertEqual(lines[0], "missing    " + windows_path(missing))
            self.assertEqual(lines[1], "tagged     " + windows_path(tagged))
            self.assertEqual(lines[2], "untouched  " + windows_path(other),
                             "no decoder declares .xyz")
            self.assertEqual(lines[-1], "3 files seen, 1 tagged, 1 untouched, 1 missing")
            with open(tagged, "rb") as f:
                self.assertTrue(f.read().endswith(b"not really audio"))
            with open(other, "rb") as f:
                self.assertEqual(f.read(), b"not really audio")

    def test_folders_are_walked_in_name_order(self):
        with tempfile.TemporaryDirectory() as folder:
            for relative in ("b\\Band-Two.mp3", "a\\Band-One.mp3", "Band-Top.mp3"):
                path = os.path.join(folder, *relative.split("\\"))
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as f:
                    f.write(b"x")
            code, out, _ = run(windows_path(folder))
            self.assertEqual(code, 0)
            names = [line.split("\\")[-1] for line in out.splitlines()[:-1]]
            self.assertEqual(names, ["Band-Top.mp3", "Band-One.mp3", "Band-Two.mp3"])
            self.assertEqual(out.splitlines()[-1], "3 files seen, 3 tagged, 0 untouched, 0 missing")

    def test_pattern_option_stores_the_setting(self):
        code, _, _ = run("--pattern", r"[album]\[artist]-[track]", "Z:\\nowhere.mp3")
        self.assertEqual(code, 0)
        self.assertEqual(stored_pattern(), r"[album]\[artist]-[track]")

    def test_options_window_closes_by_itself(self):
        code, out, err = run("--config", "--close-after-ms", "300")
        self.assertEqual(code, 0, err)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)

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
            present = os.path.join(folder, "Band-Song.mp3")
            with open(present, "wb") as f:
                f.write(b"not really audio")
            missing = os.path.join(folder, "gone.mp3")
            code, out, _ = run("--pattern", "[artist]-[track]", windows_path(missing),
                               windows_path(present))
            self.assertEqual(code, 0)
            lines = out.splitlines()
            self.assertEqual(lines[0].split()[0], "missing")
            self.assertTrue(lines[0].endswith(windows_path(missing)))
            self.assertEqual(lines[1].split()[0], "untouched", "no decoder for .mp3 yet")
            self.assertEqual(lines[-1], "2 files seen, 0 tagged, 1 untouched, 1 missing")
            with open(present, "rb") as f:
                self.assertEqual(f.read(), b"not really audio")

    def test_pattern_option_stores_the_setting(self):
        code, _, _ = run("--pattern", r"[album]\[artist]-[track]", "Z:\\nowhere.mp3")
        self.assertEqual(code, 0)
        self.assertEqual(stored_pattern(), r"[album]\[artist]-[track]")

    def test_options_window_closes_by_itself(self):
        code, out, err = run("--config", "--close-after-ms", "300")
        self.assertEqual(code, 0, err)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)

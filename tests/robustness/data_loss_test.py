#!/usr/bin/env python3
"""Files that cannot be written keep their content byte for byte: a file
locked by another process, a folder that refuses new files, and a write
limit that runs out part way (a full disk). The host survives each, reports
nothing, and still tags what it can.

Usage: data_loss_test.py WINE_RUN HOST_EXE HOLD_FILE_EXE RUNS_DIR
"""
import os
import shutil
import subprocess
import sys
import unittest

WINE_RUN, HOST_EXE, HOLD_FILE_EXE, RUNS_DIR = sys.argv[1:5]
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "demo"))
import make_demo_tree  # noqa: E402

PATTERN = r"[artist]\[album] ([year])\[track number] - [track]"


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def contents(paths):
    result = {}
    for path in paths:
        with open(path, "rb") as f:
            result[path] = f.read()
    return result


class DataLoss(unittest.TestCase):
    def setUp(self):
        self.music = os.path.join(RUNS_DIR, self.id().split(".")[-1])
        shutil.rmtree(self.music, ignore_errors=True)
        self.files = make_demo_tree.make_tree(self.music)
        self.before = contents(self.files)

    def run_host(self, preexec=None):
        done = subprocess.run([WINE_RUN, HOST_EXE, "--pattern", PATTERN,
                               windows_path(self.music)], capture_output=True,
                              timeout=300, preexec_fn=preexec)
        self.assertEqual(done.returncode, 0)
        self.assertEqual(done.stderr, b"")
        return done.stdout.decode("latin-1").splitlines()

    def assert_kept(self, paths):
        after = contents(paths)
        for path in paths:
            self.assertEqual(after[path], self.before[path], path)
        # No temporary file may be left behind.
        for folder in {os.path.dirname(p) for p in paths}:
            self.assertEqual(sorted(os.listdir(folder)),
                             sorted(os.path.basename(p) for p in self.files
                                    if os.path.dirname(p) == folder))

    def assert_tagged(self, paths):
        after = contents(paths)
        for path in paths:
            self.assertTrue(after[path].startswith(b"ID3\x03"), path)
            self.assertTrue(after[path].endswith(self.before[path]), path)

    def test_locked_file(self):
        locked = self.files[0]
        holder = subprocess.Popen([WINE_RUN, HOLD_FILE_EXE, windows_path(locked)],
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        try:
            self.assertEqual(holder.stdout.readline().strip(), b"held")
            lines = self.run_host()
        finally:
            holder.stdin.close()
            holder.wait(timeout=60)
        self.assertIn("untouched  " + windows_path(locked), lines)
        self.assert_kept([locked])
        self.assert_tagged(self.files[1:])

    def test_folder_that_refuses_new_files(self):
        folder = os.path.dirname(self.files[0])
        inside = [p for p in self.files if os.path.dirname(p) == folder]
        if subprocess.run(["chattr", "+i", folder], capture_output=True).returncode != 0:
            self.skipTest("this file system cannot make a folder immutable")
        try:
            lines = self.run_host()
        finally:
            subprocess.run(["chattr", "-i", folder], check=True)
        self.assertEqual(sum(line.startswith("untouched") for line in lines), len(inside))
        self.assert_kept(inside)
        self.assert_tagged([p for p in self.files if p not in inside])

    def test_disk_that_fills_up(self):
        def limit_writes():
            import resource
            import signal
            # Writes past 10 KiB fail as on a full disk instead of ending the process.
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (10 * 1024, 10 * 1024))

        lines = self.run_host(preexec=limit_writes)
        self.assertEqual(lines[-1], "%d files seen, 0 tagged, %d untouched, 0 missing"
                         % (len(self.files), len(self.files)))
        self.assert_kept(self.files)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)

#!/usr/bin/env python3
"""Decoders that end the process, and a host whose own abort handler logs
and aborts again, against the real plugin in reload_host's host folder.

Usage: decoder_endings_test.py WINE_RUN RELOAD_HOST [STORM_PROCESSES]
"""
import subprocess
import sys
import unittest

WINE_RUN, RELOAD_HOST = sys.argv[1:3]
STORM_PROCESSES = int(sys.argv[3]) if len(sys.argv) > 3 else 5
REPORTER_LINE = "the host's crash reporter logged"


def run(*args):
    done = subprocess.run([WINE_RUN, RELOAD_HOST, *args], capture_output=True, timeout=240)
    return done.returncode, done.stdout.decode("latin-1").replace("\r\n", "\n")


class DecoderEndings(unittest.TestCase):
    def test_each_ending_on_one_thread_leaves_the_host_tagging(self):
        code, out = run("decoder-endings")
        self.assertEqual(code, 0, out)
        self.assertEqual(out.count("the host lives on") + out.count("skip"), 5, out)

    def test_the_decoders_own_exit_after_the_plugin_unloaded(self):
        code, out = run("decoder-exit-after-unload")
        self.assertEqual(code, 9, "the import slot still led into the unloaded plugin\n" + out)

    def test_aborts_on_eight_threads_released_together(self):
        for process in range(STORM_PROCESSES):
            code, out = run("abort-storm")
            self.assertEqual(code, 0, "process %d:\n%s" % (process, out))


class HostCrashReporter(unittest.TestCase):
    """Without the plugin: one line, then the run-time's own ending, 3."""

    def check(self, *args):
        code, out = run("crash-reporter", *args)
        self.assertEqual((code, out.splitlines()), (3, [REPORTER_LINE]), args)

    def test_with_the_plugin_loaded(self):
        self.check()

    def test_with_the_plugin_unloaded_before(self):
        self.check("unloaded")

    def test_with_the_plugin_unloaded_while_the_handler_runs(self):
        self.check("unloading")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)

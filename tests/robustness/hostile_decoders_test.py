#!/usr/bin/env python3
"""Hostile decoder plugins next to the sample decoder: each case gets a host
folder of its own, the host stand-in tags a small MP3 tree through it, and
the host must survive, report nothing, and tag every MP3 file correctly with
the audio after the tag unchanged.

Usage: hostile_decoders_test.py WINE_RUN HOST_DIR HOSTILE_DIR FILLER_DLL RUNS_DIR
"""
import os
import shutil
import struct
import subprocess
import sys
import unittest

WINE_RUN, HOST_DIR, HOSTILE_DIR, FILLER_DLL, RUNS_DIR = sys.argv[1:6]
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "demo"))
import make_demo_tree  # noqa: E402
from mutagen.id3 import ID3  # noqa: E402

PATTERN = r"[artist]\[album] ([year])\[track number] - [track]"
AUDIO = make_demo_tree.silent_mp3()


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def expected_tags(relative):
    artist, album_year, name = relative.split(os.sep)
    album, year = album_year[:-5], int(album_year[-3:-1])
    number, title = name[:-4].split(" - ", 1)
    return {"TPE1": artist, "TALB": album, "TIT2": title,
            "TYER": str(1900 + year if year >= 50 else 2000 + year),
            "TRCK": str(int(number))}


SAMPLE_DECODER = "Id3Tags.dll"


def built_for_64_bits(program):
    with open(program, "rb") as f:
        image = f.read(4096)
    header = struct.unpack_from("<I", image, 0x3C)[0]
    return struct.unpack_from("<H", image, header + 4)[0] == 0x8664


# Wine 8 at 64 bits ends the thread at a stack overflow, before any handler
# sees it (tests/support/stack_overflows.h).
OVERFLOWS_REACH_HANDLERS = not built_for_64_bits(os.path.join(HOST_DIR, "pathtagger-host.exe"))


class HostileDecoders(unittest.TestCase):
    def stage_in_load_order(self, inputs, kind, before):
        """Stages the hostile decoder on the wanted side of the sample decoder
        in load order. The platform enumerates the folder in the file
        system's order (os.listdir reads it the same way), here the order of
        the names' hashes, so names are tried until one pair fits."""
        sample = os.path.join(inputs, SAMPLE_DECODER)
        for attempt in range(64):
            names = ("%s%d.dll" % (kind, attempt), "Id3Tags%d.dll" % attempt)
            shutil.copy(os.path.join(HOSTILE_DIR, kind + ".dll"), os.path.join(inputs, names[0]))
            os.rename(sample, os.path.join(inputs, names[1]))
            sample = os.path.join(inputs, names[1])
            order = os.listdir(inputs)
            if (order.index(names[0]) < order.index(names[1])) == before:
                return
            os.remove(os.path.join(inputs, names[0]))
        self.fail("%s: no names load it %s the sample decoder"
                  % (kind, "before" if before else "after"))

    def host_folder(self, case, decoders, hostile_before_sample=None):
        root = os.path.join(RUNS_DIR, case)
        shutil.rmtree(root, ignore_errors=True)
        host = os.path.join(root, "host")
        inputs = os.path.join(host, "Multiplayer", "Input")
        os.makedirs(inputs)
        for name in ("pathtagger-host.exe", "PathTagger.dll"):
            shutil.copy(os.path.join(HOST_DIR, name), host)
        shutil.copy(os.path.join(HOST_DIR, "Multiplayer", "Input", SAMPLE_DECODER), inputs)
        if hostile_before_sample is not None:
            self.stage_in_load_order(inputs, case.split("@")[0], hostile_before_sample)
        for name, source in decoders.items():
            if isinstance(source, bytes):
                with open(os.path.join(inputs, name), "wb") as f:
                    f.write(source)
            else:
                shutil.copy(source, os.path.join(inputs, name))
        music = os.path.join(root, "music")
        files = make_demo_tree.make_tree(music)
        bad = os.path.join(music, "Some Band", "Best Of (98)", "09 - Hostile.bad")
        with open(bad, "wb") as f:
            f.write(b"for the hostile decoder")
        return host, music, files

    def run_case(self, case, decoders, plugin_runtime_says=None, hostile_before_sample=None):
        host, music, files = self.host_folder(case, decoders, hostile_before_sample)
        done = subprocess.run([WINE_RUN, os.path.join(host, "pathtagger-host.exe"),
                               "--pattern", PATTERN, windows_path(music)],
                              capture_output=True, timeout=300)
        out = done.stdout.decode("latin-1")
        self.assertEqual(done.returncode, 0, "%s: the host did not survive\n%s" % (case, out))
        if plugin_runtime_says:
            # The plugin's own runtime announces its abort; nothing else may.
            for line in done.stderr.decode("latin-1").splitlines():
                self.assertIn(plugin_runtime_says, line, case)
        else:
            self.assertEqual(done.stderr, b"", case)
        self.assertEqual(out.splitlines()[-1],
                         "%d files seen, %d tagged, 1 untouched, 0 missing"
                         % (len(files) + 1, len(files)), case)
        for path in files:
            relative = os.path.relpath(path, music)
            tag = ID3(path, translate=False)
            found = {frame: str(tag[frame]) for frame in expected_tags(relative) if frame in tag}
            self.assertEqual(found, expected_tags(relative), "%s: %s" % (case, relative))
            with open(path, "rb") as f:
                self.assertTrue(f.read().endswith(AUDIO), "%s: audio of %s" % (case, relative))
        return out

    def hostile(self, kind):
        return {kind + ".dll": os.path.join(HOSTILE_DIR, kind + ".dll")}

    def test_enumeration_that_never_ends_with_overlong_extensions(self):
        self.run_case("endless_long", self.hostile("endless_long"))

    def test_enumeration_that_faults_or_raises(self):
        for kind in ("formats_fault", "formats_raise"):
            self.run_case(kind, self.hostile(kind))

    def test_tag_writer_that_faults_or_raises(self):
        for kind in ("set_tag_fault", "set_tag_raise"):
            self.run_case(kind, self.hostile(kind))

    def test_tag_writer_whose_own_runtime_aborts_on_a_cpp_exception(self):
        self.run_case("set_tag_throw", self.hostile("set_tag_throw"),
                      plugin_runtime_says="terminate called")

    def test_tag_writer_that_ends_the_process_loaded_before_and_after_the_sample(self):
        # Each kind ends at every call, for all five tags of the file.
        kinds = ["set_tag_abort", "set_tag_ucrt_abort", "set_tag_exit",
                 "set_tag_underscore_exit", "set_tag_exit_process"]
        for kind in kinds + ["set_tag_overflow"] * OVERFLOWS_REACH_HANDLERS:
            for before in (True, False):
                self.run_case("%s@%s" % (kind, "before" if before else "after"), {},
                              hostile_before_sample=before)

    def test_entry_point_that_refuses_or_faults(self):
        for kind in ("dllmain_fails", "dllmain_faults"):
            self.run_case(kind, self.hostile(kind))

    def test_file_named_dll_that_is_none(self):
        self.run_case("not_a_dll", {"Broken.dll": b"this is not a library\n",
                                    "Empty.dll": b""})

    def test_two_hundred_plugins(self):
        self.run_case("many", {"filler%03d.dll" % i: FILLER_DLL for i in range(200)})


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)

#!/usr/bin/env python3
"""The installer as a user of the host runs it, silently, under Wine: into the
host that InstalledTo names and, without it, into the default folder; the host
stand-in tags a file through the installed plugin; the uninstaller leaves the
host folder as it was before, the user's pattern in place and no Add/Remove
entry; and a plugin file that another process holds stops the installer and
the uninstaller before they change anything.

Usage: installer_test.py WINE_RUN SETUP VERSION HOST_EXE ID3TAGS_DLL HOLD_FILE HOSTS_DIR
"""
import hashlib
import os
import shutil
import subprocess
import sys
import time
import unittest

from mutagen.id3 import ID3

WINE_RUN, SETUP, VERSION, HOST_EXE, ID3TAGS_DLL, HOLD_FILE, HOSTS_DIR = sys.argv[1:8]
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "demo"))
import make_demo_tree  # noqa: E402

SETTINGS_KEY = r"HKCU\Software\Brackenford\Sonavell"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PathTagger"
DEFAULT_COMPRESSION = r"c:\Program files\Brackenford\Sonavell\Compression"
EXIT_IN_USE = 3


def wine(*args, timeout=120):
    return subprocess.run([WINE_RUN, *args], capture_output=True, timeout=timeout)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def reg_values(key):
    """The values of a key as {name: data}, or None when the key is missing."""
    done = wine("reg", "query", key)
    if done.returncode != 0:
        return None
    values = {}
    for line in done.stdout.decode("latin-1").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) == 3 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2]
    return values


def set_installed_to(folder):
    wine("reg", "add", SETTINGS_KEY, "/v", "InstalledTo", "/t", "REG_SZ", "/d", folder, "/f")


def forget_installed_to():
    wine("reg", "delete", SETTINGS_KEY, "/v", "InstalledTo", "/f")


def windows_file_exists(path):
    done = wine("cmd", "/c", "if exist \"%s\" (echo yes) else (echo no)" % path)
    return done.stdout.decode("latin-1").strip() == "yes"


def snapshot(root):
    """Every folder and file below root, with the files' content digests."""
    entries = {}
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        entries[rel + "/"] = None
        for name in files:
            with open(os.path.join(folder, name), "rb") as f:
                entries[os.path.join(rel, name)] = hashlib.sha256(f.read()).hexdigest()
    return entries


def uninstall_and_wait(uninstaller):
    """Runs the uninstaller as Add/Remove does. It hands over to a copy of
    itself and returns at once, so this waits until the entry is gone (the
    uninstall's last step)."""
    done = wine(uninstaller, "/S")
    deadline = time.monotonic() + 90
    while reg_values(UNINSTALL_KEY) is not None and time.monotonic() < deadline:
        time.sleep(0.5)
    return done


class Installer(unittest.TestCase):
    def setUp(self):
        forget_installed_to()
        self.assertIsNone(reg_values(UNINSTALL_KEY), "a previous run left the entry")
        self.root = os.path.join(HOSTS_DIR, self.id().split(".")[-1])
        shutil.rmtree(self.root, ignore_errors=True)

    def stage_host(self, with_compression_folder=True):
        """A host folder as the host leaves it: its program, its decoder, and
        maybe another encoder plugin in its compression folder."""
        host = os.path.join(self.root, "Sonavell")
        os.makedirs(os.path.join(host, "Multiplayer", "Input"))
        shutil.copy(HOST_EXE, host)
        shutil.copy(ID3TAGS_DLL, os.path.join(host, "Multiplayer", "Input"))
        if with_compression_folder:
            os.makedirs(os.path.join(host, "Compression"))
            with open(os.path.join(host, "Compression", "OtherEncoder.dll"), "wb") as f:
                f.write(b"MZ another encoder")
        return host

    def install(self, *args):
        return wine(SETUP, "/S", *args)

    def assert_installed(self, compression):
        for name in ("PathTagger.dll", r"PathTagger\README.txt",
                     r"PathTagger\pathtagger-preview.exe", r"PathTagger\PathTaggerPreview.exe",
                     r"PathTagger\Uninstall.exe"):
            self.assertTrue(os.path.isfile(os.path.join(compression, *name.split("\\"))), name)
        entry = reg_values(UNINSTALL_KEY)
        self.assertIsNotNone(entry)
        self.assertEqual(entry["DisplayName"], "PathTagger")
        self.assertEqual(entry["DisplayVersion"], VERSION)
        self.assertTrue(entry["Publisher"])
        self.assertIn(r"\PathTagger\Uninstall.exe", entry["UninstallString"])
        self.assertGreater(int(entry["EstimatedSize"], 16), 0)
        return entry

    def test_install_into_the_recorded_host_tag_through_it_and_uninstall_to_as_before(self):
        host = self.stage_host()
        before = snapshot(host)
        set_installed_to(windows_path(host))  # stored without the closing backslash
        done = self.install()
        self.assertEqual(done.returncode, 0, done.stderr)
        compression = os.path.join(host, "Compression")
        entry = self.assert_installed(compression)

        music = os.path.join(self.root, "music")
        os.makedirs(music)
        song = os.path.join(music, "Some Band-A Song.mp3")
        with open(song, "wb") as f:
            f.write(make_demo_tree.silent_mp3())
        plugin = windows_path(os.path.join(compression, "PathTagger.dll"))
        tagged = wine(os.path.join(host, "pathtagger-host.exe"), "--plugin", plugin,
                      "--pattern", "[artist]-[track]", windows_path(song))
        self.assertEqual(tagged.returncode, 0, tagged.stderr)
        tags = ID3(song)
        self.assertEqual(str(tags["TPE1"]), "Some Band")
        self.assertEqual(str(tags["TIT2"]), "A Song")

        done = uninstall_and_wait(entry["UninstallString"].strip('"'))
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIsNone(reg_values(UNINSTALL_KEY))
        self.assertEqual(snapshot(host), before)
        self.assertEqual(reg_values(SETTINGS_KEY).get("KestraTagFromFilename"),
                         "[artist]-[track]", "the user's pattern stays")

    def test_a_compression_folder_the_installer_made_goes_with_the_uninstall(self):
        host = self.stage_host(with_compression_folder=False)
        before = snapshot(host)
        done = self.install("/D=" + windows_path(os.path.join(host, "Compression")))
        self.assertEqual(done.returncode, 0, done.stderr)
        entry = self.assert_installed(os.path.join(host, "Compression"))
        uninstall_and_wait(entry["UninstallString"].strip('"'))
        self.assertEqual(snapshot(host), before)

    def test_without_installed_to_the_default_folder_is_used(self):
        dll = DEFAULT_COMPRESSION + r"\PathTagger.dll"
        self.assertFalse(windows_file_exists(r"c:\Program files\Brackenford"))
        done = self.install()
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(windows_file_exists(dll))
        entry = reg_values(UNINSTALL_KEY)
        self.assertEqual(entry["InstallLocation"].lower(), DEFAULT_COMPRESSION.lower())
        uninstall_and_wait(entry["UninstallString"].strip('"'))
        self.assertFalse(windows_file_exists(r"c:\Program files\Brackenford"),
                         "the folders the install made go again")
        self.assertIsNone(reg_values(UNINSTALL_KEY))

    def test_a_plugin_held_by_another_process_stops_both_before_any_change(self):
        for how in (["--load"], []):  # loaded as the host loads it; opened unshared
            with self.subTest(how=how):
                self.check_held_plugin_stops_both(how)

    def check_held_plugin_stops_both(self, how):
        shutil.rmtree(self.root, ignore_errors=True)
        host = self.stage_host()
        compression = os.path.join(host, "Compression")
        set_installed_to(windows_path(host))
        self.assertEqual(self.install().returncode, 0)
        entry = self.assert_installed(compression)
        readme = os.path.join(compression, "PathTagger", "README.txt")
        os.remove(readme)  # a write the refused run must not make
        before = snapshot(host)

        dll = os.path.join(compression, "PathTagger.dll")
        holder = subprocess.Popen([WINE_RUN, HOLD_FILE, *how, windows_path(dll)],
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        try:
            self.assertEqual(holder.stdout.readline().strip(), b"held")
            self.assertEqual(self.install().returncode, EXIT_IN_USE)
            self.assertEqual(snapshot(host), before)
            # In place (_?=) the uninstaller runs in this process and
            # reports its status.
            uninstaller = entry["UninstallString"].strip('"')
            done = wine(uninstaller, "/S", "_?=" + uninstaller.rsplit("\\", 1)[0])
            self.assertEqual(done.returncode, EXIT_IN_USE)
            self.assertIsNotNone(reg_values(UNINSTALL_KEY))
            self.assertEqual(snapshot(host), before)
        finally:
            holder.communicate(timeout=60)

        done = self.install()
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertTrue(os.path.isfile(readme), "the retried install is whole")
        uninstall_and_wait(entry["UninstallString"].strip('"'))
        self.assertIsNone(reg_values(UNINSTALL_KEY))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)

#!/usr/bin/env python3
"""The installer and the uninstaller as a user of the host runs them under Wine,
each case in a fresh prefix: silently into the host that InstalledTo names,
into a host found nowhere else, over a copy elsewhere, into folders that are no
host's Compression folder, too deep or not writable, with a file of theirs held
by another process, and the uninstaller copied elsewhere; and through their
pages on a display of their own, driven by page_driver.exe: a refusal, a retry
over a file in use, a write that cannot be taken out again, a last page left
open, and the icon in the installed preview window's title bar. Every run is judged by its exit status and by what it left on the
disk, in the Add/Remove entry and in the Start menu.

Usage: installer_test.py WINE_SESSION SETUP VERSION HOST_EXE ID3TAGS_DLL HOLD_FILE PAGE_DRIVER
                         WORK_DIR
"""
import hashlib
import os
import select
import shutil
import subprocess
import sys
import unittest

from mutagen.id3 import ID3

(WINE_SESSION, SETUP, VERSION, HOST_EXE, ID3TAGS_DLL, HOLD_FILE, PAGE_DRIVER,
 WORK_DIR) = sys.argv[1:9]
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tools", "demo"))
import make_demo_tree  # noqa: E402

SETTINGS_KEY = r"HKCU\Software\Brackenford\Sonavell"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PathTagger"
DEFAULT_HOST = r"c:\Program files\Brackenford\Sonavell"
STAGED_HOST = r"C:\Program Files\Brackenford\Sonavell Été"
START_MENU = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\PathTagger"
PREVIEW_VALUES = ("PathTaggerPreview.WindowWidth", "PathTaggerPreview.WindowHeight",
                  "PathTaggerPreview.LastFolder")
OWN_FILES = ("README.txt", "pathtagger-preview.exe", "PathTaggerPreview.exe", "Uninstall.exe")
OWN_NAMES = {"pathtagger.dll", "pathtagger", "pathtagger-preview.exe", "pathtaggerpreview.exe",
             "pathtagger preview.lnk"}
LONGEST_PATH = 259  # what Windows starts a program from

EXIT_IN_USE, EXIT_NOT_A_HOST, EXIT_TOO_LONG, EXIT_NOT_WRITTEN, EXIT_NOT_ITS_COPY = 3, 4, 5, 6, 7

TEMPLATE = os.path.join(WORK_DIR, "template-prefix")


def make_template():
    """A prefix made once and never run in; every case starts from a copy."""
    env = dict(os.environ, WINEPREFIX=TEMPLATE,
               PATHTAGGER_WINE_SESSION=os.path.join(WORK_DIR, "template-session"))
    subprocess.run([WINE_SESSION, "ensure"], env=env, check=True, timeout=300)


class Prefix:
    """A fresh copy of the template, with its own wineserver."""

    def __init__(self, name, display=None):
        self.root = os.path.join(WORK_DIR, name)
        self.remove()
        subprocess.run(["cp", "-a", "--reflink=auto", TEMPLATE, self.root], check=True)
        self.env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "LC_ALL")}
        if display:
            self.env["DISPLAY"] = display
        # File names in UTF-8; console output (reg.exe) in code page 437.
        self.env.update(WINEPREFIX=self.root, WINEARCH="win32", WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", LANG="C.UTF-8")
        # One server for the case, and Wine's background services started
        # with no pipe of ours to hold open.
        quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-p"], env=self.env, check=True, **quiet)
        subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env, check=True, **quiet)

    def remove(self):
        if os.path.isdir(self.root):
            subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=self.root),
                           stdin=subprocess.DEVNULL, capture_output=True)
            subprocess.run(["chattr", "-R", "-i", self.root], capture_output=True)
            shutil.rmtree(self.root)

    def wine(self, *args, timeout=120, **kwargs):
        return subprocess.run(["wine", *args], env=self.env, capture_output=True,
                              timeout=timeout, **kwargs)

    def popen(self, *args):
        return subprocess.Popen(["wine", *args], env=self.env, stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE)

    def command_line(self, line):
        """Runs a command line as typed: /D= takes the rest of the line,
        spaces and all, and must not arrive quoted. Wine quotes the one
        argument, and cmd takes the quotes off again."""
        return self.wine("cmd", "/s", "/c", line)

    def programs(self, but=()):
        """The process ids of the programs running in the prefix, Wine's own
        services and server left out, and those whose file names end in one
        of but."""
        found = []
        mark = b"WINEPREFIX=" + self.root.encode()
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    if mark not in f.read().split(b"\0"):
                        continue
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    program = f.read().split(b"\0")[0].decode("utf-8", "replace").lower()
            except OSError:
                continue  # ended meanwhile
            if not program.startswith("c:\\windows\\") and "wineserver" not in program \
                    and not program.endswith(tuple(n.lower() for n in but)):
                found.append(int(pid))
        return found

    def wait_for_every_program(self, but=()):
        """Until every program of the prefix has ended (but those named):
        the uninstaller's hand-over to its copy among them."""
        for pid in self.programs(but):
            try:
                handle = os.pidfd_open(pid)
            except ProcessLookupError:
                continue
            try:
                ready, _, _ = select.select([handle], [], [], 120)
                assert ready, "program %d still running" % pid
            finally:
                os.close(handle)

    def unix(self, path):
        """The file behind a C: path, its names matched as Windows matches them."""
        drive, _, rest = path.partition(":\\")
        assert drive.lower() == "c", path
        here = os.path.join(self.root, "drive_c")
        for name in (p for p in rest.split("\\") if p):
            found = [e for e in os.listdir(here) if e.lower() == name.lower()] \
                if os.path.isdir(here) else []
            here = os.path.join(here, found[0] if found else name)
        return here

    def exists(self, path):
        return os.path.exists(self.unix(path))

    def reg_values(self, key):
        """The values of a key as {name: data}, or None when the key is missing."""
        done = self.wine("reg", "query", key)
        if done.returncode != 0:
            return None
        values = {}
        for line in done.stdout.decode("cp437").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2] if len(parts) == 3 else ""
        return values

    def set_value(self, key, name, data, kind="REG_SZ"):
        done = self.wine("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f")
        assert done.returncode == 0, done.stderr

    def snapshot(self, *paths):
        """Every folder and file below the paths, with the files' digests."""
        entries = {}
        for path in paths:
            root = self.unix(path)
            for folder, _, files in os.walk(root):
                entries[folder + "/"] = None
                for name in files:
                    with open(os.path.join(folder, name), "rb") as f:
                        entries[os.path.join(folder, name)] = hashlib.sha256(f.read()).hexdigest()
        return entries

    def traces(self):
        """Whatever of PathTagger the prefix holds: files and folders named
        after it outside Windows' own folder, and the Add/Remove entry."""
        found = []
        drive_c = os.path.join(self.root, "drive_c")
        for folder, dirs, files in os.walk(drive_c):
            if folder == drive_c:
                dirs.remove("windows")
            found += [os.path.join(folder, n) for n in dirs + files if n.lower() in OWN_NAMES]
        if self.reg_values(UNINSTALL_KEY) is not None:
            found.append(UNINSTALL_KEY)
        return found


def deep_folder(base, length):
    """A folder path of the given length below base, in names of at most 49
    characters, which any file system takes."""
    names = []
    rest = length - len(base)
    while rest > 100:
        names.append("d" * 49)
        rest -= 50
    names += ["e" * (rest // 2 - 1), "f" * (rest - rest // 2 - 1)]
    return base + "".join("\\" + name for name in names)


def installed_in_one_of_two_hosts(case, prefix):
    """Two hosts, C:\\H1 and C:\\H2, with PathTagger installed into the
    first: the two Compression folders, the entry, and how both hosts and
    the Start menu look."""
    first = case.stage_host(prefix, r"C:\H1") + r"\Compression"
    second = case.stage_host(prefix, r"C:\H2") + r"\Compression"
    case.assertEqual(case.install(prefix, "/D=" + first), 0)
    entry = prefix.reg_values(UNINSTALL_KEY)
    return first, second, entry, prefix.snapshot(r"C:\H1", r"C:\H2", START_MENU)


class Steps(unittest.TestCase):
    """What the cases of both kinds do."""

    def fresh_prefix(self, label=""):
        prefix = Prefix(self.id().split(".")[-1][5:40] + label)
        self.addCleanup(prefix.remove)
        return prefix

    def stage_host(self, prefix, folder, compression="with a plugin"):
        """A host folder as the host leaves it: its program, its decoder, and
        a Compression folder with another encoder plugin, empty, or none."""
        host = prefix.unix(folder)
        os.makedirs(os.path.join(host, "Multiplayer", "Input"))
        shutil.copy(HOST_EXE, host)
        shutil.copy(ID3TAGS_DLL, os.path.join(host, "Multiplayer", "Input"))
        if compression:
            os.makedirs(os.path.join(host, "Compression"))
        if compression == "with a plugin":
            with open(os.path.join(host, "Compression", "OtherEncoder.dll"), "wb") as f:
                f.write(b"MZ another encoder")
        return folder

    def install(self, prefix, *args):
        setup = "Z:" + os.path.abspath(SETUP).replace("/", "\\")
        return prefix.command_line(" ".join([setup, "/S", *args])).returncode

    def uninstall(self, prefix):
        """As Add/Remove runs it silently: the entry's QuietUninstallString."""
        command = prefix.reg_values(UNINSTALL_KEY)["QuietUninstallString"]
        program, _, options = command[1:].partition('" ')
        self.assertEqual(options, "/S")
        status = prefix.wine(program, "/S").returncode
        prefix.wait_for_every_program()
        return status

    def assert_installed(self, prefix, compression):
        self.assertTrue(prefix.exists(compression + r"\PathTagger.dll"))
        for name in OWN_FILES:
            self.assertTrue(prefix.exists(compression + "\\PathTagger\\" + name), name)
        self.assertTrue(prefix.exists(START_MENU + r"\PathTagger Preview.lnk"))
        entry = prefix.reg_values(UNINSTALL_KEY)
        self.assertEqual(entry["DisplayName"], "PathTagger")
        self.assertEqual(entry["DisplayVersion"], VERSION)
        self.assertTrue(entry["Publisher"])
        own = compression + r"\PathTagger"
        self.assertEqual(entry["InstallLocation"].lower(), own.lower(),
                         "PathTagger's own folder, not the shared Compression folder")
        self.assertEqual(entry["UninstallString"].lower(), '"%s\\uninstall.exe"' % own.lower())
        icon, _, index = entry["DisplayIcon"].rpartition(",")
        self.assertTrue(prefix.exists(icon), icon)
        self.assertEqual(index, "0")
        self.assertGreater(int(entry["EstimatedSize"], 16), 0)
        return entry

    def assert_refused(self, prefix, status, expected, before, *hosts):
        self.assertEqual(status, expected)
        self.assertEqual(prefix.traces(), [])
        self.assertEqual(prefix.snapshot(*hosts), before)

    def lock(self, path):
        """Makes a file that even root cannot delete or rename (the prefix's
        removal unlocks it); skips the test where the file system has no
        such flag. Returns the command that unlocks it."""
        if os.geteuid() != 0:
            self.skipTest("a file that root cannot delete needs the immutable flag")
        locked = subprocess.run(["chattr", "+i", path], capture_output=True)
        if locked.returncode != 0:
            self.skipTest("no immutable flag here: %s" % locked.stderr.decode().strip())
        return ["chattr", "-i", path]


class Installer(Steps):
    """Silent runs."""

    def test_into_the_recorded_host_tag_through_it_and_uninstall_to_as_before(self):
        prefix = self.fresh_prefix()
        host = self.stage_host(prefix, STAGED_HOST)
        before = prefix.snapshot(host)
        prefix.set_value(SETTINGS_KEY, "InstalledTo", host)  # without the closing backslash
        self.assertEqual(self.install(prefix), 0)
        compression = host + r"\Compression"
        self.assert_installed(prefix, compression)

        music = os.path.join(prefix.unix("C:\\"), "music")
        os.makedirs(music)
        with open(os.path.join(music, "Some Band-A Song.mp3"), "wb") as f:
            f.write(make_demo_tree.silent_mp3())
        tagged = prefix.wine(prefix.unix(host + r"\pathtagger-host.exe"),
                             "--plugin", compression + r"\PathTagger.dll",
                             "--pattern", "[artist]-[track]", r"C:\music\Some Band-A Song.mp3")
        self.assertEqual(tagged.returncode, 0, tagged.stderr)
        tags = ID3(os.path.join(music, "Some Band-A Song.mp3"))
        self.assertEqual(str(tags["TPE1"]), "Some Band")
        self.assertEqual(str(tags["TIT2"]), "A Song")
        for name in PREVIEW_VALUES:  # as the preview window leaves them
            prefix.set_value(SETTINGS_KEY, name, "1")

        self.assertEqual(self.uninstall(prefix), 0)
        self.assertEqual(prefix.traces(), [])
        self.assertEqual(prefix.snapshot(host), before)
        settings = prefix.reg_values(SETTINGS_KEY)
        self.assertEqual(settings.get("KestraTagFromFilename"), "[artist]-[track]",
                         "the user's pattern stays")
        self.assertFalse(set(PREVIEW_VALUES) & set(settings), settings)

    def test_a_compression_folder_the_install_made_goes_with_the_uninstall(self):
        prefix = self.fresh_prefix()
        host = self.stage_host(prefix, STAGED_HOST, compression=None)
        before = prefix.snapshot(host)
        self.assertEqual(self.install(prefix, "/D=" + host + r"\Compression"), 0)
        self.assert_installed(prefix, host + r"\Compression")
        self.assertEqual(self.uninstall(prefix), 0)
        self.assertEqual(prefix.traces(), [])
        self.assertEqual(prefix.snapshot(host), before)

    def test_without_installed_to_only_a_host_in_the_default_folder_is_used(self):
        prefix = self.fresh_prefix()
        self.assertEqual(self.install(prefix), EXIT_NOT_A_HOST)
        self.assertFalse(prefix.exists(r"c:\Program files\Brackenford"),
                         "no host folder made for a host that is not there")
        self.assertEqual(prefix.traces(), [])

        self.stage_host(prefix, DEFAULT_HOST)
        self.assertEqual(self.install(prefix), 0)
        self.assert_installed(prefix, DEFAULT_HOST + r"\Compression")

    def test_a_folder_that_is_no_hosts_compression_folder_is_refused(self):
        prefix = self.fresh_prefix()
        host = self.stage_host(prefix, STAGED_HOST)
        os.makedirs(prefix.unix(host + r"\Skins"))
        before = prefix.snapshot(r"C:\Program Files")
        for folder in (host, host + r"\Skins", r"C:\Program Files\Elsewhere\Compression"):
            with self.subTest(folder=folder):
                self.assert_refused(prefix, self.install(prefix, "/D=" + folder),
                                    EXIT_NOT_A_HOST, before, r"C:\Program Files")

    def test_a_folder_whose_files_would_not_fit_is_refused_and_one_that_just_fits_is_not(self):
        prefix = self.fresh_prefix()
        tail = r"\Compression\PathTagger\pathtagger-preview.exe"
        for extra in (1, 0):
            host = self.stage_host(prefix, deep_folder("C:\\H%d" % extra,
                                                       LONGEST_PATH + extra - len(tail)))
            self.assertEqual(len(host + tail), LONGEST_PATH + extra)
            before = prefix.snapshot(host)
            status = self.install(prefix, "/D=" + host + r"\Compression")
            if extra:
                with self.subTest("one character too long"):
                    self.assert_refused(prefix, status, EXIT_TOO_LONG, before, host)
            else:
                with self.subTest("just fits"):
                    self.assertEqual(status, 0)
                    self.assert_installed(prefix, host + r"\Compression")
                    self.assertEqual(self.uninstall(prefix), 0)
                    self.assertEqual(prefix.snapshot(host), before)

    def test_a_compression_folder_that_cannot_be_written_gets_nothing_and_no_entry(self):
        prefix = self.fresh_prefix()
        host = self.stage_host(prefix, STAGED_HOST)
        before = prefix.snapshot(host)
        compression = prefix.unix(host + r"\Compression")
        if os.geteuid() == 0:
            # Permissions do not stop root; the immutable flag does, where
            # the file system has it.
            locked = subprocess.run(["chattr", "+i", compression], capture_output=True)
            if locked.returncode != 0:
                self.skipTest("no immutable flag here: %s" % locked.stderr.decode().strip())
            unlock = ["chattr", "-i", compression]
        else:
            os.chmod(compression, 0o555)
            unlock = ["chmod", "755", compression]
        try:
            status = self.install(prefix, "/D=" + host + r"\Compression")
        finally:
            subprocess.run(unlock, check=True)
        self.assert_refused(prefix, status, EXIT_NOT_WRITTEN, before, host)

    def test_a_copy_that_cannot_be_replaced_whole_stays_whole_with_its_entry(self):
        prefix = self.fresh_prefix()
        first = self.stage_host(prefix, r"C:\H1")
        second = self.stage_host(prefix, r"C:\H2")
        self.assertEqual(self.install(prefix, "/D=" + first + r"\Compression"), 0)
        entry = prefix.reg_values(UNINSTALL_KEY)
        before = prefix.snapshot(first, second, START_MENU)
        unlock = self.lock(prefix.unix(first + r"\Compression\PathTagger\README.txt"))
        for target, what in ((second, "a move"), (first, "an upgrade in place")):
            with self.subTest(what):
                status = self.install(prefix, "/D=" + target + r"\Compression")
                self.assertEqual(status, EXIT_NOT_WRITTEN)
                self.assertEqual(prefix.snapshot(first, second, START_MENU), before,
                                 "the old copy whole: plugin, programs, uninstaller, shortcut")
                self.assertEqual(prefix.reg_values(UNINSTALL_KEY), entry)
                self.assertTrue(prefix.exists(entry["UninstallString"].strip('"')))
        subprocess.run(unlock, check=True)
        self.assertEqual(self.uninstall(prefix), 0)
        self.assertEqual(prefix.traces(), [])

    def test_an_uninstall_that_cannot_remove_a_file_says_so_and_can_be_run_again(self):
        prefix = self.fresh_prefix()
        host = self.stage_host(prefix, STAGED_HOST)
        before = prefix.snapshot(host)
        self.assertEqual(self.install(prefix, "/D=" + host + r"\Compression"), 0)
        entry = prefix.reg_values(UNINSTALL_KEY)
        unlock = self.lock(prefix.unix(host + r"\Compression\PathTagger\README.txt"))
        status = self.uninstall(prefix)
        subprocess.run(unlock, check=True)
        self.assertEqual(status, EXIT_NOT_WRITTEN)
        self.assertEqual(prefix.reg_values(UNINSTALL_KEY), entry)
        self.assertTrue(prefix.exists(entry["UninstallString"].strip('"')))
        self.assertEqual(self.uninstall(prefix), 0)
        self.assertEqual(prefix.traces(), [])
        self.assertEqual(prefix.snapshot(host), before)

    def test_a_write_that_fails_halfway_takes_out_what_was_written(self):
        prefix = self.fresh_prefix()
        host = self.stage_host(prefix, STAGED_HOST)
        other = self.stage_host(prefix, r"C:\H1")
        # A folder where the read-me goes: written after the DLL, and no
        # check before the first write can foresee it.
        os.makedirs(prefix.unix(host + r"\Compression\PathTagger\README.txt"))
        for case, target in (("fresh", host), ("moved", host), ("in place", other)):
            with self.subTest(case):
                if case == "moved":
                    self.assertEqual(self.install(prefix, "/D=" + other + r"\Compression"), 0)
                if case == "in place":
                    readme = prefix.unix(other + r"\Compression\PathTagger\README.txt")
                    os.remove(readme)
                    os.makedirs(readme)
                entry = prefix.reg_values(UNINSTALL_KEY)
                before = prefix.snapshot(host, other, START_MENU)
                status = self.install(prefix, "/D=" + target + r"\Compression")
                self.assertEqual(status, EXIT_NOT_WRITTEN)
                self.assertEqual(prefix.snapshot(host, other, START_MENU), before,
                                 "the copy before, if any, is back whole, with its shortcut")
                self.assertEqual(prefix.reg_values(UNINSTALL_KEY), entry)
                self.assertEqual(prefix.exists(START_MENU), case != "fresh")

    def test_a_copy_of_the_uninstaller_elsewhere_removes_nothing(self):
        prefix = self.fresh_prefix()
        host = self.stage_host(prefix, STAGED_HOST)
        compression = host + r"\Compression"
        self.assertEqual(self.install(prefix, "/D=" + compression), 0)
        for name in PREVIEW_VALUES:
            prefix.set_value(SETTINGS_KEY, name, "1")
        # A user's folder named like ours, holding files of the same names,
        # with a DLL of that name beside it and the uninstaller copied in.
        user = r"C:\users\Public\Documents\Mine"
        for name in ["PathTagger.dll"] + ["PathTagger\\" + n for n in OWN_FILES[:-1]]:
            path = prefix.unix(user + "\\" + name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(b"the user's own " + name.encode())
        program = prefix.unix(user + r"\PathTagger\Uninstall.exe")
        shutil.copy(prefix.unix(compression + r"\PathTagger\Uninstall.exe"), program)
        for entry in ("names another copy", "none"):
            with self.subTest(entry=entry):
                if entry == "none":
                    self.assertEqual(self.uninstall(prefix), 0)
                before = prefix.snapshot(host, user, START_MENU)
                registry = prefix.reg_values(UNINSTALL_KEY), prefix.reg_values(SETTINGS_KEY)
                status = prefix.wine(program, "/S").returncode
                prefix.wait_for_every_program()
                self.assertEqual(status, EXIT_NOT_ITS_COPY)
                self.assertEqual(prefix.snapshot(host, user, START_MENU), before)
                self.assertEqual((prefix.reg_values(UNINSTALL_KEY),
                                  prefix.reg_values(SETTINGS_KEY)), registry)

    def test_a_held_file_stops_the_install_and_the_plain_silent_uninstall(self):
        for name, how in (("PathTagger.dll", ["--load"]),  # loaded as the host loads it
                          ("PathTagger.dll", []),          # opened unshared
                          (r"PathTagger\PathTaggerPreview.exe", [])):  # the window running
            with self.subTest(name=name, how=how):
                label = "-%s-%s" % (name[-3:], "load" if how else "open")
                self.check_held_file_stops_both(self.fresh_prefix(label), name, how)

    def check_held_file_stops_both(self, prefix, name, how):
        host = self.stage_host(prefix, STAGED_HOST)
        compression = host + r"\Compression"
        self.assertEqual(self.install(prefix, "/D=" + compression), 0)
        entry = self.assert_installed(prefix, compression)
        readme = prefix.unix(compression + r"\PathTagger\README.txt")
        os.remove(readme)  # a write the refused run must not make
        before = prefix.snapshot(host, START_MENU)

        holder = prefix.popen(HOLD_FILE, *how, compression + "\\" + name)
        try:
            self.assertEqual(holder.stdout.readline().strip(), b"held")
            self.assertEqual(self.install(prefix, "/D=" + compression), EXIT_IN_USE)
            self.assertEqual(prefix.snapshot(host, START_MENU), before)
            # The plain silent uninstall reports the refusal itself.
            program = entry["UninstallString"].strip('"')
            self.assertEqual(prefix.wine(program, "/S").returncode, EXIT_IN_USE)
            self.assertEqual(prefix.reg_values(UNINSTALL_KEY), entry)
            self.assertEqual(prefix.snapshot(host, START_MENU), before)
        finally:
            holder.communicate(timeout=60)

        self.assertEqual(self.install(prefix, "/D=" + compression), 0)
        self.assertTrue(os.path.isfile(readme), "the retried install is whole")
        self.assertEqual(self.uninstall(prefix), 0)
        self.assertEqual(prefix.traces(), [])

    def test_a_move_away_from_a_copy_in_use_changes_nothing(self):
        prefix = self.fresh_prefix()
        first, second, entry, before = installed_in_one_of_two_hosts(self, prefix)
        holder = prefix.popen(HOLD_FILE, "--load", first + r"\PathTagger.dll")
        try:
            self.assertEqual(holder.stdout.readline().strip(), b"held")
            self.assertEqual(self.install(prefix, "/D=" + second), EXIT_IN_USE)
        finally:
            holder.communicate(timeout=60)
        self.assertEqual(prefix.snapshot(r"C:\H1", r"C:\H2", START_MENU), before)
        self.assertEqual(prefix.reg_values(UNINSTALL_KEY), entry)

    def test_a_reinstall_into_another_host_moves_the_copy_and_its_uninstall_removes_it(self):
        for order in ((False, True), (True, False)):  # which host lacks a Compression folder
            with self.subTest(made_by_the_install=order):
                prefix = self.fresh_prefix("-%d" % order[0])
                first = self.stage_host(prefix, r"C:\Program Files\First Host",
                                        compression=None if order[0] else "empty")
                second = self.stage_host(prefix, r"C:\Program Files\Second Host",
                                         compression=None if order[1] else "empty")
                before = prefix.snapshot(first, second)
                self.assertEqual(self.install(prefix, "/D=" + first + r"\Compression"), 0)
                self.assertEqual(self.install(prefix, "/D=" + second + r"\Compression"), 0)
                entry = self.assert_installed(prefix, second + r"\Compression")
                self.assertEqual(prefix.snapshot(first), {k: v for k, v in before.items()
                                                          if k.startswith(prefix.unix(first))},
                                 "the first copy went with the move")
                # A plain reinstall goes where PathTagger is, not where the
                # host's record points.
                prefix.set_value(SETTINGS_KEY, "InstalledTo", first)
                self.assertEqual(self.install(prefix), 0)
                self.assertEqual(prefix.reg_values(UNINSTALL_KEY), entry)
                self.assertEqual(self.uninstall(prefix), 0)
                self.assertEqual(prefix.traces(), [])
                self.assertEqual(prefix.snapshot(first, second), before)


class PageDriver:
    """page_driver.exe in a prefix, one step at a time."""

    def __init__(self, prefix):
        self.process = subprocess.Popen(["wine", PAGE_DRIVER], env=prefix.env,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE)

    def step(self, word, *rest):
        self.process.stdin.write(" ".join((word,) + rest).encode("utf-8") + b"\n")
        self.process.stdin.flush()
        answer = self.process.stdout.readline().decode("utf-8").rstrip("\r\n").split("\t")
        assert answer[0] == word, "driver: %s" % "\t".join(answer)
        return answer[1:]

    def page(self, title):
        """The page once its title holds title: its title, whether its first
        button is Close and enabled, and its details."""
        found, first, enabled, *details = self.step("page", title)
        return found, first.replace("&", "") == "Close" and enabled == "1", details

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=60)
        self.process.stdout.close()


class Pages(Steps):
    """The pages, as a person goes through them, on a display of their own."""

    @classmethod
    def setUpClass(cls):
        read, write = os.pipe()
        cls.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                     "1024x768x24", "-nolisten", "tcp"], pass_fds=(write,),
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as number:
            cls.display = ":" + number.readline().strip()

    @classmethod
    def tearDownClass(cls):
        cls.xvfb.terminate()
        cls.xvfb.wait(timeout=30)

    def fresh_prefix(self, label=""):
        prefix = Prefix("page-" + self.id().split(".")[-1][5:35] + label, self.display)
        self.addCleanup(prefix.remove)
        return prefix

    def driver(self, prefix, command):
        driver = PageDriver(prefix)
        self.addCleanup(driver.close)
        driver.step("start", command)
        return driver

    def close_and_expect_removed(self, driver, prefix, host, before):
        """Close on the uninstaller's last page: exit 0, and once every
        program has ended, nothing of PathTagger left beside the host."""
        driver.step("click", "1")
        self.assertEqual(driver.step("exited"), ["0"])
        prefix.wait_for_every_program(but=("page_driver.exe",))
        self.assertEqual(prefix.traces(), [])
        self.assertEqual(prefix.snapshot(host), before)

    def setup_command(self, folder):
        return "Z:" + os.path.abspath(SETUP).replace("/", "\\") + " /D=" + folder

    def hold(self, prefix, *how_and_path):
        holder = prefix.popen(HOLD_FILE, *how_and_path)
        self.addCleanup(holder.communicate, timeout=60)
        self.assertEqual(holder.stdout.readline().strip(), b"held")
        return holder

    def test_a_refused_move_says_so_and_leaves_close_to_press(self):
        prefix = self.fresh_prefix()
        first, second, entry, before = installed_in_one_of_two_hosts(self, prefix)
        self.lock(prefix.unix(first + r"\PathTagger\README.txt"))
        driver = self.driver(prefix, self.setup_command(second))
        driver.step("click", "1")  # Install
        title, close, details = driver.page(": Nothing was installed")
        self.assertTrue(close, "Close, enabled")
        self.assertTrue(any("README.txt cannot be replaced" in line for line in details), details)
        driver.step("click", "1")
        self.assertEqual(driver.step("exited"), [str(EXIT_NOT_WRITTEN)])
        self.assertEqual(prefix.snapshot(r"C:\H1", r"C:\H2", START_MENU), before)
        self.assertEqual(prefix.reg_values(UNINSTALL_KEY), entry)

    def test_a_file_in_use_is_named_and_retry_goes_on_once_it_is_free(self):
        prefix = self.fresh_prefix()
        host = self.stage_host(prefix, STAGED_HOST)
        compression = host + r"\Compression"
        before = prefix.snapshot(host)
        dll = compression + r"\PathTagger.dll"
        self.assertEqual(self.install(prefix, "/D=" + compression), 0)
        uninstaller = '"%s"' % prefix.reg_values(UNINSTALL_KEY)["UninstallString"].strip('"')
        installed = prefix.snapshot(host, START_MENU)

        with self.subTest("the uninstaller, cancelled"):
            holder = self.hold(prefix, "--load", dll)
            driver = self.driver(prefix, uninstaller)
            text, = driver.step("dialog", "Cancel")
            self.assertIn("PathTagger.dll is in use by the host", text)
            self.assertEqual(driver.step("exited"), [str(EXIT_IN_USE)])
            self.assertEqual(prefix.snapshot(host, START_MENU), installed)

        with self.subTest("the installer, retried"):
            driver = self.driver(prefix, self.setup_command(compression))
            driver.step("click", "1")  # Install
            self.assertIn("in use", driver.step("dialog", "Retry")[0])
            self.assertIn("in use", driver.step("dialog")[0], "still held: asked again")
            holder.communicate(timeout=60)
            driver.step("dialog", "Retry")
            title, close, _ = driver.page(": Completed")
            self.assertTrue(close, "Close, enabled")
            driver.step("click", "1")
            self.assertEqual(driver.step("exited"), ["0"])

        with self.subTest("the uninstaller, retried"):
            holder = self.hold(prefix, "--load", dll)
            driver = self.driver(prefix, uninstaller)
            self.assertIn("in use", driver.step("dialog")[0])
            holder.communicate(timeout=60)
            driver.step("dialog", "Retry")
            self.assertIn("Remove PathTagger", driver.step("dialog", "Yes")[0])
            title, close, _ = driver.page(": Completed")
            self.assertTrue(close, "Close, enabled")
            self.close_and_expect_removed(driver, prefix, host, before)

    def test_the_uninstallers_last_page_may_stay_open_as_long_as_it_likes(self):
        prefix = self.fresh_prefix()
        host = self.stage_host(prefix, STAGED_HOST)
        before = prefix.snapshot(host)
        self.assertEqual(self.install(prefix, "/D=" + host + r"\Compression"), 0)
        program = prefix.reg_values(UNINSTALL_KEY)["UninstallString"].strip('"')
        driver = self.driver(prefix, '"%s"' % program)
        driver.step("dialog", "Yes")
        title, close, _ = driver.page(": Completed")
        # However long the person takes: whatever else runs meanwhile has
        # every chance to end first.
        prefix.wait_for_every_program(but=("uninstall.exe", "page_driver.exe"))
        self.close_and_expect_removed(driver, prefix, host, before)

    def test_the_installed_preview_window_shows_the_icon_in_its_title_bar(self):
        prefix = self.fresh_prefix()
        compression = self.stage_host(prefix, STAGED_HOST) + r"\Compression"
        self.assertEqual(self.install(prefix, "/D=" + compression), 0)
        program = compression + r"\PathTagger\PathTaggerPreview.exe"
        driver = self.driver(prefix, '"%s" --folder C:\\' % program)
        self.assertEqual(driver.step("icon", program), ["1"])
        self.assertEqual(driver.step("exited"), ["0"])

    def test_a_written_file_that_cannot_be_taken_out_keeps_its_entry_and_uninstaller(self):
        prefix = self.fresh_prefix()
        host = self.stage_host(prefix, STAGED_HOST)
        compression = host + r"\Compression"
        # The read-me cannot be written, and while NSIS asks what to do,
        # the host loads the DLL written just before it.
        before = prefix.snapshot(host)
        readme = prefix.unix(compression + r"\PathTagger\README.txt")
        os.makedirs(readme)
        driver = self.driver(prefix, self.setup_command(compression))
        driver.step("click", "1")
        self.assertIn("README.txt", driver.step("dialog")[0])
        holder = self.hold(prefix, "--load", compression + r"\PathTagger.dll")
        driver.step("dialog", "Abort")
        title, close, details = driver.page(": Stopped")
        self.assertFalse(close, "Cancel, which takes out what was written")
        driver.step("click", "2")
        self.assertEqual(driver.step("exited"), [str(EXIT_NOT_WRITTEN)])
        entry = prefix.reg_values(UNINSTALL_KEY)
        self.assertIsNotNone(entry, "what stays keeps its entry")
        self.assertEqual(entry["CompressionFolder"].lower(), compression.lower())
        self.assertTrue(prefix.exists(compression + r"\PathTagger.dll"))
        holder.communicate(timeout=60)
        driver.close()
        os.rmdir(readme)
        self.assertEqual(self.uninstall(prefix), 0, "and its uninstaller removes it")
        self.assertEqual(prefix.traces(), [])
        self.assertEqual(prefix.snapshot(host), before)


if __name__ == "__main__":
    make_template()
    unittest.main(argv=sys.argv[:1] + sys.argv[9:], verbosity=2)

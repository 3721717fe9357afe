#!/usr/bin/env python3
"""The zip as a user unpacks it: the files it holds, a read-me with Windows
line ends, and a PathTagger.dll that carries the project's version record,
exports the nine functions and the entry point, keeps no debug information and
needs no runtime DLL beside it; and the icon rendered from PathTagger's
drawing in the preview window, the installer and the uninstaller.

Usage: package_contents_test.py ZIP VERSION UNPACK_DIR ICON SETUP UNINSTALLER
"""
import os
import shutil
import struct
import sys
import unittest
import zipfile

import pefile

ZIP, VERSION, UNPACK_DIR, ICON, SETUP, UNINSTALLER = sys.argv[1:7]

EXPORTS = {"CreateNewCompressionObject", "ANewDataBlockArrived", "DeleteCompressionObject",
           "GetExtensionYouCreate", "ShowConfigBit", "RemoveConfigBit",
           "SendRawUnCompressedFiles", "DisableJustOrigFolder", "DisableConvFolderTo",
           "DllMain"}
# What every Windows has; anything else would have to ship beside the binary.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll",
               "shell32.dll", "ole32.dll", "version.dll", "comctl32.dll"}


def version_strings(pe):
    strings = {}
    for info in getattr(pe, "FileInfo", []):
        for entry in info:
            for table in getattr(entry, "StringTable", []):
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    return strings


SHIPPED_BINARIES = ("PathTagger.dll", "pathtagger-preview.exe", "PathTaggerPreview.exe")


class PackageContents(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(UNPACK_DIR, ignore_errors=True)
        with zipfile.ZipFile(ZIP) as archive:
            cls.names = sorted(archive.namelist())
            archive.extractall(UNPACK_DIR)

    def binary(self, name):
        pe = pefile.PE(os.path.join(UNPACK_DIR, name))
        self.addCleanup(pe.close)
        return pe

    def test_the_zip_holds_the_plugin_the_preview_programs_and_the_readme(self):
        self.assertEqual(self.names, ["PathTagger.dll", "PathTaggerPreview.exe", "README.txt",
                                      "pathtagger-preview.exe"])

    def test_the_readme_has_windows_line_ends_and_names_the_folder_and_every_file(self):
        with open(os.path.join(UNPACK_DIR, "README.txt"), "rb") as f:
            text = f.read()
        self.assertEqual(text.count(b"\n"), text.count(b"\r\n"))
        self.assertIn(b"\\Compression\\", text)
        self.assertIn(VERSION.encode(), text)
        for name in self.names:
            if name != "README.txt":
                self.assertIn(name.encode(), text, "the read-me says what %s is" % name)

    def test_every_binary_carries_the_version_record(self):
        major, minor, patch = (int(p) for p in VERSION.split("."))
        for name in SHIPPED_BINARIES:
            with self.subTest(name):
                pe = self.binary(name)
                fixed = pe.VS_FIXEDFILEINFO[0]
                self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS),
                                 ((major << 16) | minor, patch << 16))
                self.assertEqual((fixed.ProductVersionMS, fixed.ProductVersionLS),
                                 ((major << 16) | minor, patch << 16))
                strings = version_strings(pe)
                self.assertEqual(strings["FileVersion"], VERSION)
                self.assertEqual(strings["ProductVersion"], VERSION)
                self.assertEqual(strings["ProductName"], "PathTagger")
                self.assertEqual(strings["OriginalFilename"], name)
                self.assertEqual(strings["InternalName"], os.path.splitext(name)[0])
                self.assertTrue(strings["FileDescription"])

    def test_the_plugin_exports_exactly_the_nine_functions_and_the_entry_point(self):
        pe = self.binary("PathTagger.dll")
        self.assertTrue(pe.is_dll())
        self.assertEqual(pe.FILE_HEADER.Machine, pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"])
        names = {e.name.decode() for e in pe.DIRECTORY_ENTRY_EXPORT.symbols}
        self.assertEqual(names, EXPORTS)

    def test_no_debug_information_and_no_runtime_dll_to_copy(self):
        for name in SHIPPED_BINARIES:
            with self.subTest(name):
                pe = self.binary(name)
                sections = {s.Name.rstrip(b"\0").decode() for s in pe.sections}
                self.assertFalse({s for s in sections if s.startswith((".debug", ".zdebug"))},
                                 sections)
                self.assertEqual(pe.FILE_HEADER.PointerToSymbolTable, 0, "symbols stripped")
                imports = {e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT}
                self.assertLessEqual(imports, SYSTEM_DLLS)


    def test_the_window_the_installer_and_the_uninstaller_show_the_drawn_icon(self):
        with open(ICON, "rb") as f:
            icon = f.read()
        _, kind, count = struct.unpack_from("<HHH", icon)
        self.assertEqual(kind, 1)
        drawn = set()
        for i in range(count):
            *_, size, offset = struct.unpack_from("<BBBBHHII", icon, 6 + 16 * i)
            drawn.add(icon[offset:offset + size])
        self.assertEqual(count, 5, "16, 24, 32, 48 and 256 pixels")
        for path in (os.path.join(UNPACK_DIR, "PathTaggerPreview.exe"), SETUP, UNINSTALLER):
            with self.subTest(os.path.basename(path)):
                pe = pefile.PE(path)
                self.addCleanup(pe.close)
                self.assertEqual(icon_images(pe), drawn)


def icon_images(pe):
    """The images of every icon a binary carries."""
    images = set()
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id != pefile.RESOURCE_TYPE["RT_ICON"]:
            continue
        for entry in kind.directory.entries:
            for language in entry.directory.entries:
                data = language.data.struct
                images.add(pe.get_data(data.OffsetToData, data.Size))
    return images


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)

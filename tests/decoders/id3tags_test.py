#!/usr/bin/env python3
"""Id3Tags.dll writes ID3v2.3 tags that an independent reader reads back.

Usage: id3tags_test.py RUNNER DRIVER PLUGIN
"""
import os
import stat
import subprocess
import sys
import tempfile
import unittest

from mutagen.id3 import APIC, COMM, ID3, TIT2, TPE1, TXXX

RUNNER, DRIVER, PLUGIN = sys.argv[1:4]

# MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417-byte frames of silence.
SILENT_FRAME = b"\xff\xfb\x90\x00" + bytes(413)
AUDIO = SILENT_FRAME * 20


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def drive(*args):
    done = subprocess.run([RUNNER, DRIVER, PLUGIN] + list(args), capture_output=True,
                          timeout=120)
    if done.returncode != 0:
        raise AssertionError(f"driver failed: {done.returncode} {done.stderr!r}")
    return done.stdout.decode("latin-1")


def set_tag(path, field, value):
    drive("set", windows_path(path), field, value)


def track_info(path):
    lines = drive("get", windows_path(path)).splitlines()
    return dict(line.split("=", 1) for line in lines)


def tag_end(data):
    if not data.startswith(b"ID3"):
        return 0
    size = 0
    for byte in data[6:10]:
        size = size << 7 | byte
    return 10 + size


class Id3Tags(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.folder.name, "song.mp3")

    def tearDown(self):
        os.chmod(self.path, stat.S_IRUSR | stat.S_IWUSR)
        self.folder.cleanup()

    def write(self, data):
        with open(self.path, "wb") as f:
            f.write(data)

    def read(self):
        with open(self.path, "rb") as f:
            return f.read()

    def audio_after_tag(self):
        data = self.read()
        return data[tag_end(data):]

    def test_creates_a_tag_with_every_field(self):
        self.write(AUDIO)
        fields = {"Artist": "Some Band", "Album": "Best Of", "Title": "Caf\u00e9 Song",
                  "Genre": "Rock", "Year": "1998", "Track": "7"}
        for field, value in fields.items():
            set_tag(self.path, field, value)
        tags = ID3(self.path, translate=False)
        self.assertEqual(tags.version, (2, 3, 0))
        got = {frame: tags[frame].text[0] for frame in
               ("TPE1", "TALB", "TIT2", "TCON", "TYER", "TRCK")}
        self.assertEqual(got, {"TPE1": "Some Band", "TALB": "Best Of", "TIT2": "Caf\u00e9 Song",
                               "TCON": "Rock", "TYER": "1998", "TRCK": "7"})
        self.assertTrue(all(tags[f].encoding == 0 for f in got))
        self.assertEqual(self.audio_after_tag(), AUDIO)
        self.assertEqual(os.listdir(self.folder.name), ["song.mp3"])

        info = track_info(self.path)
        self.assertEqual((info["first"], info["second"], info["third"], info["reply"]),
                         ("Some Band", "Caf\u00e9 Song", "Best Of", "Rock"))
        self.assertEqual((info["n0"], info["n1"]), ("7", "1998"))

    def test_later_fields_go_into_the_tags_spare_room_in_place(self):
        self.write(AUDIO)
        set_tag(self.path, "Artist", "Some Band")
        size_after_first = os.path.getsize(self.path)
        inode_after_first = os.stat(self.path).st_ino
        set_tag(self.path, "Title", "A Song")
        set_tag(self.path, "Artist", "Another Band With A Longer Name")
        self.assertEqual(os.stat(self.path).st_ino, inode_after_first,
                         "a tag with room is updated where it stands")
        self.assertEqual(os.path.getsize(self.path), size_after_first)
        tags = ID3(self.path, translate=False)
        self.assertEqual((tags["TPE1"].text[0], tags["TIT2"].text[0]),
                         ("Another Band With A Longer Name", "A Song"))
        self.assertEqual(self.audio_after_tag(), AUDIO)

        # A value that no longer fits makes the tag grow through a new file.
        set_tag(self.path, "Album", "x" * 2000)
        self.assertNotEqual(os.stat(self.path).st_ino, inode_after_first)
        tags = ID3(self.path, translate=False)
        self.assertEqual((tags["TALB"].text[0], tags["TIT2"].text[0]), ("x" * 2000, "A Song"))
        self.assertEqual(self.audio_after_tag(), AUDIO)
        self.assertEqual(os.listdir(self.folder.name), ["song.mp3"])

    def test_replaces_one_frame_and_keeps_the_others_and_the_audio(self):
        self.write(AUDIO + b"TAG" + bytes(125))  # an ID3v1 tag at the end stays too
        tags = ID3()
        tags.add(TPE1(encoding=3, text="Old Artist"))
        tags.add(TIT2(encoding=1, text="Old Title"))
        tags.add(COMM(encoding=3, lang="eng", desc="", text="a comment"))
        tags.add(TXXX(encoding=3, desc="custom", text="kept"))
        tags.add(APIC(encoding=0, mime="image/png", type=3, desc="", data=b"\x89PNG" * 50))
        tags.save(self.path, v2_version=3, v1=0)
        tail = self.audio_after_tag()

        set_tag(self.path, "Artist", "New Artist")
        tags = ID3(self.path)
        self.assertEqual(tags["TPE1"].text, ["New Artist"])
        self.assertEqual(tags["TIT2"].text, ["Old Title"])
        self.assertEqual(tags["COMM::eng"].text, ["a comment"])
        self.assertEqual(tags["TXXX:custom"].text, ["kept"])
        self.assertEqual(tags["APIC:"].data, b"\x89PNG" * 50)
        self.assertEqual(self.audio_after_tag(), tail)
        self.assertEqual(track_info(self.path)["second"], "Old Title")

    def test_grows_the_tag_when_its_padding_is_used_up(self):
        self.write(AUDIO)
        for i in range(12):
            set_tag(self.path, "Title", f"{i:02d}" + "t" * 200)
            set_tag(self.path, "Album", f"{i:02d}" + "a" * 200)
        tags = ID3(self.path)
        self.assertEqual(tags["TIT2"].text, ["11" + "t" * 200])
        self.assertEqual(tags["TALB"].text, ["11" + "a" * 200])
        self.assertEqual(self.audio_after_tag(), AUDIO)

    def test_leaves_tags_it_does_not_understand_and_read_only_files_alone(self):
        tags = ID3()
        tags.add(TPE1(encoding=3, text="Four"))
        self.write(AUDIO)
        tags.save(self.path, v2_version=4)
        before = self.read()
        set_tag(self.path, "Artist", "Changed")
        self.assertEqual(self.read(), before)

        self.write(AUDIO)
        os.chmod(self.path, stat.S_IRUSR)
        set_tag(self.path, "Artist", "Changed")
        self.assertEqual(self.read(), AUDIO)
        self.assertEqual(os.listdir(self.folder.name), ["song.mp3"])

    def test_unknown_fields_and_missing_files_change_nothing(self):
        self.write(AUDIO)
        set_tag(self.path, "Composer", "Nobody")
        self.assertEqual(self.read(), AUDIO)
        set_tag(self.path + ".missing", "Artist", "Nobody")
        self.assertEqual(os.listdir(self.folder.name), ["song.mp3"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])

#!/usr/bin/env python3
"""Prints the ID3 tags of every MP3 file below a folder, as an independent
reader (mutagen) sees them.

Usage: show_tags.py FOLDER
"""
import os
import sys

from mutagen.id3 import ID3, ID3NoHeaderError

FRAMES = [("TPE1", "Artist"), ("TALB", "Album"), ("TIT2", "Title"),
          ("TCON", "Genre"), ("TYER", "Year"), ("TRCK", "Track")]


def tags_of(path):
    try:
        tag = ID3(path, translate=False)
    except ID3NoHeaderError:
        return {}
    return {name: str(tag[frame]) for frame, name in FRAMES if frame in tag}


def main(folder):
    for dirpath, _, files in sorted(os.walk(folder)):
        for name in sorted(files):
            if not name.lower().endswith(".mp3"):
                continue
            path = os.path.join(dirpath, name)
            tags = tags_of(path)
            shown = ", ".join("%s=%s" % (k, tags[k]) for _, k in FRAMES if k in tags)
            print("%s\n    %s" % (os.path.relpath(path, folder), shown or "(no tag)"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])

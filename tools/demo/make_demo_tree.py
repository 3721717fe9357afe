#!/usr/bin/env python3
"""Creates a small music tree of valid, silent MP3 files for the demo.

Usage: make_demo_tree.py FOLDER [COPIES]

Each file is a run of silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz),
without any tag, at Artist/Album (yy)/nn - Title.mp3. With COPIES > 1 the
tree is repeated under copy-N folders (for batch measurements).
"""
import os
import sys

FRAME_HEADER = bytes([0xFF, 0xFB, 0x90, 0x64])  # MPEG-1 L3, 128k, 44.1k, no CRC
FRAME_LENGTH = 417  # 144 * 128000 / 44100, no padding
FRAMES = 38  # about one second

TREE = [
    ("Some Band", "Best Of (98)", "07 - A Song"),
    ("Some Band", "Best Of (98)", "08 - Another Song"),
    ("Some Band", "Greatest Hits (04)", "01 - Opening"),
    ("The Quiet Ones", "Night Drive (87)", "03 - Headlights"),
    ("The Quiet Ones", "Night Drive (87)", "12 - Last Exit"),
    ("Chanteuse", "Été (99)", "02 - Café au lait"),
]


def silent_mp3():
    frame = FRAME_HEADER + bytes(FRAME_LENGTH - len(FRAME_HEADER))
    return frame * FRAMES


def make_tree(root, copies=1):
    audio = silent_mp3()
    paths = []
    for copy in range(copies):
        base = root if copies == 1 else os.path.join(root, "copy-%04d" % copy)
        for artist, album, title in TREE:
            folder = os.path.join(base, artist, album)
            os.makedirs(folder, exist_ok=True)
            path = os.path.join(folder, title + ".mp3")
            with open(path, "wb") as f:
                f.write(audio)
            paths.append(path)
    return paths


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    made = make_tree(sys.argv[1], int(sys.argv[2]) if len(sys.argv) == 3 else 1)
    print("%d files under %s" % (len(made), sys.argv[1]))

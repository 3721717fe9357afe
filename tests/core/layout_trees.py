"""Trees laid out as widely used rippers and library managers name files by
default, with what each file's path holds: the values a reader of the path
should find. Shared by the suggestion tests and by anyone trying a layout.

Each tree has single-disc albums, a two-disc album and a compilation, with
titles that begin with digits, hold " - " or accented letters (written as
Latin-1 bytes, as the plugin's paths are single-byte).
"""
import os

# (artist, album, year, discs): discs is a list of track-title lists.
ALBUMS = [
    ("The Quiet Ones", "Night Drive", 1987,
     [["Headlights", "1979", "Ça Plane", "7 Years Gone", "Part 2 - The Return", "Last Exit"]]),
    ("Mira Solen", "Café Society", 2004,
     [["Opening", "99 Red Lanterns", "Rue de l'Été", "Slow Burn", "Song for Later"]]),
    ("Northern Line", "Greatest Hits", 1999,
     [["Opening", "Run", "Hey You", "Signals"],
      ["Encore", "2 Minutes to Go", "Farewell"]]),
    ("AC_DC Tribute", "Live at Home", 2011,
     [["Intro", "Thunder", "High Voltage", "Outro"]]),
]

COMPILATION = ("Summer Mix", 2015, [
    ("DJ Alpha", "Sunrise"),
    ("Zoë Park", "Blue Hour"),
    ("The Quiet Ones", "Headlights"),
    ("Band of 3", "1000 Miles"),
    ("Mira Solen", "Lights - Radio Edit"),
])


def two(n):
    return "%02d" % n


def album_files(style):
    """(relative path, expected values) for every track of the single and
    multi-disc albums in one style."""
    files = []
    for artist, album, year, discs in ALBUMS:
        continuous = 0
        for d, titles in enumerate(discs, 1):
            for t, title in enumerate(titles, 1):
                continuous += 1
                multi = len(discs) > 1
                path, holds = style(artist, album, year, d, t, title, multi, continuous)
                expected = {"album": album, "title": title,
                            "trackNumber": continuous if holds.get("continuous") else t}
                if holds.get("artist", True):
                    expected["artist"] = artist
                if holds.get("year"):
                    expected["year"] = year
                files.append((path, expected))
    return files


def compilation_files(style):
    album, year, tracks = COMPILATION
    files = []
    for t, (artist, title) in enumerate(tracks, 1):
        path, holds = style(album, year, t, artist, title)
        expected = {"album": album, "title": title, "trackNumber": t}
        if holds.get("artist"):
            expected["artist"] = artist
        if holds.get("year"):
            expected["year"] = year
        files.append((path, expected))
    return files


def picard(artist, album, year, d, t, title, multi, _):
    number = "%d-%s" % (d, two(t)) if multi else two(t)
    return "%s\\%s\\%s %s.mp3" % (artist, album, number, title), {}


def picard_compilation(album, year, t, artist, title):
    return "Various Artists\\%s\\%s %s - %s.mp3" % (album, two(t), artist, title), {"artist": True}


def beets(artist, album, year, d, t, title, multi, continuous):
    return "%s\\%s\\%s %s.mp3" % (artist, album, two(continuous), title), {"continuous": True}


def beets_compilation(album, year, t, artist, title):
    return "Compilations\\%s\\%s %s.mp3" % (album, two(t), title), {}


def itunes(artist, album, year, d, t, title, multi, _):
    number = "%d-%s" % (d, two(t)) if multi else two(t)
    return "%s\\%s\\%s %s.m4a" % (artist, album, number, title), {}


def itunes_compilation(album, year, t, artist, title):
    return "Compilations\\%s\\%s %s.m4a" % (album, two(t), title), {}


def plex(artist, album, year, d, t, title, multi, _):
    number = "%d%s" % (d, two(t)) if multi else two(t)
    return "%s\\%s\\%s - %s.flac" % (artist, album, number, title), {}


def plex_compilation(album, year, t, artist, title):
    return "Various Artists\\%s\\%s - %s.flac" % (album, two(t), title), {}


def jellyfin(artist, album, year, d, t, title, multi, _):
    disc = "Disc %d\\" % d if multi else ""
    return "%s\\%s\\%s%s - %s.flac" % (artist, album, disc, two(t), title), {}


def jellyfin_compilation(album, year, t, artist, title):
    return "Various Artists\\%s\\%s - %s.flac" % (album, two(t), title), {}


def lidarr(artist, album, year, d, t, title, multi, _):
    disc = "CD %s\\" % two(d) if multi else ""
    return ("%s\\%s (%d)\\%s%s - %s - %s - %s.flac"
            % (artist, album, year, disc, artist, album, two(t), title), {"year": True})


def lidarr_compilation(album, year, t, artist, title):
    return ("Various Artists\\%s (%d)\\Various Artists - %s - %s - %s.flac"
            % (album, year, album, two(t), title), {"year": True})


def year_album(artist, album, year, d, t, title, multi, _):
    disc = "CD%d\\" % d if multi else ""
    return "%s\\[%d] %s\\%s%s. %s.mp3" % (artist, year, album, disc, two(t), title), {"year": True}


def year_album_compilation(album, year, t, artist, title):
    return ("Various Artists\\[%d] %s\\%s - %s - %s.mp3" % (year, album, two(t), artist, title),
            {"artist": True, "year": True})


def artist_dash_album(artist, album, year, d, t, title, multi, _):
    disc = "CD %d\\" % d if multi else ""
    return "%s - %s\\%s%s - %s.ogg" % (artist, album, disc, two(t), title), {}


def artist_dash_album_compilation(album, year, t, artist, title):
    return ("Various Artists - %s\\%s - %s - %s.ogg" % (album, two(t), artist, title),
            {"artist": True})


LAYOUTS = {
    "picard": (picard, picard_compilation),
    "beets": (beets, beets_compilation),
    "itunes": (itunes, itunes_compilation),
    "plex": (plex, plex_compilation),
    "jellyfin": (jellyfin, jellyfin_compilation),
    "lidarr": (lidarr, lidarr_compilation),
    "year-album": (year_album, year_album_compilation),
    "artist-dash-album": (artist_dash_album, artist_dash_album_compilation),
}

# What a library holds besides music: no decoder reads them.
EXTRAS = ["cover.jpg", "folder.jpg", "rip.log", "album.cue", "playlist.m3u"]


def layout_files(name):
    style, compilation = LAYOUTS[name]
    return album_files(style) + compilation_files(compilation)


def make_tree(root, name, encoding="latin-1"):
    """Writes the tree's files (empty) below root and returns
    {relative path: expected values} for the music files. Natively the
    names are the single bytes the plugin sees; for a program under Wine
    they are UTF-8, which Wine shows it in the ANSI code page."""
    files = layout_files(name)
    folders = set()
    for relative, _ in files:
        path = os.path.join(root.encode(), *[p.encode(encoding) for p in relative.split("\\")])
        os.makedirs(os.path.dirname(path), exist_ok=True)
        open(path, "wb").close()
        folders.add(os.path.dirname(path))
    for folder in sorted(folders)[:2]:
        for extra in EXTRAS:
            open(os.path.join(folder, extra.encode()), "wb").close()
    return dict(files)

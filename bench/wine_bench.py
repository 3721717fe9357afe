"""What the Win32 bench sections share: building with the win32 preset,
one wineserver kept up for a section (so that each program start costs what
a process start costs, not a server start), Windows paths, and host folders
of their own for the timing programs."""
import contextlib
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "win32")
WINE_RUN = os.path.join(BUILD, "wine-run")
SESSION = os.path.join(ROOT, "cmake", "wine", "session")
QUICK = "--quick" in sys.argv[1:]


def progress(*parts):
    print(*parts, file=sys.stderr, flush=True)


def available():
    """False when this machine cannot cross-build or run Wine."""
    return all(shutil.which(tool) for tool in ("i686-w64-mingw32-g++-posix", "wine"))


def build(*targets):
    for command in (["cmake", "--preset", "win32"],
                    ["cmake", "--build", "--preset", "win32", "--target", *targets]):
        subprocess.run(command, cwd=ROOT, check=True, stdout=sys.stderr)


def session_environment():
    return dict(os.environ, WINEPREFIX=os.path.join(BUILD, "wineprefix"),
                PATHTAGGER_WINE_SESSION=os.path.join(BUILD, "bench-wine-session"))


@contextlib.contextmanager
def wine_session():
    environment = session_environment()
    subprocess.run([SESSION, "up"], env=environment, check=True, stdout=sys.stderr,
                   stdin=subprocess.DEVNULL)
    try:
        yield
    finally:
        subprocess.run([SESSION, "down"], env=environment, stdout=sys.stderr,
                       stdin=subprocess.DEVNULL)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_timed(command, **options):
    """(wall seconds, stdout) of a command that must succeed."""
    start = time.perf_counter()
    done = subprocess.run(command, check=True, stdout=subprocess.PIPE,
                          stdin=subprocess.DEVNULL, **options)
    return time.perf_counter() - start, done.stdout


def run_windows(program, *arguments):
    """The "name value" lines a timing program prints, as a list of pairs."""
    _, out = run_timed([WINE_RUN, program, *arguments])
    pairs = []
    for line in out.decode("ascii", "replace").splitlines():
        name, _, value = line.partition(" ")
        pairs.append((name, float(value)))
    return pairs


def stage_host_folder(folder, program, decoders, with_plugin=False):
    """A host folder of its own: program (and PathTagger.dll) in folder, the
    decoders as (source, name) pairs in its decoder folder. Returns the
    staged program."""
    shutil.rmtree(folder, ignore_errors=True)
    decoder_folder = os.path.join(folder, "Multiplayer", "Input")
    os.makedirs(decoder_folder)
    shutil.copy(os.path.join(BUILD, "bin", program), folder)
    if with_plugin:
        shutil.copy(os.path.join(BUILD, "host", "PathTagger.dll"), folder)
    for source, name in decoders:
        shutil.copy(source, os.path.join(decoder_folder, name))
    return os.path.join(folder, program)


def median(values):
    ordered = sorted(values)
    middle = len(ordered) // 2
    return ordered[middle] if len(ordered) % 2 else (ordered[middle - 1] + ordered[middle]) / 2

"""A private catalogue served by the built program on loopback, for the tests that go through
the real server: a program directory of its own (the program, the blank database, a config.ini
naming the SQLite file and the log), a small tree stored with `scan --store`, and
`quillet serve` on a free port of 127.0.0.1. Everything lives in one temporary folder that is
removed at the end, HOME and the XDG folders included, so nothing of the machine is touched."""

import contextlib
import os
import select
import shutil
import signal
import socket
import subprocess
import tempfile

SCRIPT_TITLE = "<script>alert(1)</script>"
ARTIST = "Grupo Lento"
PLAIN_FILES = 60
WAIT_S = 20


def id3v1_mp3(title, artist, album="Disco"):
    """A tagged MP3 as a tag writer leaves it: some bytes, then the 128-byte ID3v1 block."""
    def field(text, size):
        return text.encode("latin-1").ljust(size, b"\0")

    tag = b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + b"1999"
    tag += field("", 30) + bytes([17])
    return b"\xff\xfb" + b"\0" * 400 + tag


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def clean_environment(home):
    """The variables a run needs, with HOME and the XDG folders in the test's folder and no
    proxy between the clients and loopback."""
    env = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "HOME": home, "TMPDIR": home}
    folders = {"XDG_CONFIG_HOME": "config", "XDG_DATA_HOME": "data", "XDG_CACHE_HOME": "cache",
               "XDG_RUNTIME_DIR": "runtime"}
    for name, folder in folders.items():
        env[name] = os.path.join(home, folder)
        os.makedirs(env[name], mode=0o700, exist_ok=True)
    for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
        if name in os.environ:
            env[name] = os.environ[name]
    return env


def write_tree(tree):
    """PLAIN_FILES songs by ARTIST, so a search for its name fills more than one page, and one
    whose title is a script."""
    for number in range(1, PLAIN_FILES + 1):
        path = os.path.join(tree, f"CD{number % 3 + 1}", f"{number:02}.mp3")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(id3v1_mp3(f"Cancion {number}", ARTIST))
    with open(os.path.join(tree, "CD1", "99 script.mp3"), "wb") as out:
        out.write(id3v1_mp3(SCRIPT_TITLE, ARTIST))


class ServedCatalogue:
    """Builds the catalogue and serves it; `url` is the ready address the server printed."""

    def __init__(self, program_dir):
        self.work = tempfile.mkdtemp(prefix="quillet-served-")
        self.env = clean_environment(os.path.join(self.work, "home"))
        self.program_dir = os.path.join(self.work, "program")
        self.server = None
        self.url = ""
        os.makedirs(self.program_dir)
        for name in ("quillet", "bd-acces2k.blank"):
            shutil.copy2(os.path.join(program_dir, name), self.program_dir)
        with open(os.path.join(self.program_dir, "config.ini"), "w") as config:
            config.write("[log]\r\nlogfile=serve.log\r\n[bd]\r\ncadcon=Provider=QSQLITE;\r\n")

    def program(self, *arguments, **options):
        return subprocess.run([os.path.join(self.program_dir, "quillet"), *arguments],
                              cwd=self.work, env=self.env, timeout=WAIT_S, check=True,
                              capture_output=True, **options)

    def store_tree(self):
        tree = os.path.join(self.work, "Coleccion")
        write_tree(tree)
        self.program("scan", tree, "--store")

    def serve(self):
        port = free_port()
        self.server = subprocess.Popen(
            [os.path.join(self.program_dir, "quillet"), "serve", "--listen", f"127.0.0.1:{port}"],
            cwd=self.work, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        ready, _, _ = select.select([self.server.stdout], [], [], WAIT_S)
        if not ready:
            raise RuntimeError("quillet serve no escribió su dirección a tiempo")
        self.url = self.server.stdout.readline().decode().strip()
        if not self.url.startswith("http://"):
            raise RuntimeError(f"quillet serve no escribió una dirección: {self.url!r}")

    def close(self):
        if self.server is not None:
            self.server.send_signal(signal.SIGTERM)
            try:
                self.server.wait(WAIT_S)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()
        shutil.rmtree(self.work, ignore_errors=True)


@contextlib.contextmanager
def served_catalogue(program_dir):
    catalogue = ServedCatalogue(program_dir)
    try:
        catalogue.store_tree()
        catalogue.serve()
        yield catalogue
    finally:
        catalogue.close()


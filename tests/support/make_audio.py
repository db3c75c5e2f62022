#!/usr/bin/python3
"""Makes short audio files with real Debian encoders and tags them with mutagen.

Reads a JSON list from standard input, one object per file:
  {"path": ".../a.flac", "samples": 88200, "rate": 44100, "channels": 2,
   "tags": {"title": ..., "artist": ..., "album": ..., "year": ..., "comment": ...,
            "track": ..., "genre": ...},
   "xing": true, "kbps": 128}
The extension chooses the encoder; "samples" is exact for the lossless formats, Vorbis and
Opus. A tag given as a list gets each value (two ARTIST comments, an ID3v2.4 frame with two
texts). "kbps" is lame's constant rate, 0 a variable one. A file without "tags" is left as the
encoder wrote it."""
import json
import os
import subprocess
import sys
import tempfile


def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def ffmpeg(source, target, codec):
    run("ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", source, "-c:a", codec, "-b:a",
        "64k", target)


def encode(fixture, work):
    path, rate, channels = fixture["path"], fixture.get("rate", 44100), fixture.get("channels", 2)
    extension = os.path.splitext(path)[1].lower()
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if extension == ".ape":
        # Debian has no Monkey's Audio encoder: a descriptor and silence, enough for a tag.
        with open(path, "wb") as out:
            out.write(b"MAC " + (3990).to_bytes(2, "little") + bytes(200))
        return
    aiff = extension in (".aif", ".aiff")
    source = os.path.join(work, "source.aiff" if aiff else "source.wav")
    # The rate goes on the null input too: synth counts its samples at the input's rate. The
    # dither's random numbers are sox's default ones (-R), so the same request always gives the
    # same bytes.
    run("sox", "-R", "-r", str(rate), "-n", "-r", str(rate), "-c", str(channels), "-b", "16", source,
        "synth",
        f"{fixture['samples']}s", "sine", "440", "vol", "0.5")
    if extension in (".wav", ".aif", ".aiff"):
        os.replace(source, path)
    elif extension == ".flac":
        run("flac", "-s", "-f", "-o", path, source)
    elif extension == ".ogg":
        # A fixed stream serial makes the pages, and what TagLib makes of them, repeatable.
        run("oggenc", "-Q", "-s", "1234", "-o", path, source)
    elif extension == ".opus":
        run("opusenc", "--quiet", "--serial", "1234", source, path)
    elif extension == ".m4a":
        ffmpeg(source, path, "aac")
    elif extension == ".wma":
        ffmpeg(source, path, "wmav2")
    elif extension == ".wv":
        run("wavpack", "-q", "-y", source, "-o", path)
    elif extension == ".mpc":
        run("mpcenc", "--silent", "--overwrite", source, path)
    elif extension == ".mp3":
        kbps = fixture.get("kbps", 128)
        rate_choice = ["-b", str(kbps)] if kbps else ["-V", "4"]
        run("lame", "--quiet", *rate_choice, *([] if fixture.get("xing", True) else ["-t"]),
            source, path)
    else:
        raise SystemExit(f"no encoder for {extension}")


def tag_id3(path, tags, loader):
    from mutagen.id3 import COMM, TALB, TCON, TDRC, TIT2, TPE1, TRCK
    audio = loader(path)
    if audio.tags is None:
        audio.add_tags()
    frames = {"title": TIT2, "artist": TPE1, "album": TALB, "year": TDRC, "track": TRCK,
              "genre": TCON}
    for key, frame in frames.items():
        if key in tags:
            audio.tags.add(frame(encoding=3, text=tags[key]))
    if "comment" in tags:
        audio.tags.add(COMM(encoding=3, lang="spa", desc="", text=tags["comment"]))
    audio.save()


def tag_file(path, tags):
    extension = os.path.splitext(path)[1].lower()
    if extension in (".flac", ".ogg", ".opus"):
        import mutagen
        audio = mutagen.File(path)
        names = {"title": "TITLE", "artist": "ARTIST", "album": "ALBUM", "year": "DATE",
                 "comment": "COMMENT", "track": "TRACKNUMBER", "genre": "GENRE"}
        for key, value in tags.items():
            audio[names[key]] = value
        audio.save()
    elif extension == ".m4a":
        from mutagen.mp4 import MP4
        audio = MP4(path)
        names = {"title": "\xa9nam", "artist": "\xa9ART", "album": "\xa9alb", "year": "\xa9day",
                 "comment": "\xa9cmt", "genre": "\xa9gen"}
        for key, value in tags.items():
            if key == "track":
                audio["trkn"] = [(int(value), 0)]
            else:
                audio[names[key]] = value
        audio.save()
    elif extension == ".wma":
        from mutagen.asf import ASF
        audio = ASF(path)
        names = {"title": "Title", "artist": "Author", "album": "WM/AlbumTitle",
                 "year": "WM/Year", "comment": "Description", "track": "WM/TrackNumber",
                 "genre": "WM/Genre"}
        for key, value in tags.items():
            audio[names[key]] = value
        audio.save()
    elif extension in (".wv", ".mpc", ".ape"):
        from mutagen.apev2 import APEv2
        audio = APEv2()
        names = {"title": "Title", "artist": "Artist", "album": "Album", "year": "Year",
                 "comment": "Comment", "track": "Track", "genre": "Genre"}
        for key, value in tags.items():
            audio[names[key]] = value
        audio.save(path)
    elif extension == ".wav":
        from mutagen.wave import WAVE
        tag_id3(path, tags, WAVE)
    elif extension in (".aif", ".aiff"):
        from mutagen.aiff import AIFF
        tag_id3(path, tags, AIFF)
    elif extension == ".mp3":
        from mutagen.mp3 import MP3
        tag_id3(path, tags, MP3)


def main():
    with tempfile.TemporaryDirectory() as work:
        for fixture in json.load(sys.stdin):
            encode(fixture, work)
            if fixture.get("tags"):
                tag_file(fixture["path"], fixture["tags"])


if __name__ == "__main__":
    try:
        main()
    except subprocess.CalledProcessError as error:
        sys.stderr.write(f"{error.cmd[0]}: {error.stderr.decode(errors='replace')}\n")
        sys.exit(1)

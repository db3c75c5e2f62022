#!/usr/bin/python3
"""Builds the audio-formats benchmark tree: 2,000 FLAC, 2,000 Ogg Vorbis, 2,000 M4A and 4,000
MP3 files, 100 to a directory, each with its own tags written by mutagen.

One short file per format is made by Debian's encoders (sox, flac, oggenc, ffmpeg, lame); the
copies differ in their tags only. Usage: make_audio_tree.py DIR [--scale N] (N in 1..100 makes
N% of the files)."""
import argparse
import os
import shutil
import subprocess
import tempfile

COUNTS = {".flac": 2000, ".ogg": 2000, ".m4a": 2000, ".mp3": 4000}
PER_DIRECTORY = 100


def run(*command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def templates(work):
    wav = os.path.join(work, "t.wav")
    run("sox", "-R", "-r", "44100", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth",
        "3", "sine", "440", "vol", "0.5")
    made = {}
    for extension in COUNTS:
        target = os.path.join(work, "t" + extension)
        if extension == ".flac":
            run("flac", "-s", "-f", "-o", target, wav)
        elif extension == ".ogg":
            run("oggenc", "-Q", "-o", target, wav)
        elif extension == ".m4a":
            run("ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", wav, "-c:a", "aac",
                "-b:a", "128k", target)
        else:
            run("lame", "--quiet", "-b", "128", wav, target)
        made[extension] = target
    return made


def tag(path, extension, number):
    title, artist, album = f"Título {number}", "Intérprete de prueba", f"Álbum {number // 12}"
    track, year, genre, comment = str(number % 12 + 1), "2004", "Rock", "comentario"
    if extension in (".flac", ".ogg"):
        import mutagen
        audio = mutagen.File(path)
        audio.update({"TITLE": title, "ARTIST": artist, "ALBUM": album, "TRACKNUMBER": track,
                      "DATE": year, "GENRE": genre, "COMMENT": comment})
        audio.save()
    elif extension == ".m4a":
        from mutagen.mp4 import MP4
        audio = MP4(path)
        audio.update({"\xa9nam": title, "\xa9ART": artist, "\xa9alb": album,
                      "trkn": [(int(track), 12)], "\xa9day": year, "\xa9gen": genre,
                      "\xa9cmt": comment})
        audio.save()
    else:
        from mutagen.id3 import COMM, ID3, TALB, TCON, TDRC, TIT2, TPE1, TRCK
        tags = ID3()
        for frame in (TIT2(encoding=3, text=title), TPE1(encoding=3, text=artist),
                      TALB(encoding=3, text=album), TRCK(encoding=3, text=track),
                      TDRC(encoding=3, text=year), TCON(encoding=3, text=genre),
                      COMM(encoding=3, lang="spa", desc="", text=comment)):
            tags.add(frame)
        tags.save(path, v1=2)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--scale", type=int, default=100)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        made = templates(work)
        number = 0
        for extension, count in COUNTS.items():
            for index in range(count * args.scale // 100):
                directory = os.path.join(args.root, extension[1:],
                                         f"disco {index // PER_DIRECTORY:03d}")
                os.makedirs(directory, exist_ok=True)
                path = os.path.join(directory, f"{index % PER_DIRECTORY:02d} pista{extension}")
                shutil.copyfile(made[extension], path)
                tag(path, extension, number)
                number += 1


if __name__ == "__main__":
    main()

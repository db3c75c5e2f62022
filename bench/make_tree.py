#!/usr/bin/env python3
"""Builds the benchmark tree: 5,000 directories, 100,000 plain files, 1,000 tagged MP3 files.

The options make smaller trees, or the largest listing: --directories 500 --plain-files 0
--mp3-directories 500 gives 500 directories of two MP3 files each.

With --id3v2 every MP3 file also gets an ID3v2.4 tag written by mutagen: several text frames
and a cover picture of about 100 KB, as today's files carry them."""
import argparse
import os


def field(text, width):
    data = text.encode("cp1252")[:width]
    return data + b"\0" * (width - len(data))


def tag(number):
    comment = field("bench", 28) + b"\0" + bytes([number % 255 + 1])
    return (b"TAG" + field(f"Title {number}", 30) + field("Artist", 30) +
            field("Album", 30) + field("2001", 4) + comment + bytes([number % 115]))


def directory_paths(root, directories):
    # 50 top directories of 99 subdirectories each: 5,000 directories below the root.
    paths = []
    for top in range(50):
        top_path = os.path.join(root, f"Top {top:02d}")
        paths.append(top_path)
        paths.extend(os.path.join(top_path, f"sub{child:02d}") for child in range(99))
    return paths[:directories]


def add_id3v2(path, number, cover):
    from mutagen.id3 import APIC, COMM, ID3, TALB, TCON, TDRC, TIT2, TPE1, TPE2, TRCK
    tags = ID3()
    tags.add(TIT2(encoding=3, text=f"Título número {number} de una colección moderna"))
    tags.add(TPE1(encoding=3, text="Intérprete de prueba"))
    tags.add(TPE2(encoding=3, text="Artista del disco"))
    tags.add(TALB(encoding=3, text=f"Álbum {number // 12}"))
    tags.add(TDRC(encoding=3, text="2004-05-01"))
    tags.add(TRCK(encoding=3, text=f"{number % 12 + 1}/12"))
    tags.add(TCON(encoding=3, text="17"))
    tags.add(COMM(encoding=3, lang="spa", desc="", text="comentario"))
    tags.add(APIC(encoding=3, mime="image/jpeg", type=3, desc="cover", data=cover))
    tags.save(path, v1=1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--directories", type=int, default=5000)
    parser.add_argument("--plain-files", type=int, default=100_000)
    parser.add_argument("--mp3-files", type=int, default=1000)
    # Within the listing's 500 directories.
    parser.add_argument("--mp3-directories", type=int, default=250)
    parser.add_argument("--id3v2", action="store_true")
    args = parser.parse_args()
    paths = directory_paths(args.root, args.directories)
    for path in paths:
        os.makedirs(path)
    for number in range(args.plain_files):
        path = paths[number % len(paths)]
        with open(os.path.join(path, f"file{number}.dat"), "wb") as out:
            out.write(b"x" * (number % 300))
    step = len(paths) // args.mp3_directories
    cover = bytes(range(256)) * 400  # about 100 KB
    for number in range(args.mp3_files):
        path = paths[(number % args.mp3_directories) * step]
        with open(os.path.join(path, f"Song {number:04d}.mp3"), "wb") as out:
            out.write(b"\xff\xfb" * 100 + tag(number))
        if args.id3v2:
            add_id3v2(os.path.join(path, f"Song {number:04d}.mp3"), number, cover)


if __name__ == "__main__":
    main()

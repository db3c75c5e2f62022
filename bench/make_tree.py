#!/usr/bin/env python3
"""Builds the benchmark tree: 5,000 directories, 100,000 plain files, 1,000 tagged MP3 files."""
import os
import sys

DIRECTORIES = 5000
PLAIN_FILES = 100_000
MP3_FILES = 1000
MP3_DIRECTORIES = 250  # within the listing's 500 directories


def field(text, width):
    data = text.encode("cp1252")[:width]
    return data + b"\0" * (width - len(data))


def tag(number):
    comment = field("bench", 28) + b"\0" + bytes([number % 255 + 1])
    return (b"TAG" + field(f"Title {number}", 30) + field("Artist", 30) +
            field("Album", 30) + field("2001", 4) + comment + bytes([number % 115]))


def directory_paths(root):
    # 50 top directories of 99 subdirectories each: 5,000 directories below the root.
    paths = []
    for top in range(50):
        top_path = os.path.join(root, f"Top {top:02d}")
        paths.append(top_path)
        paths.extend(os.path.join(top_path, f"sub{child:02d}") for child in range(99))
    return paths[:DIRECTORIES]


def main(root):
    paths = directory_paths(root)
    for path in paths:
        os.makedirs(path)
    for number in range(PLAIN_FILES):
        path = paths[number % len(paths)]
        with open(os.path.join(path, f"file{number}.dat"), "wb") as out:
            out.write(b"x" * (number % 300))
    step = len(paths) // MP3_DIRECTORIES
    for number in range(MP3_FILES):
        path = paths[(number % MP3_DIRECTORIES) * step]
        with open(os.path.join(path, f"Song {number:04d}.mp3"), "wb") as out:
            out.write(b"\xff\xfb" * 100 + tag(number))


if __name__ == "__main__":
    main(sys.argv[1])

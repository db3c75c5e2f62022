#!/usr/bin/env python3
"""Builds a whole-collection tree: 20 x 20 x 20 directories below the root (depth 3, plus the
root's own level: 8,420 directories), the 8,000 deepest holding the MP3 files with ID3v1 tags
spread evenly (about 12 each; 100,000 by default) and the other files (20,000 by default: a
cover.jpg and a notes.txt in each, a playlist.m3u in every other one).

One MP3 file in --id3v2-every (17: about 6%) has a small ID3v2.3 tag in front instead of its
ID3v1 tag, as files from a modern tagger do.

--files N gives a smaller tree of the same shape: --files 10000 --top 20 --middle 20
--bottom 2 gives 800 leaf directories."""
import argparse
import os
import struct

from make_tree import tag

OTHERS = (("cover.jpg", b"\xff\xd8" * 500), ("notes.txt", b"notas\n"), ("playlist.m3u", b"#\n"))


def id3v2(number):
    # A TIT2 and a TPE1 frame, Latin-1, and the sizes as syncsafe integers.
    frames = b""
    for frame_id, text in ((b"TIT2", f"Titulo {number}"), (b"TPE1", "Artista")):
        body = b"\0" + text.encode("latin-1")
        frames += frame_id + struct.pack(">I", len(body)) + b"\0\0" + body
    size = len(frames)
    syncsafe = bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])
    return b"ID3\x03\0\0" + syncsafe + frames


def mp3(number, id3v2_every):
    audio = b"\xff\xfb" * 100
    if id3v2_every and number % id3v2_every == id3v2_every - 1:
        return id3v2(number) + audio
    return audio + tag(number)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--files", type=int, default=100_000)
    parser.add_argument("--others", type=int, default=20_000)
    parser.add_argument("--id3v2-every", type=int, default=17)
    parser.add_argument("--top", type=int, default=20)
    parser.add_argument("--middle", type=int, default=20)
    parser.add_argument("--bottom", type=int, default=20)
    args = parser.parse_args()
    leaves = []
    for a in range(args.top):
        for b in range(args.middle):
            for c in range(args.bottom):
                leaf = os.path.join(args.root, f"Artista {a:02d}", f"Disco {b:02d}", f"CD {c:02d}")
                os.makedirs(leaf)
                leaves.append(leaf)
    for number in range(args.others):
        leaf = leaves[number % len(leaves)]
        name, data = OTHERS[number // len(leaves) % len(OTHERS)]
        with open(os.path.join(leaf, name), "wb") as out:
            out.write(data)
    for number in range(args.files):
        leaf = leaves[number % len(leaves)]
        with open(os.path.join(leaf, f"Pista {number:06d}.mp3"), "wb") as out:
            out.write(mp3(number, args.id3v2_every))


if __name__ == "__main__":
    main()

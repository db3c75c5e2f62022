#!/usr/bin/env python3
"""Builds a whole-collection tree: 20 x 20 x 20 directories below the root (depth 3, plus the
root's own level: 8,420 directories), the 8,000 deepest holding the MP3 files with ID3v1 tags
spread evenly (about 12 each; 100,000 by default) and a cover.jpg and notes.txt each.

--files N gives a smaller tree of the same shape: --files 10000 --top 20 --middle 20
--bottom 2 gives 800 leaf directories."""
import argparse
import os

from make_tree import tag


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--files", type=int, default=100_000)
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
                for name, data in (("cover.jpg", b"\xff\xd8" * 500), ("notes.txt", b"notas\n")):
                    with open(os.path.join(leaf, name), "wb") as out:
                        out.write(data)
    for number in range(args.files):
        leaf = leaves[number % len(leaves)]
        with open(os.path.join(leaf, f"Pista {number:06d}.mp3"), "wb") as out:
            out.write(b"\xff\xfb" * 100 + tag(number))


if __name__ == "__main__":
    main()

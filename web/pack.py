#!/usr/bin/env python3
"""pack.py OUT ROOT FILE... [--later FILE...]: packs the game's files, named
by their paths under ROOT, into one file for the page to fetch (web/packs.js
reads it): a 32-bit little-endian length, a JSON list of [path, size] that
long, then the files' bytes one after another. Files after --later are
packed empty, stand-ins that the game finds at start-up and whose bytes come
in a later pack. An OUT ending in .gz is gzipped, the same to the byte on
every build."""
import gzip
import json
import os
import sys

if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    out, root, *files = sys.argv[1:]
    later = files[files.index("--later") + 1:] if "--later" in files else []
    files = sorted(files[:len(files) - len(later) - bool(later)]) + sorted(later)
    contents = [b"" if path in later else open(path, "rb").read() for path in files]
    index = json.dumps([[os.path.relpath(p, root), len(c)] for p, c in zip(files, contents)]).encode()
    packed = len(index).to_bytes(4, "little") + index + b"".join(contents)
    with open(out, "wb") as sink:
        sink.write(gzip.compress(packed, 9, mtime=0) if out.endswith(".gz") else packed)

#!/usr/bin/env python3
"""precompress.py SITE: writes NAME.gz beside each text file of the site
(HTML, CSS, scripts, the manifest) and the code, for static hosts that serve
a file's gzipped twin to browsers that take it (nginx's gzip_static, for
one). Files that are already compressed are left alone."""
import gzip
import os
import sys

TEXT = (".html", ".css", ".js", ".json", ".wasm")

if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for name in sorted(os.listdir(sys.argv[1])):
        if name.endswith(TEXT):
            path = os.path.join(sys.argv[1], name)
            with open(path + ".gz", "wb") as sink:
                sink.write(gzip.compress(open(path, "rb").read(), 9, mtime=0))

# The page on a site that lacks one of the game's files: it must say which and why.
import functools, os, shutil, tempfile, threading
from http.server import SimpleHTTPRequestHandler as Files, ThreadingHTTPServer


def check_each(site, call, js, check):
    for name in ("game.js", "game.wasm", "game.data"):
        with tempfile.TemporaryDirectory() as copy:
            shutil.copytree(site, copy, dirs_exist_ok=True)
            os.remove(os.path.join(copy, name))
            server = ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Files, directory=copy))
            threading.Thread(target=server.serve_forever, daemon=True).start()
            call("Page.navigate", url=f"http://127.0.0.1:{server.server_address[1]}/")
            said = js(f"(t => t.includes('{name}') && t)(document.getElementById('status').textContent)", 5)
            server.shutdown()
            check(bool(said) and "404" in said, f"without {name} the page says so: {said}")

# Headless Chromium driven over the DevTools protocol, with a site served to it: shared by the browser tests and
# the browser benchmarks.
import functools, itertools, json, os, shutil, subprocess, tempfile, threading, time, urllib.request
from http.server import SimpleHTTPRequestHandler as Files, ThreadingHTTPServer
import websocket

KEYS, results = dict(ArrowRight=39, ArrowLeft=37, Space=32, Escape=27, Tab=9, Enter=13), []
Files.log_message = lambda *args: None


def check(ok, what):
    results.append(print(("ok:   " if ok else "FAIL: ") + what) or ok)


class Browser:  # Serves a copy of `site`, which a test may change.
    def __init__(self, site, *flags):
        self.profile = tempfile.TemporaryDirectory(ignore_cleanup_errors=True)
        self.site = shutil.copytree(site, os.path.join(self.profile.name, "site"))
        self.server = ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Files, directory=self.site))
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.origin = f"http://127.0.0.1:{self.server.server_address[1]}/"
        self.events, self.ids, profile = [], itertools.count(1), os.path.join(self.profile.name, "chromium")
        self.chromium = subprocess.Popen(["chromium", "--headless=new", "--no-sandbox", "--disable-gpu", *flags,
                                          "--remote-debugging-port=0", "--user-data-dir=" + profile],
                                         stderr=subprocess.DEVNULL)
        port_file = os.path.join(profile, "DevToolsActivePort")
        ready = lambda: os.path.exists(port_file) and "\n" in open(port_file).read()
        while self.chromium.poll() is None and not ready():
            time.sleep(0.1)
        pages = json.load(urllib.request.urlopen(f"http://127.0.0.1:{open(port_file).read().split()[0]}/json/list"))
        self.ws = websocket.create_connection(next(p["webSocketDebuggerUrl"] for p in pages if p["type"] == "page"),
                                              suppress_origin=True)

    def call(self, method, **params):  # Events that come before the answer are kept.
        self.ws.send(json.dumps({"id": (sent := next(self.ids)), "method": method, "params": params}))
        while (reply := json.loads(self.ws.recv())).get("id") != sent:
            self.events.append(reply)
        return reply.get("result", {})

    def js(self, expression, seconds=0.0):  # Waits up to `seconds` for a true value; promises are awaited.
        value = lambda: self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                                  awaitPromise=True)["result"].get("value")
        while not (result := value()) and (seconds := seconds - 0.1) > 0:
            time.sleep(0.1)
        return result

    def key(self, name, hold=0.1, repeats=1):  # Held, a key repeats; Enter types a character, as buttons want.
        for kind, repeat, wait in (("keyDown", 0, hold / 2), *[("keyDown", 1, hold / 2)] * repeats, ("keyUp", 0, hold)):
            self.call("Input.dispatchKeyEvent", type=kind, code=name, key=name, windowsVirtualKeyCode=KEYS[name],
                      autoRepeat=bool(repeat), text="\r" if name == "Enter" and kind == "keyDown" else "")
            time.sleep(wait)

    def touch(self, kind, *points, hold=0.0):  # Fingers as (id, x, y) in CSS pixels; a touchEnd lifts those given.
        self.call("Input.dispatchTouchEvent", type=kind, touchPoints=[dict(id=i, x=x, y=y) for i, x, y in points])
        time.sleep(hold)

    def screen(self, width, height, ratio):
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=ratio,
                  mobile=ratio > 1, screenOrientation=dict(type="portraitPrimary" if height > width else
                                                           "landscapePrimary", angle=0 if height > width else 90))

    def close(self):
        self.chromium.kill(), self.chromium.wait()

    __enter__, __exit__ = lambda self: self, lambda self, *error: self.close()

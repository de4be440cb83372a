#!/usr/bin/python3
"""web_test.py SITE FIRST_FRAME DATA: the browser build played in headless
Chromium over the DevTools protocol, served from SITE on a loopback port."""
import base64, functools, http.server, json, os, subprocess, sys, tempfile, threading, time
import urllib.request, wave
import websocket

site, first_frame_tool, data = map(os.path.abspath, sys.argv[1:4])
if not os.path.exists(os.path.join(site, "index.html")):
    print(f"SKIP: no browser build in {site} (scripts/web.sh --build makes it)")
    sys.exit(77)

# Records in the page what the test checks: frame times, the first frame,
# the board's row of every frame, and every sound started.
PROBE = """window.T = {times: [], strips: [], first: null, sounds: []};
const rgb = (d) => { let s = ''; for (let i = 0; i < d.length; i += 4)
  s += String.fromCharCode(d[i], d[i + 1], d[i + 2]); return btoa(s); };
addEventListener('frame', (e) => { const g = e.target.getContext('2d');
  T.times.push(performance.now()); T.first ??= rgb(g.getImageData(0, 0, 320, 240).data);
  T.strips.push(rgb(g.getImageData(0, 221, 320, 18).data)); }, true);
const start = AudioBufferSourceNode.prototype.start;
AudioBufferSourceNode.prototype.start = function (...a) {
  T.sounds.push([this.buffer.duration, this.loop]); return start.apply(this, a); };"""
KEYS = {"Right": 39, "Left": 37, "Space": 32, "Escape": 27}


class Page:
    def __init__(self, url):
        self.ws, self.next, self.events = websocket.create_connection(url, suppress_origin=True), 0, []

    def call(self, method, **params):
        self.next += 1
        self.ws.send(json.dumps({"id": self.next, "method": method, "params": params}))
        while True:
            reply = json.loads(self.ws.recv())
            if reply.get("id") == self.next:
                return reply.get("result", {})
            self.events.append(reply)

    def js(self, expression):
        return self.call("Runtime.evaluate", expression=expression, returnByValue=True)["result"].get("value")

    def key(self, name, hold=0.0):
        for kind in ("rawKeyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, code=name if name != "Space" else "Space",
                      key=name, windowsVirtualKeyCode=KEYS[name])
            time.sleep(hold if kind == "rawKeyDown" else 0.1)


def board_finder():
    """(x, tilt) of the board in an RGB row strip at y 221, or None when hidden."""
    raw = open(os.path.join(data, "gfx", "board.bmp"), "rb").read()
    at, width, height = (int.from_bytes(raw[i:i + 4], "little") for i in (10, 18, 22))
    pixel = lambda x, y: raw[at + (height - 1 - y) * width * 3 + 3 * x:][:3][::-1]
    opaque = [[(x, y, pixel(tilt * 50 + x, y)) for y in range(18) for x in range(50)
               if pixel(tilt * 50 + x, y) != b"\xff\x00\xff"] for tilt in (0, 1)]
    def find(strip):
        for tilt, x in ((t, x) for t in (0, 1) for x in range(271)):
            if all(strip[(y * 320 + x + dx) * 3:][:3] == rgb for dx, y, rgb in opaque[tilt]):
                return x, tilt
    return find


results = []
def check(ok, what):
    print(("ok:   " if ok else "FAIL: ") + what)
    results.append(ok)


class Quiet(http.server.SimpleHTTPRequestHandler):
    log_message = lambda *args: None


handler = functools.partial(Quiet, directory=site)
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
threading.Thread(target=server.serve_forever, daemon=True).start()
origin = f"http://127.0.0.1:{server.server_address[1]}/"
profile = tempfile.mkdtemp()
chromium = subprocess.Popen(["chromium", "--headless=new", "--no-sandbox", "--disable-gpu",
                             "--autoplay-policy=no-user-gesture-required", f"--user-data-dir={profile}",
                             "--remote-debugging-port=0", "about:blank"], stderr=subprocess.DEVNULL)
try:
    port_file = os.path.join(profile, "DevToolsActivePort")
    for _ in range(100):
        if os.path.exists(port_file) and open(port_file).read().count("\n"):
            break
        time.sleep(0.1)
    port = open(port_file).read().split()[0]
    targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list"))
    page = Page(next(t for t in targets if t["type"] == "page")["webSocketDebuggerUrl"])
    for domain in ("Page", "Runtime", "Log", "Network"):
        page.call(domain + ".enable")
    page.call("Page.addScriptToEvaluateOnNewDocument", source=PROBE)
    page.call("Page.navigate", url=origin)
    for _ in range(100):
        if page.js("window.T && T.times.length > 2"):
            break
        time.sleep(0.1)
    desktop = subprocess.run([first_frame_tool], cwd=data, capture_output=True, timeout=30,
                             env={**os.environ, "SDL_VIDEODRIVER": "dummy", "SDL_AUDIODRIVER": "dummy"}).stdout
    browser = base64.b64decode(page.js("T.first") or "")
    diff = sum(desktop[i:i + 3] != browser[i:i + 3] for i in range(0, len(desktop), 3))
    check(len(desktop) == len(browser) == 320 * 240 * 3 and diff == 0,
          f"first frame equals the desktop's ({diff} pixels differ)")
    print(f"first frame {page.js('T.times[0]'):.0f} ms after the page load")

    marks = {}
    for name, hold in (("Space", 0.3), ("Right", 1.0), ("Left", 2.6)):
        marks[name] = page.js("T.times.length")
        page.key(name, hold)
    find = board_finder()
    boards = [find(base64.b64decode(strip)) for strip in page.js("T.strips")]
    tilts = lambda frames: [b[1] for b in frames if b]
    check(tilts(boards[:marks["Space"]])[-1:] == [0] and tilts(boards[marks["Space"] + 3:marks["Right"]])[:1] == [1],
          "Space tips the board")

    def slides(first, last, step, end):
        seen = [(i, b[0]) for i, b in enumerate(boards[first:last], first) if b]
        start = next((k - 1 for k in range(1, len(seen)) if seen[k][1] != seen[k - 1][1]), None)
        return start is not None and seen[-1][1] == end and all(
            x == max(0, min(270, seen[start][1] + step * (i - seen[start][0]))) for i, x in seen[start:])
    check(slides(marks["Right"], marks["Left"], 5, 270), "holding Right slides the board 5 pixels a frame up to the right edge")
    check(slides(marks["Left"], len(boards), -5, 0), "holding Left slides the board 5 pixels a frame down to the left edge")

    times = page.js("T.times")
    frames = sum(t < times[0] + 2000 for t in times)
    check(45 <= frames <= 55, f"{frames} frames in the first two seconds, 50 due")

    sounds = page.js("T.sounds")
    effects = [wave.open(os.path.join(data, "sound", name + ".wav")) for name in ("pop", "studs", "splat")]
    lengths = [w.getnframes() / w.getframerate() for w in effects]
    check(any(loop and length > 5 for length, loop in sounds), f"music decoded and looping ({sounds[:1]})")
    check(any(not loop and min(abs(length - l) for l in lengths) < 0.01 for length, loop in sounds),
          "a landing or a pop started its effect")

    page.key("Escape", 0.5)
    picture = "rgb(document.getElementById('canvas').getContext('2d').getImageData(0, 0, 320, 240).data)"
    before, count = page.js(picture), page.js("T.times.length")
    time.sleep(0.3)
    check(page.js("T.times.length") > count and page.js(picture) == before != page.js("T.first"),
          "Escape shows the credits: a still picture, redrawn")
    page.key("Escape")
    status = "document.getElementById('status').textContent"
    for _ in range(30):
        if "ended" in page.js(status):
            break
        time.sleep(0.1)
    check("ended" in page.js(status), f"a second Escape ends the game and the page says so: {page.js(status)!r}")

    page.js("0")
    bad = [e["params"] for e in page.events if
           (e["method"] == "Runtime.consoleAPICalled" and e["params"]["type"] in ("error", "assert"))
           or e["method"] in ("Runtime.exceptionThrown", "Network.loadingFailed")
           or (e["method"] == "Log.entryAdded" and e["params"]["entry"]["level"] == "error")
           or (e["method"] == "Network.responseReceived" and e["params"]["response"]["status"] >= 400)
           or (e["method"] == "Network.requestWillBeSent" and not e["params"]["request"]["url"].startswith((origin, "data:")))]
    check(not bad, f"no console error, failed or outside request {bad[:2]}")
finally:
    chromium.kill()
    chromium.wait()
    server.shutdown()
print(f"{sum(results)} passed, {results.count(False)} failed")
sys.exit(0 if results and all(results) else 1)

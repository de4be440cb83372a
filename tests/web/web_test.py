#!/usr/bin/python3
# web_test.py SITE FIRST_FRAME DATA: the browser build served from SITE, played in headless Chromium over DevTools.
import base64, functools, json, os, subprocess, sys, tempfile, threading, time, urllib.request, wave
from http.server import SimpleHTTPRequestHandler as Files, ThreadingHTTPServer
import websocket
sys.dont_write_bytecode = True  # importing the check below leaves no cache in the source tree
import missing_files

site, first_frame, data = map(os.path.abspath, sys.argv[1:4])
os.path.exists(site + "/index.html") or sys.exit(print(f"SKIP: no browser build in {site} (scripts/web.sh)") or 77)
# Kept by the page for the checks: frame times, the first frame, the board's rows, every sound started.
PROBE = """window.T = {times: [], strips: [], first: null, sounds: []};
const grab = (y, h) => { let s = ''; for (const [i, v] of document.getElementById('canvas').getContext('2d')
  .getImageData(0, y, 320, h).data.entries()) if (i % 4 < 3) s += String.fromCharCode(v); return btoa(s); };
addEventListener('frame', () => { T.times.push(performance.now()); T.first ??= grab(0, 240);
  T.strips.push(grab(221, 18)); }, true);
const start = AudioBufferSourceNode.prototype.start;
AudioBufferSourceNode.prototype.start = function (...a) {
  T.sounds.push([this.buffer.duration, this.loop]); return start.apply(this, a); };"""
KEYS, results, events, ids = dict(ArrowRight=39, ArrowLeft=37, Space=32, Escape=27), [], [], iter(range(1, 1 << 30))


def call(method, **params):
    ws.send(json.dumps({"id": (sent := next(ids)), "method": method, "params": params}))
    while (reply := json.loads(ws.recv())).get("id") != sent:
        events.append(reply)
    return reply.get("result", {})


def js(expression, seconds=0.0):
    value = lambda: call("Runtime.evaluate", expression=expression, returnByValue=True)["result"].get("value")
    while not (result := value()) and (seconds := seconds - 0.1) > 0:
        time.sleep(0.1)
    return result


def key(name, hold=0.1):
    for kind in ("rawKeyDown", "keyUp"):
        call("Input.dispatchKeyEvent", type=kind, code=name, key=name, windowsVirtualKeyCode=KEYS[name])
        time.sleep(hold)


def check(ok, what):
    results.append(print(("ok:   " if ok else "FAIL: ") + what) or ok)


# The board's opaque pixels in each tilt, as (offset in a frame's rows from 221 on, RGB).
bmp = open(os.path.join(data, "gfx", "board.bmp"), "rb").read()
at, width, height = (int.from_bytes(bmp[i:i + 4], "little") for i in (10, 18, 22))
pixel = lambda x, y: bmp[at + (height - 1 - y) * width * 3 + 3 * x:][:3][::-1]
board = [[(3 * (320 * y + x), pixel(50 * tilt + x, y)) for y in range(18) for x in range(50)
          if pixel(50 * tilt + x, y) != b"\xff\x00\xff"] for tilt in (0, 1)]
find_board = lambda rows: next(((x, t) for t in (0, 1) for x in range(271) if all(
    rows[o + 3 * x:o + 3 * x + 3] == rgb for o, rgb in board[t])), None)

Files.log_message = lambda *args: None
server = ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Files, directory=site))
threading.Thread(target=server.serve_forever, daemon=True).start()
origin = f"http://127.0.0.1:{server.server_address[1]}/"
profile = tempfile.TemporaryDirectory(ignore_cleanup_errors=True)
chromium = subprocess.Popen(["chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--remote-debugging-port=0",
                             "--autoplay-policy=no-user-gesture-required", "--user-data-dir=" + profile.name],
                            stderr=subprocess.DEVNULL)
try:
    port_file = os.path.join(profile.name, "DevToolsActivePort")
    while chromium.poll() is None and "\n" not in (open(port_file).read() if os.path.exists(port_file) else ""):
        time.sleep(0.1)
    pages = json.load(urllib.request.urlopen(f"http://127.0.0.1:{open(port_file).read().split()[0]}/json/list"))
    ws = websocket.create_connection(next(p["webSocketDebuggerUrl"] for p in pages if p["type"] == "page"),
                                     suppress_origin=True)
    [call(method) for method in ("Page.enable", "Runtime.enable", "Log.enable")]
    call("Page.addScriptToEvaluateOnNewDocument", source=PROBE), call("Page.navigate", url=origin)
    js("T.times.length > 2", 10)
    desktop = subprocess.run([first_frame], cwd=data, capture_output=True, timeout=30, env={
        **os.environ, "SDL_VIDEODRIVER": "dummy", "SDL_AUDIODRIVER": "dummy"}).stdout
    browser = base64.b64decode(js("T.first") or "")
    differ = sum(desktop[i:i + 3] != browser[i:i + 3] for i in range(0, 320 * 240 * 3, 3))
    check(len(desktop) == len(browser) == 320 * 240 * 3 and not differ,
          f"the first frame is the desktop's ({differ} pixels differ), shown {js('T.times[0]'):.0f} ms after loading")

    marks = {n: (js("T.times.length"), key(n, t))[0] for n, t in (("Space", .3), ("ArrowRight", 1), ("ArrowLeft", 2.6))}
    boards = [find_board(base64.b64decode(rows)) for rows in js("T.strips")]
    seen = lambda first, last: [(i, *b) for i, b in enumerate(boards[first:last], first) if b]
    check([t for *_, t in seen(0, marks["Space"])][-1:] == [0] == [1 - t for *_, t in seen(marks["Space"] + 3,
          marks["ArrowRight"])][:1], "Space tips the board")
    for name, last, step, edge in (("ArrowRight", marks["ArrowLeft"], 5, 270), ("ArrowLeft", len(boards), -5, 0)):
        path = seen(marks[name], last)  # From the frame before the board moves on, 5 pixels a frame to the edge.
        i0, x0, _ = next((path[k - 1] for k in range(1, len(path)) if path[k][1] != path[k - 1][1]), path[-1])
        check(path[-1][1] == edge and all(x == max(0, min(270, x0 + step * (i - i0))) for i, x, _ in path if i >= i0),
              f"held {name} slides the board 5 pixels a frame to the edge")
    frames = js("T.times.filter(t => t < T.times[0] + 2000).length")
    check(45 <= frames <= 55, f"{frames} frames in the first two seconds, 50 due")

    sounds, effects = js("T.sounds"), [wave.open(f"{data}/sound/{n}.wav") for n in ("pop", "studs", "splat")]
    check(any(loop and length > 5 for length, loop in sounds), f"the music is decoded and looping {sounds[:1]}")
    check(any(not loop and abs(length - w.getnframes() / w.getframerate()) < 0.01 for length, loop in sounds
              for w in effects), "a landing or a pop starts its effect")

    key("Escape", 0.5)
    still, count = js("grab(0, 240)"), js("T.times.length")
    check(js(f"T.times.length > {count} && grab(0, 240) == '{still}' && T.first != '{still}'", 1),
          "Escape shows the credits: a still picture, redrawn")
    key("Escape")
    check(js("document.getElementById('status').textContent.includes('has ended')", 3),
          "a second Escape ends the game and the page says so")
    bad = [json.dumps(e["params"])[:300] for e in events if e["method"] == "Runtime.exceptionThrown"
           or e["method"] == "Runtime.consoleAPICalled" and e["params"]["type"] in ("error", "assert")
           or e["method"] == "Log.entryAdded" and e["params"]["entry"]["level"] == "error"]  # failed loads too
    check(not bad, "no console error, failed or outside request " + "\n".join(bad[:3]))
    missing_files.check_each(site, call, js, check)
finally:
    chromium.kill(), chromium.wait()
sys.exit(print(f"{sum(results)} passed, {results.count(False)} failed") or not (results and all(results)))

#!/usr/bin/python3
# web_test.py SITE GRUMO PROBE DATA DOCS [pad]: the browser build served from SITE, played in headless Chromium over
# DevTools with keys, then through a new build and, the server stopped, as on a phone: by touch, hidden, on seven
# screens, full screen; with `pad`, from a pad up to the end of the game. Only what the browser adds is checked
# (keys, fingers, pad, frames, sounds, the page), not the rules. GRUMO_UPDATE_SCREENSHOT=1 writes pictures to DOCS.
import json, os, subprocess, sys, time, wave
from base64 import b64decode
from pathlib import Path
sys.dont_write_bytecode = True  # the import below leaves no cache in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "bench"))
from browser import Browser, check, results

site, grumo, probe, data = map(os.path.abspath, sys.argv[1:5])
pad, ci = sys.argv[6:] == ["pad"], os.environ.get("CI") == "true"  # CI builds the site first: none there is a fault
docs = not pad and len(sys.argv) > 5 and os.environ.get("GRUMO_UPDATE_SCREENSHOT") == "1" and sys.argv[5]
if not os.path.exists(site + "/index.html"):
    sys.exit(print(f"{'FAIL' if ci else 'SKIP'}: no browser build in {site}") or 77 - 76 * ci)
# Kept by the page for the checks: frame times, the first frame, the board's rows, every sound started, layout shifts.
PROBE = """window.T = {times: [], strips: [], first: null, sounds: [], keydown: [], keyup: [], shift: 0};
new PerformanceObserver((l) => l.getEntries().forEach((e) => T.shift += e.value)).observe({type: 'layout-shift'});
['keydown', 'keyup'].forEach((type) => document.addEventListener(type, (e) => T[type].push(e.code)));
const pixels = (y, h) => document.getElementById('canvas').getContext('2d').getImageData(0, y, 320, h).data;
// Made when asked for, not to slow the frames.
const rgb = (data) => btoa(Array.from(data.filter((v, i) => i % 4 < 3), (v) => String.fromCharCode(v)).join(''));
const grab = () => rgb(pixels(0, 240));
addEventListener('frame', () => { T.times.push(performance.now()); T.first ??= pixels(0, 240);
  T.strips.push(pixels(221, 18)); }, true);
const start = AudioBufferSourceNode.prototype.start;
AudioBufferSourceNode.prototype.start = function (...a) {
  T.sounds.push([this.buffer.duration, this.loop]); return start.apply(this, a); };
const box = (id) => { const r = document.getElementById(id).getBoundingClientRect();
  return [r.left, r.top, r.width, r.height]; };
const said = (words) => document.getElementById('status').textContent.includes(words);
const audio = () => Module.soundContext().state;
// What feeds the speakers; from the first T.play on also a tap, which keeps the peak heard since the last T.play.
T.outs = []; const connect = AudioNode.prototype.connect;
AudioNode.prototype.connect = function (to, ...more) {
  if (to instanceof AudioDestinationNode && this != T.tap) { T.outs.push(this); T.tap && connect.call(this, T.tap); }
  return connect.call(this, to, ...more); };
const peak = (...samples) => Math.max(...samples.map((s) => s.reduce((m, v) => Math.max(m, Math.abs(v)), 0)));
T.listen = () => { const c = T.outs[0].context, tap = T.tap = c.createScriptProcessor(4096, 2, 2);
  tap.onaudioprocess = (e) => T.heard = Math.max(T.heard, peak(...[0, 1].map((i) => e.inputBuffer.getChannelData(i))));
  connect.call(tap, c.destination); T.outs.forEach((node) => connect.call(node, tap)); };
// Stops the music and plays the effects of these lengths; T.own is the last one's own peak.
T.play = (...lengths) => { T.tap || T.listen(); T.heard = 0; _Mix_HaltMusic();
  for (const length of lengths) { const id = SDL.audios.findIndex(a =>
    Math.abs(a?.webAudio?.decodedBuffer?.duration - length) < 1e-3);
    T.own = peak(SDL.audios[id].webAudio.decodedBuffer.getChannelData(0)); _Mix_PlayChannel(-1, id, 0); } };
const tap = (x, y) => ['touchstart', 'touchend'].map((type) => document.getElementById('stage').dispatchEvent(
  new TouchEvent(type, {bubbles: true, cancelable: true, changedTouches: [new Touch({identifier: 9, target: canvas,
  clientX: x, clientY: y})]})));  // Both in one task: the game cannot take a frame in between."""
# A pad as a browser shows it: late (45 frames in, between the first two landings), once a press of Start woke it.
PAD = """let plugged = false, pad = {id: 'Test pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
  axes: [0, 0, 0, 0], buttons: [...Array(17)].map(() => ({pressed: false, value: 0}))};
Navigator.prototype.getGamepads = () => [plugged ? pad : null, null, null, null];
window.setPad = (control, value) => { pad.timestamp = performance.now();
  control < 0 ? pad.axes[0] = value : Object.assign(pad.buttons[control], {pressed: !!value, value}); };
addEventListener('frame', () => T.times.length == 45 && setPad(9, 1, plugged = true), true);"""
CONTROLS = dict(Space=(0, 1), ArrowRight=(15, 1), ArrowLeft=(-1, -0.8), Escape=(9, 1))  # the stick for Left

# The board's opaque pixels in each tilt, as (offset in a frame's rows from 221 on, RGB).
bmp = Path(data, "gfx", "board.bmp").read_bytes()
at, width, height = (int.from_bytes(bmp[i:i + 4], "little") for i in (10, 18, 22))
pixel = lambda x, y: bmp[at + (height - 1 - y) * width * 3 + 3 * x:][:3][::-1]
board = [[(3 * (320 * y + x), pixel(50 * tilt + x, y)) for y in range(18) for x in range(50)
          if pixel(50 * tilt + x, y) != b"\xff\x00\xff"] for tilt in (0, 1)]


def positions(first=0):  # (frame, x, tilt) of the board in every frame from `first` on where it shows.
    strips = enumerate(map(b64decode, b.js(f"T.strips.slice({first}).map(rgb)")), first)
    return [(i, x, t) for i, rows in strips for t in (0, 1) for x in range(271)
            if all(rows[o + 3 * x:o + 3 * x + 3] == rgb for o, rgb in board[t])]


def steered(how, marks):  # Space, pressed before the first landing, tips the board; Right, then Left move it.
    found = positions()
    seen = lambda first, last: [p for p in found if first <= p[0] < last]
    before, after = ([t for *_, t in seen(0, marks["Space"])][-1:],  # A late pad finds the board already tipped.
                     [1 - t for *_, t in seen(marks["Space"] + 3, marks.get("Quick", marks["ArrowRight"]))][:1])
    check(before == after != [] and (pad or before == [0]), f"{how}: Space tips the board")
    right, left = (seen(marks[name], last) for name, last in (("ArrowRight", marks["ArrowLeft"]), ("ArrowLeft", 1e9)))
    check(right[-1][1] > right[0][1] and left[-1][1] < right[-1][1], f"{how}: Right, then Left move the board")
    return seen


def pad_key(name, hold=0.1):  # Right, held on the pad, is tapped on the keyboard too (it stays held), then let
    control, value, right = *CONTROLS[name], name == "ArrowRight"  # go by pulling the pad out, which must let go.
    b.js(f"setPad({control}, {value})"), right and b.key(name, 0.05), time.sleep(hold)
    b.js("plugged = false" if right else f"setPad({control}, 0)"), time.sleep(hold)
    b.js(f"setPad({control}, 0), plugged = true"), time.sleep(hold)


shot = lambda name: docs and open(f"{docs}/{name}", "wb").write(b64decode(b.call("Page.captureScreenshot")["data"]))
with Browser(site, "--autoplay-policy=document-user-activation-required") as b:
    [b.call(method) for method in ("Page.enable", "Runtime.enable", "Log.enable")]
    b.call("Page.addScriptToEvaluateOnNewDocument", source=PROBE + ("\n" + PAD if pad else "")), b.screen(760, 660, 1)
    b.call("Page.navigate", url=b.origin)
    b.js("T.times.length > 2", 10)  # Space comes before the jumper's first landing tips the board.
    pad and check(b.js("plugged", 5) and not b.js("setPad(9, 0)"), "the pad shows up, woken by Start")
    frames, press = lambda: b.js("T.times.length"), pad_key if pad else b.key
    pad or [b.key("Tab", repeats=0) for _ in range(2)]  # On the Escape button, Space still only tips the board.
    steered("pad" if pad else "keys, the Escape button focused", {n: (frames(), press(n, t))[0] for n, t in (
        ("Space", .3), ("ArrowRight", .6), ("ArrowLeft", .6))})
    pad or check(b.js("T.keydown.join() == 'Space,ArrowRight,ArrowLeft' && !said('credits')"),
                 "held keys repeat, yet each reaches the game once, and none presses the focused button")
    desktop = subprocess.run([grumo], cwd=data, capture_output=True, timeout=30, env={**os.environ, "LD_PRELOAD": probe,
        "GRUMO_PROBE": "frame", "SDL_VIDEODRIVER": "dummy", "SDL_AUDIODRIVER": "dummy"}).stdout  # the real binary's
    browser = b64decode(b.js("rgb(T.first)") or "")
    differ = sum(desktop[i:i + 3] != browser[i:i + 3] for i in range(0, 320 * 240 * 3, 3))
    check(len(desktop) == len(browser) == 320 * 240 * 3 and not differ,
          f"the first frame is the desktop's ({differ} pixels differ), shown {b.js('T.times[0]'):.0f} ms after loading")
    sounds, lengths = b.js("T.sounds"), [(w := wave.open(f"{data}/sound/{n}.wav")).getnframes() / w.getframerate()
                                         for n in ("pop", "studs", "splat", "win")]
    check(any(loop and length > 5 for length, loop in sounds), f"the music comes, decoded and looping {sounds[:1]}")
    check(any(not loop and min(abs(length - own) for own in lengths) < 0.01 for length, loop in sounds),
          "a landing or a pop starts its effect")
    time.sleep(2.2)  # Two seconds with nothing asked of the page (reading pixels holds it), the audio long started.
    count = b.js("T.times.filter(t => t > T.times.at(-1) - 2000).length")
    check(45 <= count <= 55, f"{count} frames in two seconds, 50 due")
    shot("web.png"), press("Escape", 0.5)
    still, count = b.js("grab()"), frames()
    check(b.js(f"T.times.length > {count} && grab() == '{still}' && rgb(T.first) != '{still}'", 1) and (
        pad or b.js("said('next Escape closes')")), "Escape shows the credits, and the page says what the next does")
    if not pad:
        # Music stopped, an effect alone peaks as its samples do, as on the desktop; all four bent under full scale.
        for played in [[length] for length in lengths] + [lengths]:
            b.js(f"T.play({str(played)[1:-1]})"), time.sleep(1.6)
            heard, own = b.js("[T.heard, T.own]")
            check(abs(heard / own - 1) < 0.05 if len(played) == 1 else 0.75 < heard < 1,
                  f"{len(played)} effect(s) at once peak at {heard:.3f} of full scale, {own:.3f} the last alone")
    press("Escape") if pad else b.key("Enter", repeats=0)
    check(b.js("said('has ended')", 3), "a second Escape (from the keyboard, by Enter on the focused Escape button) "
          "ends the game, and the page says so")
    check(b.js("T.shift") == 0, f"nothing moved on the page from its load to the end {b.js('T.shift')}")
    pad and sys.exit(print(f"{sum(results)} passed, {results.count(False)} failed") or not all(results))

    check(b.js("navigator.serviceWorker.ready.then(r => !!r.active)", 10) and
          b.call("Page.getInstallabilityErrors")["installabilityErrors"] == [], "installable, kept by a worker")
    worker = Path(b.site, "service-worker.js")  # A new build: the second load after it is served plays it.
    worker.write_text(worker.read_text().replace("family + '", "family + 'new "))
    Path(b.site, "page.css").open("a").write("#game { --build: new; }")
    loads = [(b.call("Page.navigate", url=b.origin), b.js("T.times.length > 2", 10), b.js(
        "getComputedStyle(game).getPropertyValue('--build')"), b.js(
        "caches.keys().then(k => k.length == 1 && k[0].includes(' new '))", 10))[2:] for _ in range(2)]
    check(loads == [("", True), ("new", True)], f"a new build comes on the second load, its cache alone {loads}")

    # As on a phone, with the server stopped (the worker keeps the site whole), by touch.
    b.server.shutdown(), b.server.server_close()
    b.screen(390, 844, 3), b.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
    b.call("Page.navigate", url=b.origin)
    check(b.js("T.times.length > 2 && said('Tap to start the sound')", 10), "with no server, it loads, asks for a tap")
    x, y, w, h = b.js("box('canvas')")
    third, y = lambda i: x + w * (2 * i + 1) / 6, y + h / 2
    marks = {"Space": frames()}
    b.touch("touchStart", (1, third(1), y)), b.touch("touchEnd", hold=0.3)
    marks["Quick"] = frames()  # Shorter than a frame, and still one step.
    b.js(f"tap({third(2)}, {y})"), time.sleep(0.3)
    marks["ArrowRight"] = frames()  # A second finger comes and goes; the first still holds Right.
    b.touch("touchStart", (1, third(2), y), hold=0.3), b.touch("touchStart", (1, third(2), y), (2, third(2), y))
    b.touch("touchEnd", (2, third(2), y), hold=0.4)
    marks["ArrowLeft"] = frames()
    b.touch("touchMove", (1, third(0), y), hold=0.6), b.touch("touchEnd")
    seen = steered("fingers", marks)
    step = sorted({x for _, x, _ in seen(marks["Quick"] - 1, marks["ArrowRight"])})
    check(len(step) == 2 and step[1] - step[0] == 5, f"a tap shorter than a frame moves the board once {step}")
    check(b.js("audio() == 'running'"), "the first tap starts the sound")
    shot("phone.png")

    b.touch("touchStart", (1, third(2), y))  # Let go by the page as it hides.
    ups, other = b.js("T.keyup.length"), b.call("Target.createTarget", url="about:blank")["targetId"]
    time.sleep(0.3)
    still, count, _ = b.js("grab()"), frames(), time.sleep(1)
    check(b.js(f"document.hidden && T.times.length == {count} && grab() == '{still}' && audio() != 'running' "
               f"&& T.keyup.slice({ups}).includes('ArrowRight')"),
          "hidden behind another tab, it draws nothing, lets go of the finger and suspends its sound")
    b.call("Target.closeTarget", targetId=other)
    on = b.js(f"T.times.length > {count} + 5 && grab() != '{still}' && audio() == 'running'", 3)
    gap, mark = b.js(f"T.times[{count} + 1] - T.times[{count}]"), frames()
    b.touch("touchStart", (1, third(2), y), (2, third(2), y), hold=0.3), b.touch("touchEnd")
    check(on and gap > 30 and len({x for _, x, _ in positions(mark)}) > 1,
          f"shown again, it goes on at its pace ({gap:.0f} ms) and sound, steered by a new finger")

    # The largest whole scale that fits, upright and sideways; the rest of the page whole on screen beside it.
    for (width, height, ratio), scale in {(375, 667, 2): 2, (667, 375, 2): 3, (360, 640, 3): 3, (640, 360, 3): 4,
                                          (820, 1180, 2): 5, (1180, 820, 2): 6, (300, 640, 2): 1}.items():
        b.screen(width, height, ratio), time.sleep(0.3)
        boxes = b.js("['canvas', 'escape', 'full-screen'].map(box)")
        inside = all(0 <= x and 0 <= y and x + w <= width and y + h <= height for x, y, w, h in boxes)
        x, y, w, h = (round(v * ratio, 1) for v in boxes[0])
        check(inside and (x, y, w, h) == (int(x), int(y), 320 * scale, 240 * scale) and
              min(min(box[2:]) for box in boxes[1:]) >= 44, f"at {width}x{height}, the game is {scale} device pixels"
              f" a pixel, and it and the buttons are whole on screen {boxes}")
    ex, ey, ew, eh = b.js("box('escape')")
    b.touch("touchStart", (1, ex + ew / 2, ey + eh / 2), hold=0.1), b.touch("touchEnd", hold=0.5)
    count = frames()
    check(b.js(f"T.times.length > {count} + 5 && !said('credits')", 2), "a stray tap on Escape leaves play going on")
    [(b.touch("touchStart", (1, ex + ew / 2, ey + eh / 2), hold=0.7), b.touch("touchEnd", hold=0.3)) for _ in range(2)]
    check(b.js("said('has ended')", 3), "the Escape button, held twice, ends the game")
    b.call("Emulation.clearDeviceMetricsOverride"), b.call("Emulation.setTouchEmulationEnabled", enabled=False)
    time.sleep(0.3)  # The page laid out again for the screen of 800x600, where the game is 2 pixels a pixel alone.
    fx, fy, fw, fh = b.js("box('full-screen')")
    for kind in ("mousePressed", "mouseReleased"):
        b.call("Input.dispatchMouseEvent", type=kind, x=fx + fw / 2, y=fy + fh / 2, button="left", clickCount=1)
    full = b.js("(l => document.fullscreenElement?.id == 'game' && l != 'Full screen' && [game.dataset.fitted, !!"
                "document.querySelector('h1').offsetParent, l])(document.getElementById('full-screen').textContent)", 2)
    check(full == ["2", False, "Leave full screen (Esc)"], f"Full screen shows the game alone, larger, and says how "
          f"to leave it {full}")
    bad = [json.dumps(e["params"])[:300] for e in b.events if e["method"] == "Runtime.exceptionThrown"
           or e["method"] == "Runtime.consoleAPICalled" and e["params"]["type"] in ("error", "assert")
           or e["method"] == "Log.entryAdded" and e["params"]["entry"]["level"] == "error"]  # failed loads too
    bad += b.js("performance.getEntriesByType('resource').map(e => e.name).filter(n => !n.startsWith(origin))")
    check(not bad, "no console error, failed or outside request " + "\n".join(bad[:3]))
with Browser(site) as b:  # A site without one of the game's files: the page says which, and why, not a black canvas.
    b.call("Network.enable"), b.call("Network.setCacheDisabled", cacheDisabled=True)
    for name in ("game.js", "game.wasm", "pictures.pack.gz"):
        os.rename(f"{b.site}/{name}", f"{b.site}/away")
        b.call("Page.navigate", url=b.origin)
        said = b.js(f"(t => t.includes('{name}') && t)(document.getElementById('status').textContent)", 5)
        check(bool(said) and "404" in said, f"without {name} the page says so: {said}")
        os.rename(f"{b.site}/away", f"{b.site}/{name}")
sys.exit(print(f"{sum(results)} passed, {results.count(False)} failed") or not (results and all(results)))

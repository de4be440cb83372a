#!/usr/bin/python3
# web_budgets.py [SITE] [LOADS]: the browser build's budgets, measured in headless Chromium over LOADS first visits
# (5 by default) of SITE (build/web) at each CPU speed (full, slowed 4 and 6 times, as cheap phones are), served as a
# static host serves it, with the gzipped twins of its text files: the bytes that come before the first frame; the
# first frame after the page load; the frame period and the game's clock over ten seconds of play; layout shift;
# requests outside the page's origin; then Lighthouse's scores, mobile and desktop (12.2.3 from npm, installed into
# build/lighthouse on first use).
import functools, gzip, json, os, re, statistics, subprocess, sys, threading, time
from http.server import ThreadingHTTPServer

here = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # the import below leaves no cache in the source tree
import browser  # noqa: E402

site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "build", "web")
loads = int(sys.argv[2]) if len(sys.argv) > 2 else 5
LIGHTHOUSE = "12.2.3"
PROBE = """window.T = {times: [], shift: 0};
new PerformanceObserver((l) => l.getEntries().forEach((e) => T.shift += e.value)).observe({type: 'layout-shift'});
addEventListener('frame', () => T.times.push(performance.now()), true);
T.before = (t) => performance.getEntriesByType('navigation').concat(performance.getEntriesByType('resource'))
  .filter((e) => e.responseEnd <= t).reduce((sum, e) => sum + e.transferSize, 0);"""


class Twins(browser.Files):  # Serves a file's gzipped twin to a browser that takes it, as static hosts can.
    def send_head(self):
        path = self.translate_path(self.path)
        twin = os.path.join(path, "index.html.gz") if os.path.isdir(path) else path + ".gz"
        if "gzip" not in self.headers.get("Accept-Encoding", "") or not os.path.isfile(twin):
            return super().send_head()
        body = open(twin, "rb")
        self.send_response(200)
        for name, value in (("Content-Type", self.guess_type(twin[:-3])), ("Content-Encoding", "gzip"),
                            ("Content-Length", os.fstat(body.fileno()).st_size)):
            self.send_header(name, str(value))
        self.end_headers()
        return body


browser.Files = Twins


def visit(rate):  # One first visit with the CPU slowed `rate` times: its figures.
    b = browser.Browser(site, "--autoplay-policy=no-user-gesture-required")
    try:
        [b.call(method) for method in ("Page.enable", "Runtime.enable", "Network.enable")]
        b.call("Emulation.setCPUThrottlingRate", rate=rate)
        b.call("Page.addScriptToEvaluateOnNewDocument", source=PROBE), b.call("Page.navigate", url=b.origin)
        time.sleep(12)
        times = [t for t in b.js("T.times") if t < b.js("T.times[0]") + 10000]
        asked = [e["params"] for e in b.events if e["method"] == "Network.requestWillBeSent"]
        outside = {a["request"]["url"] for a in asked if a.get("documentURL", "").startswith(b.origin)
                   and not a["request"]["url"].startswith(b.origin)}
        return dict(first=times[0], bytes=b.js(f"T.before({times[0]})"), shift=b.js("T.shift"), outside=outside,
                    gaps=[later - earlier for earlier, later in zip(times, times[1:])])
    finally:
        b.close()


def lighthouse(url, preset):  # Lighthouse's category scores, 0 to 100.
    tool = os.path.join(here, "..", "build", "lighthouse")
    if not os.path.exists(os.path.join(tool, "node_modules", ".bin", "lighthouse")):
        os.makedirs(tool, exist_ok=True)
        subprocess.run(["npm", "install", "--prefix", tool, "--no-audit", "--no-fund", "-E",
                        f"lighthouse@{LIGHTHOUSE}"], check=True, stdout=subprocess.DEVNULL)
    flags = ["--preset=desktop"] if preset == "desktop" else []
    report = subprocess.run([os.path.join(tool, "node_modules", ".bin", "lighthouse"), url, "--output=json",
                             "--quiet", "--chrome-flags=--headless=new --no-sandbox", *flags],
                            env={**os.environ, "CHROME_PATH": "/usr/bin/chromium"}, capture_output=True, check=True)
    categories = json.loads(report.stdout)["categories"]
    return {name: round(100 * c["score"]) for name, c in categories.items()}


print(f"machine load {os.getloadavg()[0]:.1f} at the start (figures are fair only on an idle machine)")
code = {name: len(gzip.compress(open(os.path.join(site, name), "rb").read(), 9))
        for name in sorted(os.listdir(site)) if name.endswith((".js", ".wasm"))}
sizes = ", ".join(f"{name} {size / 1000:.1f}" for name, size in code.items())
print(f"code loaded, gzipped: {sum(code.values()) / 1000:.0f} KB ({sizes})")
page = open(os.path.join(site, "index.html")).read()  # what it loads before the game starts, the manifest aside
first = {"index.html", *re.findall(r'(?:src|href)="([^"]+)"', page)} - {"manifest.json", "icon-192.png"}
print(f"bytes before the first frame from a host that compresses nothing: "
      f"{sum(os.path.getsize(os.path.join(site, name)) for name in first) / 1000:.0f} KB ({', '.join(sorted(first))})")
outside = set()
for rate in (1, 4, 6):
    runs = [visit(rate) for _ in range(loads)]
    firsts, gaps = [r["first"] / 1000 for r in runs], [g for r in runs for g in r["gaps"]]
    outside |= {url for r in runs for url in r["outside"]}
    print(f"CPU / {rate}: first frame {min(firsts):.2f} to {max(firsts):.2f} s after the load, "
          f"after {max(r['bytes'] for r in runs) / 1000:.0f} KB; frame period {statistics.mean(gaps):.1f} ms on "
          f"average (clock {100 * (40 / statistics.mean(gaps) - 1):+.1f} %), "
          f"{100 * sum(abs(g - 40) <= 4 for g in gaps) / len(gaps):.0f} % of {len(gaps)} within 10 % of 40 ms; "
          f"layout shift {max(r['shift'] for r in runs):.3f}")
print(f"requests outside the page's origin: {sorted(outside) or 'none'}; machine load {os.getloadavg()[0]:.1f}")
server = ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Twins, directory=os.path.abspath(site)))
threading.Thread(target=server.serve_forever, daemon=True).start()
try:
    for preset in ("mobile", "desktop"):
        scores = lighthouse(f"http://127.0.0.1:{server.server_address[1]}/", preset)
        print(f"Lighthouse {LIGHTHOUSE}, {preset}: " + ", ".join(f"{name} {score}" for name, score in scores.items()))
finally:
    server.shutdown()

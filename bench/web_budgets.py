#!/usr/bin/python3
# web_budgets.py [SITE] [LOADS]: the browser build's budgets, measured in headless Chromium over LOADS first visits
# (10 by default) of SITE (build/web): the code it loads, gzipped; its first frame after the page load; the frame
# period in the first ten seconds of play; requests outside the page's own origin.
import gzip, os, statistics, sys, time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "web"))
from browser import Browser  # noqa: E402

site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "build", "web")
loads = int(sys.argv[2]) if len(sys.argv) > 2 else 10
PROBE = "window.T = []; addEventListener('frame', () => T.push(performance.now()), true);"

code = {name: len(gzip.compress(open(os.path.join(site, name), "rb").read(), 9))
        for name in sorted(os.listdir(site)) if name.endswith((".js", ".wasm"))}
firsts, gaps, outside = [], [], set()
for _ in range(loads):
    b = Browser(site, "--autoplay-policy=no-user-gesture-required")
    try:
        [b.call(method) for method in ("Page.enable", "Runtime.enable", "Network.enable")]
        b.call("Page.addScriptToEvaluateOnNewDocument", source=PROBE), b.call("Page.navigate", url=b.origin)
        time.sleep(11)
        times = [t for t in b.js("T") if t < b.js("T[0]") + 10000]
        firsts.append(times[0])
        gaps += [later - earlier for earlier, later in zip(times, times[1:])]
        asked = [e["params"] for e in b.events if e["method"] == "Network.requestWillBeSent"]
        outside |= {a["request"]["url"] for a in asked if a.get("documentURL", "").startswith(b.origin)
                    and not a["request"]["url"].startswith(b.origin)}
    finally:
        b.close()

sizes = ", ".join(f"{name} {size / 1000:.1f}" for name, size in code.items())
print(f"code loaded, gzipped: {sum(code.values()) / 1000:.0f} KB ({sizes})")
print(f"first frame after the page load: {min(firsts) / 1000:.2f} to {max(firsts) / 1000:.2f} s over {loads} loads")
print(f"frame period: {statistics.mean(gaps):.1f} ms on average, "
      f"{100 * sum(abs(g - 40) <= 4 for g in gaps) / len(gaps):.0f} % of {len(gaps)} periods within 10 % of 40 ms")
print(f"requests outside the page's origin: {sorted(outside) or 'none'}")

#!/usr/bin/python3
# web_seam.py SITE: the music's loop point in the browser build, served from SITE (scripts/web.sh --build), in
# headless Chromium. Once a key has started the sound, the page's own music node (its buffer and loop points) is
# played again offline from half a second before the loop point to half a second after: the longest run under
# -60 dBFS and the largest step between neighbouring samples there, against the largest step anywhere else in
# the music. Measured twice: with the browser's decoder as it is, and with one that keeps the encoder's silence
# at both ends, as a decoder that ignores the MP3's info frame does (1105 samples before the music, the rest of
# the last frame after it).
import sys
sys.dont_write_bytecode = True  # the import below leaves no cache in the source tree
from browser import Browser

KEEPS_SILENCE = """const decode = BaseAudioContext.prototype.decodeAudioData;
BaseAudioContext.prototype.decodeAudioData = function (bytes, done) {
  const whole = bytes.byteLength > 300000;  // the music, not the effects
  return decode.call(this, bytes, (b) => { if (!whole) return done(b);
    const rate = b.sampleRate, before = Math.round(1105 * rate / 44100), frame = Math.round(1152 * rate / 44100);
    const length = Math.ceil((b.length + before) / frame) * frame, kept = this.createBuffer(2, length, rate);
    for (let c = 0; c < 2; ++c) kept.getChannelData(c).set(b.getChannelData(c), before);
    done(kept); }); };"""
SEAM = """(async () => { const node = SDL.music.audio && SDL.music.audio.webAudioNode; if (!node) return null;
  const b = node.buffer, rate = b.sampleRate, end = node.loopEnd || b.duration, start = node.loopStart;
  const c = new OfflineAudioContext(2, rate, rate), s = c.createBufferSource();
  Object.assign(s, {buffer: b, loop: true, loopStart: start, loopEnd: node.loopEnd}); s.connect(c.destination);
  s.start(0, end - 0.5); const out = await c.startRendering(), l = out.getChannelData(0), r = out.getChannelData(1);
  let run = 0, longest = 0, step = 0, own = 0;
  for (let i = 1; i < l.length; ++i) { run = Math.max(Math.abs(l[i]), Math.abs(r[i])) < 0.001 ? run + 1 : 0;
    longest = Math.max(longest, run); step = Math.max(step, Math.abs(l[i] - l[i - 1]), Math.abs(r[i] - r[i - 1])); }
  for (let ch = 0; ch < 2; ++ch) { const d = b.getChannelData(ch), from = Math.ceil(start * rate) + 1;
    for (let i = from; i < Math.floor(end * rate); ++i) own = Math.max(own, Math.abs(d[i] - d[i - 1])); }
  return [start, end, b.duration, longest / rate * 1000, step, own]; })()"""

for name, script in (("as the browser decodes it", ""), ("keeping the encoder's silence", KEEPS_SILENCE)):
    browser = Browser(sys.argv[1])
    browser.call("Page.enable"), script and browser.call("Page.addScriptToEvaluateOnNewDocument", source=script)
    browser.call("Page.navigate", url=browser.origin + "index.html")
    browser.js("typeof SDL != 'undefined'", 20)
    browser.key("Space")
    seam = browser.js(SEAM, 20)
    browser.close()
    if not seam:
        sys.exit(f"no music played ({name})")
    start, end, duration, silent, step, own = seam
    print(f"{name}: buffer {duration:.4f} s, loop {start:.4f} to {end:.4f} s; across the loop point "
          f"{silent:.2f} ms silent at most, largest step {step:.4f} (the music's own: {own:.4f})")

// The page around the game: its status line and buttons, the sound started
// on the first gesture as browsers ask, the offline copy of the site, and why
// the game stopped when it did.
'use strict';

const canvas = document.getElementById('canvas');
const statusLine = document.getElementById('status');
const escapeButton = document.getElementById('escape');
const fullScreenButton = document.getElementById('full-screen');
const game = document.getElementById('game');
const coarsePointer = matchMedia('(pointer: coarse)');
let shown = false;
let over = false;
let credits = false;
let lastComplaint = '';

function say(text, action) {
  if (!action && statusLine.textContent === text) return;
  statusLine.textContent = text;
  if (action) {
    const button = document.createElement('button');
    button.textContent = action.label;
    button.addEventListener('click', action.run);
    statusLine.append(button);
    button.focus();
  }
  fitGame(true);
}

// Made by the first gesture once the game runs (late_sounds.js).
const sound = () => Module.soundContext?.();

function tellAboutSound() {
  if (!shown || over || credits) return;
  const waiting = sound()?.state !== 'running';
  say(waiting ? `${coarsePointer.matches ? 'Tap' : 'Press a key'} to start the sound` : '');
}

// A touch starts sound only as it ends; keydown and mousedown at once.
// Safari on iPhones interrupts the sound by itself, on a call for instance.
function startSound(event) {
  if (!event.isTrusted || document.hidden || !shown || over) return;
  const made = !sound();
  const context = Module.startSound();
  if (made) context.addEventListener('statechange', tellAboutSound);
  if (['suspended', 'interrupted'].includes(context.state)) context.resume().then(tellAboutSound);
  tellAboutSound();
}

function end(text) {
  over = true;
  holdEscape();
  escapeButton.disabled = true;
  say(text, {label: 'Play again', run: () => location.reload()});
}

// A file of the game that did not come is named, with the server's answer,
// rather than left to a black canvas.
async function stop(reason) {
  if (over) return;
  over = true;
  for (const name of ['game.js', 'game.wasm', packs.names[0]]) {
    const answer = await fetch(name, {method: 'HEAD', cache: 'no-store'}).catch((error) => error);
    if (answer.ok) continue;
    reason = `${name} did not load (${answer.status || ''} ${answer.statusText || answer.message})`;
    break;
  }
  end(`The game stopped: ${reason}`);
}

const fullScreenElement = () => document.fullscreenElement ?? document.webkitFullscreenElement;

function toggleFullScreen() {
  const asked = fullScreenElement() ?
      (document.exitFullscreen ?? document.webkitExitFullscreen).call(document) :
      (game.requestFullscreen ?? game.webkitRequestFullscreen).call(game);
  Promise.resolve(asked).catch(() => say('The browser would not change to or from full screen.'));
}

// Registered once the game has all its files, so as not to slow its start.
// Each later load looks for a newer build; its worker fills its cache in the
// background and takes over only now that this page has all of the build it
// started with, so the next load is the new build.
function keepOffline() {
  navigator.serviceWorker.register('service-worker.js').then((registration) => {
    const takeOver = () => registration.waiting?.postMessage('take over');
    registration.addEventListener(
        'updatefound', () => registration.installing.addEventListener('statechange', takeOver));
    takeOver();
    if (registration.active) registration.update().catch(() => {});
  }, () => {});
}

// Once the first frame is shown, between frames: the rest of the game's
// files, then the offline copy.
function loadTheRest() {
  const sounds = packs.loadSounds((reason) => over || say(`No sound: ${reason}`));
  if ('serviceWorker' in navigator) sounds.then(keepOffline);
}

// The Escape button presses the game's Escape at once from the keyboard or a
// mouse, but a finger must hold it half a second: one stray tap near Full
// screen must not end play for good.
function pressEscape() {
  gameKeys.hold('button', 'Escape', true);
  gameKeys.hold('button', 'Escape', false);
}

// Some browsers do not say which pointer clicked: the last one pressed did.
const holdEscape = (() => {
  let timer = null;
  let pointer = '';
  const stop = () => {
    clearTimeout(timer);
    escapeButton.classList.remove('holding');
  };
  escapeButton.addEventListener('pointerdown', (event) => {
    pointer = event.pointerType;
    if (pointer === 'mouse') return;
    stop();
    escapeButton.classList.add('holding');
    timer = setTimeout(() => {
      stop();
      pressEscape();
    }, 500);
  });
  for (const end of ['pointerup', 'pointercancel', 'pointerleave'])
    escapeButton.addEventListener(end, stop);
  escapeButton.addEventListener('contextmenu', (event) => event.preventDefault());
  // From the keyboard (no pointer) or a mouse, a click is enough.
  escapeButton.addEventListener('click', (event) => {
    if (!event.detail || pointer === 'mouse') pressEscape();
  });
  return stop;
})();

// Full screen's label says how to leave it, by the means this player has.
function labelFullScreen() {
  const full = !!fullScreenElement();
  fullScreenButton.setAttribute('aria-pressed', full);
  fullScreenButton.textContent =
      full ? `Leave full screen${coarsePointer.matches ? '' : ' (Esc)'}` : 'Full screen';
}

// The game's first Escape shows the credits; the next one closes it.
function creditsShown() {
  if (over) return;
  credits = true;
  say(coarsePointer.matches ? 'The credits. Hold Escape again to close the game.' :
                              'The credits. The next Escape closes the game.');
}

for (const gesture of ['keydown', 'mousedown', 'touchend'])
  addEventListener(gesture, startSound, true);
// Clicked, a button gives the keyboard back to the game.
for (const button of [escapeButton, fullScreenButton])
  button.addEventListener('click', (event) => event.detail && canvas.focus());
fullScreenButton.hidden = !(document.fullscreenEnabled || document.webkitFullscreenEnabled);
fullScreenButton.addEventListener('click', toggleFullScreen);
for (const change of ['fullscreenchange', 'webkitfullscreenchange'])
  document.addEventListener(change, labelFullScreen);
coarsePointer.addEventListener('change', labelFullScreen);
canvas.addEventListener('escape', creditsShown, {once: true});
coarsePointer.addEventListener('change', tellAboutSound);
canvas.addEventListener('frame', () => {
  shown = true;
  tellAboutSound();
}, {once: true});
canvas.addEventListener('gameend', () => end('The game has ended.'));
// A script that does not load, or an error nothing caught before the first
// frame (the data's loader throws one), stops the game before it began.
addEventListener('error', (event) => {
  if (event.target instanceof HTMLScriptElement || (event.target === window && !shown))
    stop(event.message || 'a script did not load');
}, true);
canvas.addEventListener('frame', () => setTimeout(loadTheRest), {once: true});

// The code compiles while game.js still comes and starts, not after it.
const compiled = fetch('game.wasm').then((answer) => {
  if (!answer.ok) throw new Error(`game.wasm did not load (${answer.status} ${answer.statusText})`);
  if (answer.headers.get('Content-Type') === 'application/wasm')
    return WebAssembly.compileStreaming(answer);
  return answer.arrayBuffer().then((bytes) => WebAssembly.compile(bytes));
});

var Module = {
  canvas,
  instantiateWasm: (imports, receive) => {
    compiled
        .then((code) => WebAssembly.instantiate(code, imports).then((made) => receive(made, code)))
        .catch((error) => stop(error.message));
    return {};
  },
  noImageDecoding: true,
  noAudioDecoding: true,
  preRun: [() => packs.loadPictures(stop)],
  print: (line) => console.log(line),
  printErr: (line) => console.warn(lastComplaint = line),
  onAbort: stop,
  onExit: (status) => status && end(`The game stopped: ${lastComplaint}`),
};

canvas.focus();

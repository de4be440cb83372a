// The page around the game: fits the canvas to the window by a whole
// factor, keeps the game's keys from scrolling, starts the sound on the first
// key or click as browsers ask, and says when the game is over or why it stopped.
'use strict';

const canvas = document.getElementById('canvas');
const stage = document.querySelector('main');
const statusLine = document.getElementById('status');
const gameKeys = ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'Space'];
let soundStarted = false;
let shown = false;
let over = false;
let lastComplaint = '';

// The canvas has the game's own size (index.html states it, the game sets it).
function fit() {
  const room = Math.min(stage.clientWidth / canvas.width, stage.clientHeight / canvas.height);
  const style = document.documentElement.style;
  style.setProperty('--scale', Math.max(1, Math.floor(room)));
  style.setProperty('--width', `${canvas.width}px`);
  style.setProperty('--height', `${canvas.height}px`);
}

function say(text, action) {
  statusLine.textContent = text;
  if (!action) return;
  const button = document.createElement('button');
  button.textContent = action.label;
  button.addEventListener('click', action.run);
  statusLine.append(button);
  button.focus();
}

function startSound() {
  soundStarted = true;
  if (shown && !over) say('');
}

function end(text) {
  over = true;
  say(text, {label: 'Play again', run: () => location.reload()});
}

// A file of the game that did not come is named, with the server's answer,
// rather than left to a black canvas.
async function stop(reason) {
  if (over) return;
  over = true;
  for (const name of ['game.js', 'game.wasm', 'game.data']) {
    const answer = await fetch(name, {method: 'HEAD', cache: 'no-store'}).catch((error) => error);
    if (answer.ok) continue;
    reason = `${name} did not load (${answer.status || ''} ${answer.statusText || answer.message})`;
    break;
  }
  end(`The game stopped: ${reason}`);
}

addEventListener('resize', fit);
addEventListener('keydown', (event) => {
  if (!over && gameKeys.includes(event.code)) event.preventDefault();
});
for (const gesture of ['keydown', 'mousedown', 'touchstart'])
  addEventListener(gesture, startSound, {once: true});
addEventListener('mousedown', () => over || canvas.focus());
canvas.addEventListener('frame', () => {
  shown = true;
  if (!soundStarted) say('Press a key to start the sound');
}, {once: true});
canvas.addEventListener('gameend', () => end('The game has ended.'));
// Scripts that do not load and errors nothing caught (the data's loader throws one).
addEventListener('error', (event) => stop(event.message || 'a file did not load'), true);

var Module = {
  canvas,
  noImageDecoding: true,
  noAudioDecoding: true,
  print: (line) => console.log(line),
  printErr: (line) => console.warn(lastComplaint = line),
  onAbort: stop,
  onExit: (status) => status && end(`The game stopped: ${lastComplaint}`),
};

fit();
canvas.focus();

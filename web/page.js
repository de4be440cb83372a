// The page around the game: fits the canvas to the window by a whole
// factor, keeps the game's keys from scrolling, starts the sound on the first
// key or click as browsers ask, and says when the game is over.
'use strict';

const canvas = document.getElementById('canvas');
const stage = document.querySelector('main');
const statusLine = document.getElementById('status');
const gameKeys = ['ArrowLeft', 'ArrowRight', 'ArrowUp', 'ArrowDown', 'Space'];
let soundStarted = false;
let shown = false;
let over = false;
let lastComplaint = '';

function fit() {
  const room = Math.min(stage.clientWidth / 320, stage.clientHeight / 240);
  document.documentElement.style.setProperty('--scale', Math.max(1, Math.floor(room)));
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

var Module = {
  canvas,
  noImageDecoding: true,
  noAudioDecoding: true,
  print: (line) => console.log(line),
  printErr: (line) => console.warn(lastComplaint = line),
  onAbort: (reason) => end('The game stopped: ' + reason),
  onExit: (status) => status && end(`The game stopped: ${lastComplaint}`),
};

fit();
canvas.focus();

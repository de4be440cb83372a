// The game's keys, held on behalf of several sources at once: the keyboard,
// each finger, each pad. The browser's SDL reads keyboard events on the
// document; a key reaches it as a keydown when its first source presses it
// and as a keyup when its last source lets go, but never before the game has
// taken in the keydown and drawn a frame with it: a tap shorter than a frame
// still moves the board. A pad polled in the flip presses after the frame is
// shown or its key waits one frame more.
'use strict';

const gameKeys = (() => {
  const keyCodes = {ArrowLeft: 37, ArrowRight: 39, Space: 32, Escape: 27};
  const keyNames = {ArrowLeft: 'ArrowLeft', ArrowRight: 'ArrowRight', Space: ' ', Escape: 'Escape'};
  // Key code -> {sources, down: the keydown sent, sentAt: frame}. A key with
  // no source left waits here for the game to see it.
  const held = new Map();
  const canvas = document.getElementById('canvas');
  let frames = 0;
  let ended = false;

  function send(type, code) {
    const event = new KeyboardEvent(type, {
      key: keyNames[code],
      code,
      keyCode: keyCodes[code],
      which: keyCodes[code],
      bubbles: true,
      cancelable: true,
    });
    document.dispatchEvent(event);
    return event;
  }

  // The page says what the game's Escapes do, so it hears of each one taken.
  function noteTaken(code, key) {
    if (code !== 'Escape' || !key.down.handled || key.told) return;
    key.told = true;
    canvas.dispatchEvent(new Event('escape'));
  }

  // The browser's SDL marks an event handled when the game polls it; the game
  // reads the held keys right after its polls, before any page code runs.
  function letGo(code, evenUnseen) {
    const key = held.get(code);
    noteTaken(code, key);
    if (key.sources.size || !(key.down.handled || evenUnseen)) return;
    held.delete(code);
    send('keyup', code);
  }

  function press(source, code) {
    if (!(code in keyCodes)) return;
    if (!held.has(code))
      held.set(code, {sources: new Set(), down: send('keydown', code), sentAt: frames});
    held.get(code).sources.add(source);
  }

  // A keydown still unread two frames on was sent before the game listened
  // (while it loaded): sent again for a key still held, forgotten otherwise.
  function frameShown() {
    frames++;
    for (const [code, key] of [...held]) {
      noteTaken(code, key);
      if (key.down.handled || frames - key.sentAt < 2)
        letGo(code, false);
      else if (!key.sources.size)
        held.delete(code);
      else
        Object.assign(key, {down: send('keydown', code), sentAt: frames});
    }
  }

  function release(source, code) {
    if (held.get(code)?.sources.delete(source)) letGo(code, false);
  }

  // Hidden, ended: the game may see no frame again soon.
  function releaseAll() {
    for (const [code, key] of held) {
      key.sources.clear();
      letGo(code, true);
    }
  }

  // The browser's SDL would swallow every key, Tab and Enter included, so
  // only the game's keys reach the game, through here, and the page keeps
  // the rest. While the game runs its keys work nothing else, not even a
  // focused button (Space would press it); Tab and Enter still do. Held keys
  // repeat, and a repeated keydown would tip the board again: the keyboard
  // is one more source, and a source that holds a key presses nothing new.
  function fromKeyboard(event) {
    if (!event.isTrusted) return;
    event.stopPropagation();
    if (event.type === 'keypress' || !(event.code in keyCodes) || ended) return;
    event.preventDefault();
    (event.type === 'keydown' ? press : release)('keyboard', event.code);
  }

  canvas.addEventListener('frame', frameShown);
  canvas.addEventListener('gameend', () => {
    ended = true;
    releaseAll();
  });
  document.addEventListener('visibilitychange', () => document.hidden && releaseAll());
  for (const type of ['keydown', 'keypress', 'keyup'])
    document.addEventListener(type, fromKeyboard, true);
  return {press, release, releaseAll};
})();

// The game's keys, held on behalf of several sources at once: the keyboard,
// each finger, the Escape button, each pad. The game merges them as on the
// desktop (web/pads.cpp) and tells this page when a key's first source
// presses it and its last lets go. The browser's SDL reads keyboard events on
// the document; a key reaches it as a keydown when pressed and as a keyup
// when let go, but never before the game has taken in the keydown and drawn a
// frame with it: a tap shorter than a frame still moves the board.
'use strict';

const gameKeys = (() => {
  const keyCodes = {ArrowLeft: 37, ArrowRight: 39, Space: 32, Escape: 27};
  const keyNames = {ArrowLeft: 'ArrowLeft', ArrowRight: 'ArrowRight', Space: ' ', Escape: 'Escape'};
  // Key code -> {held: by some source, down: the keydown sent}.
  // A key no source holds any more waits here for the game to see it.
  const held = new Map();
  // Sources by the number the game knows them by; until the game listens,
  // what each source holds: source + code -> [source, code, down].
  const sources = new Map();
  let early = new Map();
  const canvas = document.getElementById('canvas');
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
    if (key.held || !(key.down.handled || evenUnseen)) return;
    held.delete(code);
    send('keyup', code);
  }

  // What the game's merger says: the first source pressed the key, or the last let go.
  function tell(code, down) {
    const key = held.get(code);
    if (key) key.held = down;
    if (key && !down) letGo(code, false);
    if (!key && down) held.set(code, {held: true, down: send('keydown', code)});
  }

  function hold(source, code, down) {
    if (!(code in keyCodes) || ended) return;
    if (early) return early.set(source + code, [source, code, down]);
    if (!sources.has(source)) sources.set(source, sources.size);
    Module.ccall(
        'web_hold_key', null, ['number', 'string', 'number'], [sources.get(source), code, down]);
  }

  // The game listens: what the sources hold now reaches it.
  function taken() {
    const waiting = [...early.values()];
    early = null;
    for (const [source, code, down] of waiting) hold(source, code, down);
  }

  function frameShown() {
    for (const code of [...held.keys()]) letGo(code, false);
  }

  // Hidden, ended: the game may see no frame again soon.
  function releaseAll() {
    if (!early && !ended) Module.ccall('web_let_go_all', null, [], []);
    early?.clear();
    for (const [code, key] of held) {
      key.held = false;
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
    hold('keyboard', event.code, event.type === 'keydown');
  }

  canvas.addEventListener('frame', frameShown);
  canvas.addEventListener('gameend', () => {
    releaseAll();
    ended = true;
  });
  document.addEventListener('visibilitychange', () => document.hidden && releaseAll());
  for (const type of ['keydown', 'keypress', 'keyup'])
    document.addEventListener(type, fromKeyboard, true);
  return {hold, tell, taken};
})();

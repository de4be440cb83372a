// Fingers on the game: the left third of the canvas holds Left, the middle
// third Space, the right third Right. The whole page around the canvas takes
// touches but for its buttons, beside the canvas counting as its nearer outer
// third, so that thumbs at a phone's edges steer. A finger that slides into
// another third changes the key it holds.
'use strict';

(() => {
  const game = document.getElementById('game');
  const canvas = document.getElementById('canvas');
  const thirds = ['ArrowLeft', 'Space', 'ArrowRight'];
  const fingers = new Map();  // touch identifier -> key held

  function keyAt(x) {
    const box = canvas.getBoundingClientRect();
    return thirds[Math.min(2, Math.max(0, Math.floor((3 * (x - box.left)) / box.width)))];
  }

  // Taken here, a touch neither scrolls, zooms nor selects.
  function follow(event) {
    if (event.target.closest('button')) return;
    event.preventDefault();
    const lifted = event.type === 'touchend' || event.type === 'touchcancel';
    for (const touch of event.changedTouches) {
      const source = 'finger ' + touch.identifier;
      const was = fingers.get(touch.identifier);
      const now = lifted ? undefined : keyAt(touch.clientX);
      if (now === was) continue;
      if (was) gameKeys.hold(source, was, false);
      if (now) {
        gameKeys.hold(source, now, true);
        fingers.set(touch.identifier, now);
      } else {
        fingers.delete(touch.identifier);
      }
    }
  }

  for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel'])
    game.addEventListener(type, follow, {passive: false});
})();

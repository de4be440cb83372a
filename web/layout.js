// Fits the canvas to the screen: each game pixel becomes a square of whole
// device pixels, crisp on phones with two or three device pixels to a CSS
// pixel, and as large as fits. Of the page's layouts (words above the game
// and buttons below; words and buttons beside it; only buttons beside it)
// the first that gives the largest game wins, so the title and hints give
// way where height is short.
'use strict';

const fitGame = (() => {
  const game = document.getElementById('game');
  const stage = document.getElementById('stage');
  const canvas = document.getElementById('canvas');
  const layouts = ['tall', 'side', 'bare'];

  function scaleHere() {
    const room = stage.getBoundingClientRect();
    const ratio = devicePixelRatio;
    return Math.floor(
        Math.min((room.width * ratio) / canvas.width, (room.height * ratio) / canvas.height));
  }

  const overflows = () =>
      game.scrollHeight > game.clientHeight || game.scrollWidth > game.clientWidth;

  // A CSS length that lands on the device pixel grid.
  const snapped = (css) => Math.round(css * devicePixelRatio) / devicePixelRatio;

  function place(scale) {
    const room = stage.getBoundingClientRect();
    const width = (canvas.width * scale) / devicePixelRatio;
    const height = (canvas.height * scale) / devicePixelRatio;
    Object.assign(canvas.style, {
      width: `${width}px`,
      height: `${height}px`,
      left: `${snapped(room.left + (room.width - width) / 2) - room.left}px`,
      top: `${snapped(room.top + (room.height - height) / 2) - room.top}px`,
    });
  }

  function fit() {
    let best = null;
    for (const layout of layouts) {
      game.dataset.layout = layout;
      const scale = scaleHere();
      if (!overflows() && (!best || scale > best.scale)) best = {layout, scale};
    }
    best ??= {layout: layouts.at(-1), scale: scaleHere()};
    game.dataset.layout = best.layout;
    place(Math.max(1, best.scale));
  }

  addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  document.addEventListener('webkitfullscreenchange', fit);
  return fit;
})();

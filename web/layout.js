// Fits the game to the screen first and the page around it second: the game
// takes the largest whole number of device pixels a game pixel that the
// window allows, crisp on any screen, and the title, hints, status and
// buttons get what is left over, above and below or beside it, whichever
// holds them. What does not fit gives way: first the title and hints, then
// the rest. In full screen the title and hints never show.
'use strict';

const fitGame = (() => {
  const game = document.getElementById('game');
  const stage = document.getElementById('stage');
  const canvas = document.getElementById('canvas');

  const overflows = () =>
      game.scrollHeight > game.clientHeight || game.scrollWidth > game.clientWidth;

  // A CSS length that lands on the device pixel grid.
  const snapped = (css) => Math.round(css * devicePixelRatio) / devicePixelRatio;

  function largestScale() {
    const ratio = devicePixelRatio;
    const across = Math.floor((game.clientWidth * ratio) / canvas.width);
    const down = Math.floor((game.clientHeight * ratio) / canvas.height);
    return Math.max(1, Math.min(across, down));
  }

  // Richest first; of stacked and side by side, the one with more room.
  function layouts(width, height) {
    const roomBelow = game.clientHeight - height, roomBeside = game.clientWidth - width;
    const ways = roomBelow >= roomBeside ? ['stacked', 'beside'] : ['beside', 'stacked'];
    const fullScreen = document.fullscreenElement ?? document.webkitFullscreenElement;
    const words = fullScreen ? [] : ways.map((way) => [way, 'all']);
    return [...words, ...ways.map((way) => [way, 'bare']), ['alone', 'none']];
  }

  // Asked only to make room, it leaves a page that fits as it is.
  function fit(onlyToMakeRoom) {
    if (onlyToMakeRoom === true && !overflows()) return;
    const scale = largestScale();
    const width = (canvas.width * scale) / devicePixelRatio;
    const height = (canvas.height * scale) / devicePixelRatio;
    game.style.setProperty('--game-width', `${width}px`);
    game.style.setProperty('--game-height', `${height}px`);
    for (const [layout, furniture] of layouts(width, height)) {
      Object.assign(game.dataset, {layout, furniture});
      if (!overflows()) break;
    }
    const room = stage.getBoundingClientRect();
    Object.assign(canvas.style, {
      left: `${snapped(room.left) - room.left}px`,
      top: `${snapped(room.top) - room.top}px`,
    });
    game.dataset.fitted = scale;
  }

  addEventListener('resize', fit);
  document.addEventListener('fullscreenchange', fit);
  document.addEventListener('webkitfullscreenchange', fit);
  return fit;
})();

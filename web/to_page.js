// What the game hands to the page: its frames, and the news that it is over.
mergeInto(LibraryManager.library, {
  $shownFrame: null,
  $canvasDrawing: null,

  // Copies the screen's pixels (red, green, blue, alpha) onto the canvas and
  // tells the page with a 'frame' event on the canvas.
  web_show_frame__deps: ['$shownFrame', '$canvasDrawing'],
  web_show_frame: function(pixels, width, height) {
    var canvas = Module['canvas'];
    if (!shownFrame || shownFrame.width != width || shownFrame.height != height)
      shownFrame = new ImageData(width, height);
    shownFrame.data.set(HEAPU8.subarray(pixels, pixels + width * height * 4));
    canvasDrawing = canvasDrawing || canvas.getContext('2d');
    canvasDrawing.putImageData(shownFrame, 0, 0);
    canvas.dispatchEvent(new Event('frame'));
  },

  web_game_ended: function(status) {
    Module['canvas'].dispatchEvent(new CustomEvent('gameend', {detail: status}));
  },
});

// What the game hands to the page: its frames, and the news that it is over.
mergeInto(LibraryManager.library, {
  $shownFrame: null,
  $canvasDrawing: null,

  // Copies the screen's pixels (red, green, blue, alpha) onto the canvas and
  // tells the page with a 'frame' event on the canvas.
  web_show_frame__deps: ['$shownFrame', '$canvasDrawing'],
  web_show_frame: function(pixels, width, height) {
    var canvas = Module['canvas'];
    // Read where the game drew it, not copied out first.
    var data = shownFrame && shownFrame.data;
    if (!data || data.buffer !== HEAPU8.buffer || data.byteOffset != pixels ||
        shownFrame.width != width || shownFrame.height != height)
      shownFrame = new ImageData(
          new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4), width, height);
    canvasDrawing = canvasDrawing || canvas.getContext('2d');
    canvasDrawing.putImageData(shownFrame, 0, 0);
    canvas.dispatchEvent(new Event('frame'));
  },

  web_game_ended: function(status) {
    Module['canvas'].dispatchEvent(new CustomEvent('gameend', {detail: status}));
  },
});

// The browser's side of the pads: reads them and hands their keys to the
// page, which holds the game's keys for the browser SDL.
mergeInto(LibraryManager.library, {
  // The pads of the first slots that have the standard layout: for each
  // slot, whether it has one, its D-pad left and right, bottom face button
  // and Start as bits, and its left stick's x.
  web_read_pads: function(slots, present, buttons, stickX) {
    var pads = [];
    try {  // not there, or refused, outside secure pages and where a policy forbids it
      pads = navigator.getGamepads() || [];
    } catch (refused) {
    }
    for (var slot = 0; slot < slots; ++slot) {
      var pad = pads[slot];
      var usable = pad && pad.connected && pad.mapping == 'standard';
      HEAP32[(present >> 2) + slot] = usable ? 1 : 0;
      if (!usable) continue;
      var pressed = function(n) {
        return pad.buttons[n] && pad.buttons[n].pressed ? 1 : 0;
      };
      HEAP32[(buttons >> 2) + slot] =
          pressed(14) | pressed(15) << 1 | pressed(0) << 2 | pressed(9) << 3;
      HEAPF32[(stickX >> 2) + slot] = pad.axes[0] || 0;
    }
  },

  $padKeyNames: {1: 'ArrowLeft', 2: 'ArrowRight', 4: 'Space', 8: 'Escape'},

  // The page holds the game's keys for every source (web/keys.js): the pads
  // are one more, beside the keyboard and the fingers.
  web_send_key__deps: ['$padKeyNames', '$lateSounds'],
  web_send_key: function(key, down) {
    // Where the browser lets sound start without a gesture, a pad starts it.
    if (down) lateSounds.start();
    gameKeys[down ? 'press' : 'release']('pads', padKeyNames[key]);
  },
});

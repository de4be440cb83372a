// The browser's side of the game's keys: reads the pads, and hands the keys
// merged from every source to the page, which holds them for the browser SDL.
mergeInto(LibraryManager.library, {
  // The pads of the first slots that have the standard layout: for each
  // slot, whether it has one, whether each of the `count` buttons numbered
  // in `buttons` is pressed, and its left stick's x.
  web_read_pads: function(slots, buttons, count, present, pressed, stickX) {
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
      for (var i = 0; i < count; ++i) {
        var button = pad.buttons[HEAP32[(buttons >> 2) + i]];
        HEAP32[(pressed >> 2) + slot * count + i] = button && button.pressed ? 1 : 0;
      }
      HEAPF32[(stickX >> 2) + slot] = pad.axes[0] || 0;
    }
  },

  // The game's keys, merged from every source (web/pads.cpp), go to the
  // page, which hands them to the browser's SDL (web/keys.js).
  web_send_key: function(code, down) {
    gameKeys.tell(UTF8ToString(code), down);
  },

  // Where the browser lets sound start without a gesture, a pad starts it.
  web_start_sound__deps: ['$lateSounds'],
  web_start_sound: function() {
    lateSounds.start();
  },

  // The page's keys go to the game's merger from now on.
  web_take_keys: function() {
    gameKeys.taken();
  },
});

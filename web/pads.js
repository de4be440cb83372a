// The browser's side of the pads: reads them and hands their keys to the
// browser SDL, which takes keys from key events on the document.
mergeInto(LibraryManager.library, {
  // The pads of the first slots that have the standard layout: for each
  // slot, whether it has one, its D-pad left and right, bottom face button
  // and Start as bits, and its left stick's x.
  web_read_pads: function(slots, present, buttons, stickX) {
    var pads = [];
    try {  // not there, or refused, outside secure pages and where a policy forbids it
      pads = navigator.getGamepads() || [];
    } catch (refused) {}
    for (var slot = 0; slot < slots; ++slot) {
      var pad = pads[slot];
      var usable = pad && pad.connected && pad.mapping == 'standard';
      HEAP32[(present >> 2) + slot] = usable ? 1 : 0;
      if (!usable) continue;
      var pressed = function(n) { return pad.buttons[n] && pad.buttons[n].pressed ? 1 : 0; };
      HEAP32[(buttons >> 2) + slot] = pressed(14) | pressed(15) << 1 | pressed(0) << 2 | pressed(9) << 3;
      HEAPF32[(stickX >> 2) + slot] = pad.axes[0] || 0;
    }
  },

  $padKeyNames: {
    1: [37, 'ArrowLeft', 'ArrowLeft'],
    2: [39, 'ArrowRight', 'ArrowRight'],
    4: [32, ' ', 'Space'],
    8: [27, 'Escape', 'Escape'],
  },

  web_send_key__deps: ['$padKeyNames'],
  web_send_key: function(key, down) {
    var name = padKeyNames[key];
    var event = new KeyboardEvent(down ? 'keydown' : 'keyup', {
      keyCode: name[0], which: name[0], key: name[1], code: name[2], bubbles: true, cancelable: true,
    });
    event.fromPads = true;
    document.dispatchEvent(event);
  },

  // Every other key event of the game's keys is asked about before the
  // browser SDL sees it: a key a pad holds is neither let go nor pressed again.
  web_watch_keyboard__deps: ['$padKeyNames'],
  web_watch_keyboard: function() {
    var keyOf = {};
    for (var key in padKeyNames) keyOf[padKeyNames[key][0]] = +key;
    var watch = function(event) {
      var key = keyOf[event.keyCode];
      if (!key || event.fromPads || runtimeExited || ABORT) return;
      if (_web_keyboard_passes(event.isTrusted, key, event.type == 'keydown')) return;
      event.preventDefault();
      event.stopImmediatePropagation();
    };
    addEventListener('keydown', watch, true);
    addEventListener('keyup', watch, true);
  },
});

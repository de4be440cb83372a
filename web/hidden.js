// While the page is hidden (another tab in front, the phone locked) the game
// stands still: its clock stops, its next flip waits for the page to show
// again and its sound is suspended. The game's timing never sees the pause,
// so no frame after it comes early to catch up.
mergeInto(LibraryManager.library, {
  $pageTime__deps: ['$SDL'],
  $pageTime__postset: 'pageTime.watch();',
  $pageTime: {
    hiddenSince: 0,
    hiddenFor: 0,
    soundWasRunning: false,
    waiting: [],

    watch: function() {
      if (document.hidden) pageTime.hiddenSince = performance.now();
      document.addEventListener('visibilitychange', pageTime.changed);
      Module['soundContext'] = function() {
        return SDL.audioContext;
      };
    },

    changed: function() {
      var sound = SDL.audioContext;
      if (document.hidden) {
        pageTime.hiddenSince = performance.now();
        pageTime.soundWasRunning = !!sound && sound.state === 'running';
        if (sound) sound.suspend();
        return;
      }
      pageTime.hiddenFor += performance.now() - pageTime.hiddenSince;
      // A context the player never started would only be refused.
      if (pageTime.soundWasRunning) sound.resume();
      // The game runs on from a task of its own, after every other listener.
      pageTime.waiting.splice(0).forEach(function(wakeUp) {
        setTimeout(wakeUp, 0);
      });
    },

    now: function() {
      var now = performance.now();
      return now - pageTime.hiddenFor - (document.hidden ? now - pageTime.hiddenSince : 0);
    },
  },

  SDL_GetTicks__deps: ['$pageTime'],
  SDL_GetTicks: function() {
    return pageTime.now() | 0;
  },

  web_page_hidden: function() {
    return document.hidden;
  },

  web_wait_until_shown__deps: ['$pageTime', '$Asyncify'],
  web_wait_until_shown: function() {
    Asyncify.handleSleep(function(wakeUp) {
      if (document.hidden)
        pageTime.waiting.push(wakeUp);
      else
        wakeUp();
    });
  },
});

// While the page is hidden (another tab in front, the phone locked) the game
// stands still: its clock stops, its next flip waits for the page to show
// again and its sound is suspended. The game's timing never sees the pause,
// so no frame after it comes early to catch up.
mergeInto(LibraryManager.library, {
  $pageTime__deps: ['$SDL'],
  $pageTime__postset: 'pageTime.watch();',
  $pageTime: {
    pausedSince: null,
    pausedFor: 0,
    soundHeld: false,
    waiting: [],

    watch: function() {
      if (document.hidden) pageTime.pausedSince = performance.now();
      document.addEventListener('visibilitychange', pageTime.changed);
      Module['soundContext'] = function() {
        return SDL.audioContext;
      };
    },

    changed: function() {
      var sound = SDL.audioContext;
      if (document.hidden) {
        if (pageTime.pausedSince === null) pageTime.pausedSince = performance.now();
        // A context the player never started stays as it is: resumed, it
        // would only be refused.
        var started = sound && (sound.state === 'running' || sound.state === 'interrupted');
        if (started || pageTime.soundHeld) {
          pageTime.soundHeld = true;
          sound.suspend();
        }
        return;
      }
      if (pageTime.soundHeld) sound.resume();
      pageTime.soundHeld = false;
      var wakeUps = pageTime.waiting.splice(0);
      if (!wakeUps.length) return pageTime.run();
      // The clock runs on only as the game does, from a task of its own
      // after every other listener, so the wait for that task is no lost time.
      setTimeout(function() {
        if (document.hidden) return Array.prototype.push.apply(pageTime.waiting, wakeUps);
        pageTime.run();
        wakeUps.forEach(function(wakeUp) {
          wakeUp();
        });
      }, 0);
    },

    run: function() {
      if (pageTime.pausedSince === null) return;
      pageTime.pausedFor += performance.now() - pageTime.pausedSince;
      pageTime.pausedSince = null;
    },

    now: function() {
      var now = performance.now();
      var paused = pageTime.pausedSince === null ? 0 : now - pageTime.pausedSince;
      return now - pageTime.pausedFor - paused;
    },
  },

  SDL_GetTicks__deps: ['$pageTime'],
  SDL_GetTicks: function() {
    return pageTime.now() | 0;
  },

  // The same clock to a fraction of a millisecond, for the sleeps' own reckoning.
  web_page_time__deps: ['$pageTime'],
  web_page_time: function() {
    return pageTime.now();
  },

  web_page_hidden: function() {
    return document.hidden;
  },

  // Sleeps on a timer until `timerMs` from now, then, up to `due` on the same
  // clock, in message tasks, which come at once where a timer can come late:
  // the game wakes neither early nor, unless the timer overslept, late.
  // Returns how late the timer came. A page that hides stops the clock, so
  // then the sleep ends with the timer; the next flip waits for the page.
  web_sleep_until__deps: ['$pageTime', '$Asyncify', '$safeSetTimeout', '$callUserCallback'],
  web_sleep_until: function(timerMs, due) {
    return Asyncify.handleSleep(function(wakeUp) {
      var timerDue = pageTime.now() + timerMs;
      safeSetTimeout(function() {
        var late = Math.max(0, pageTime.now() - timerDue);
        var ticks = pageTime.ticks = pageTime.ticks || new MessageChannel();
        var tick = function() {
          if (document.hidden || pageTime.now() >= due) return wakeUp(late);
          ticks.port2.postMessage(null);
        };
        ticks.port1.onmessage = function() {
          callUserCallback(tick);
        };
        tick();
      }, timerMs);
    });
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

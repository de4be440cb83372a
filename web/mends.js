// Mends of the browser's SDL 1.2, in its own terms.
mergeInto(LibraryManager.library, {
  // Freeing the newest reader emptied the table, and the next reader got the
  // number 0, which C takes for NULL: numbers are no longer handed out twice.
  SDL_FreeRW__deps: ['$SDL'],
  SDL_FreeRW: function(reader) {
    SDL.rwops[reader] = null;
  },

  // Only threw; answers with what Mix_OpenAudio was given.
  Mix_QuerySpec__deps: ['$SDL'],
  Mix_QuerySpec: function(frequency, format, channels) {
    if (!SDL.mixerFrequency) return 0;
    if (frequency) {{{ makeSetValue('frequency', 0, 'SDL.mixerFrequency', 'i32') }}};
    if (format) {{{ makeSetValue('format', 0, 'SDL.mixerFormat', 'i16') }}};
    if (channels) {{{ makeSetValue('channels', 0, 'SDL.mixerNumChannels', 'i32') }}};
    return 1;
  },

  // The file a reader stands for, for our own image loader.
  web_reader_path__deps: ['$SDL'],
  web_reader_path: function(reader, path, size) {
    var entry = SDL.rwops[reader];
    if (!entry || entry.filename === undefined) return 0;
    stringToUTF8(entry.filename, path, size);
    return 1;
  },

  // SDL_Init listens for the page's unload, which browsers deprecate and
  // which keeps the page out of their back-forward cache; the quit it would
  // send, the game ignores. Called before SDL_Init, so that it never listens.
  web_refuse_unload: function() {
    var listen = window.addEventListener;
    window.addEventListener = function(type) {
      if (type !== 'unload') listen.apply(window, arguments);
    };
  },
});

// The sounds come after the game's first frame (web/packs.js): loaded before
// they have come, an effect is silent until it comes, and the music starts
// playing when it comes. Replaces the browser SDL's loaders, which read the
// file at once and refuse one that is not there.
mergeInto(LibraryManager.library, {
  $lateSounds__deps: ['$SDL', '$FS', '$PATH_FS'],
  $lateSounds__postset: 'Module["soundArrived"] = lateSounds.arrived;',
  $lateSounds: {
    waiting: {},  // path -> what to do with its bytes

    // A chunk whose sound is being decoded; plays asked for meanwhile start
    // when it is done.
    decode: function(chunk, bytes) {
      var webAudio = chunk.webAudio = {onDecodeComplete: []};
      var done = function(decoded) {
        webAudio.decodedBuffer = decoded;
        webAudio.onDecodeComplete.forEach(function(play) {
          play();
        });
        webAudio.onDecodeComplete = undefined;
      };
      var copy = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
      SDL.audioContext.decodeAudioData(copy, done, function() {
        err(chunk.source + ': the browser cannot play this sound');
      });
    },

    load: function(reader, playsWait) {
      var rwops = SDL.rwops[reader];
      if (!rwops || rwops.filename === undefined || !SDL.audioContext) return 0;
      var path = PATH_FS.resolve(rwops.filename);
      var chunk = {source: path};
      // Until its bytes come, a sound is an empty stand-in.
      if (FS.analyzePath(path).exists && FS.stat(path).size) {
        lateSounds.decode(chunk, FS.readFile(path));
      } else {
        if (playsWait) chunk.webAudio = {onDecodeComplete: []};
        (lateSounds.waiting[path] = lateSounds.waiting[path] || []).push(function(bytes) {
          var plays = chunk.webAudio ? chunk.webAudio.onDecodeComplete : [];
          lateSounds.decode(chunk, bytes);
          Array.prototype.push.apply(chunk.webAudio.onDecodeComplete, plays);
        });
      }
      SDL.audios.push(chunk);
      return SDL.audios.length - 1;
    },

    arrived: function(path, bytes) {
      path = PATH_FS.resolve(path);
      FS.writeFile(path, bytes);
      (lateSounds.waiting[path] || []).forEach(function(fill) {
        fill(bytes);
      });
      delete lateSounds.waiting[path];
    },
  },

  Mix_LoadWAV_RW__deps: ['$lateSounds'],
  Mix_LoadWAV_RW: function(reader, freeReader) {
    return lateSounds.load(reader, false);
  },

  Mix_LoadMUS__deps: ['$lateSounds', 'SDL_RWFromFile', 'SDL_FreeRW'],
  Mix_LoadMUS: function(path) {
    var reader = _SDL_RWFromFile(path);
    var music = lateSounds.load(reader, true);
    _SDL_FreeRW(reader);
    return music;
  },
});

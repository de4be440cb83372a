// Sound costs the game's start nothing: its files come after the first frame
// (web/packs.js), and the browser's audio, whose first start here held the
// page up for 0.4 s, starts with the player's first gesture (Module.startSound),
// as browsers ask anyway. Loaded before it has come, an effect is silent until
// it has come and the audio has started; the music starts playing then.
// Replaces the browser SDL's loaders, which read the file at once and refuse
// one that is not there, and its Mix_OpenAudio, which starts the audio.
mergeInto(LibraryManager.library, {
  $lateSounds__deps: ['$SDL', '$FS', '$PATH_FS'],
  $lateSounds__postset: 'Module["soundArrived"] = lateSounds.arrived;' +
      'Module["startSound"] = lateSounds.start;' +
      'SDL.webAudioAvailable = function() { return true; };',
  $lateSounds: {
    waiting: {},    // path -> what to do with its bytes
    undecoded: [],  // [chunk, bytes] that came before the audio started

    start: function() {
      if (SDL.audioContext) return SDL.audioContext;
      SDL.openAudioContext();
      lateSounds.undecoded.splice(0).forEach(function(sound) {
        lateSounds.decode(sound[0], sound[1]);
      });
      return SDL.audioContext;
    },

    // A chunk whose sound is being decoded; plays asked for meanwhile start
    // when it is done.
    decode: function(chunk, bytes) {
      if (!SDL.audioContext) return lateSounds.undecoded.push([chunk, bytes]);
      var plays = chunk.webAudio ? chunk.webAudio.onDecodeComplete : [];
      var webAudio = chunk.webAudio = {onDecodeComplete: plays};
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
      if (!rwops || rwops.filename === undefined) return 0;
      var path = PATH_FS.resolve(rwops.filename);
      var chunk = {source: path};
      // Music asked to play before it can starts when it can; an effect is
      // silent until then.
      if (playsWait) chunk.webAudio = {onDecodeComplete: []};
      // Until its bytes come, a sound is an empty stand-in.
      if (FS.analyzePath(path).exists && FS.stat(path).size) {
        lateSounds.decode(chunk, FS.readFile(path));
      } else {
        (lateSounds.waiting[path] = lateSounds.waiting[path] || []).push(function(bytes) {
          lateSounds.decode(chunk, bytes);
        });
      }
      SDL.audios.push(chunk);
      return SDL.audios.length - 1;
    },

    // Kept in the file system only for a load yet to come.
    arrived: function(path, bytes) {
      path = PATH_FS.resolve(path);
      var waiting = lateSounds.waiting[path];
      delete lateSounds.waiting[path];
      if (!waiting) return FS.writeFile(path, bytes);
      waiting.forEach(function(fill) {
        fill(bytes);
      });
    },
  },

  Mix_OpenAudio__deps: ['$SDL'],
  Mix_OpenAudio: function(frequency, format, channels, chunkSize) {
    SDL.allocateChannels(32);
    SDL.mixerFrequency = frequency;
    SDL.mixerFormat = format;
    SDL.mixerNumChannels = channels;
    SDL.mixerChunkSize = chunkSize;
    return 0;
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

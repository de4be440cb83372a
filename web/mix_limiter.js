// Routes every sound of the browser's SDL through one wave shaper to the
// speakers, so the mix ends in the same limiter as on the desktop.
mergeInto(LibraryManager.library, {
  web_limit_mix__deps: ['$SDL'],
  web_limit_mix: function(curve, points) {
    var context = SDL.audioContext;
    if (SDL.mixLimiter) return 1;  // once, however often the sound starts
    if (!context || !context.createWaveShaper) return 0;
    var limiter = SDL.mixLimiter = context.createWaveShaper();
    limiter.curve = HEAPF32.slice(curve >> 2, (curve >> 2) + points);
    limiter.connect(context.destination);
    var play = SDL.playWebAudio;
    SDL.playWebAudio = function(audio) {
      play(audio);
      if (!audio.webAudioGainNode) return;  // still decoding: played again when done
      // Past the emulation's panner, which sets a mono sound 3 dB lower in each
      // speaker: the desktop plays it at full level in both.
      audio.webAudioNode.disconnect();
      audio.webAudioNode.connect(audio.webAudioGainNode);
      audio.webAudioGainNode.disconnect();
      audio.webAudioGainNode.connect(limiter);
    };
    return 1;
  },
});

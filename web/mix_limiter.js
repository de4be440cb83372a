// Routes every sound of the browser's SDL through one wave shaper to the
// speakers, so the mix ends in the same limiter as on the desktop. The
// shaper is made with the first sound: the audio starts late (late_sounds.js).
mergeInto(LibraryManager.library, {
  web_limit_mix__deps: ['$SDL'],
  web_limit_mix: function(curve, points) {
    if (SDL.mixCurve) return 1;  // once, however often the sound starts
    SDL.mixCurve = HEAPF32.slice(curve >> 2, (curve >> 2) + points);
    var limiter = null;
    var play = SDL.playWebAudio;
    SDL.playWebAudio = function(audio) {
      play(audio);
      if (!audio.webAudioGainNode) return;  // still decoding: played again when done
      if (!limiter) {
        limiter = SDL.audioContext.createWaveShaper();
        limiter.curve = SDL.mixCurve;
        limiter.connect(SDL.audioContext.destination);
      }
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

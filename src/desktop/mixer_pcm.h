// Decoded sound, whatever its rate and channels, turned into PCM in the
// mixer's own format, so that SDL_mixer never converts anything itself.
#ifndef GRUMO_DESKTOP_MIXER_PCM_H
#define GRUMO_DESKTOP_MIXER_PCM_H

#include <SDL.h>

#include <cstddef>
#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

struct MixerFormat {
  int rate;
  Uint16 format;
  int channels;
};

// The format the mixer was opened with; false when it is not open or plays
// samples this code does not write (8 and 16 bits are what SDL 1.2 has).
bool queryMixer(MixerFormat& mixer);
int bytesPerFrame(const MixerFormat& mixer);
void writeSilence(Uint8* out, size_t bytes, const MixerFormat& mixer);

// Rates a sound may have: what recorders and sound cards use, and well inside
// the 1:256 that the resampler can bridge.
const int lowestRate = 4000;
const int highestRate = 384000;

class ToMixer {
 public:
  explicit ToMixer(const MixerFormat& mixer);
  ~ToMixer();
  ToMixer(const ToMixer&) = delete;
  ToMixer& operator=(const ToMixer&) = delete;

  // Takes `frames` frames of `channels` interleaved samples at `rate`, any
  // of which may change from one call to the next. False when they cannot
  // be converted.
  bool push(const float* samples, size_t frames, int channels, int rate);
  // No more input: what the resampler still holds comes out.
  void finish();
  // Bytes of finished PCM waiting to be pulled.
  size_t ready() const;
  // Moves up to `bytes` (whole frames) of finished PCM to `out`; returns how many.
  size_t pull(Uint8* out, size_t bytes);

 private:
  bool resample(const float* samples, size_t frames, bool last);

  MixerFormat mixer;
  int channels;  // 1 or 2: what is resampled before the mixer gets it
  SRC_STATE* resampler = nullptr;
  double ratio = 1.0;
  std::vector<float> mixed;  // the last input block in `channels`
  std::vector<float> done;   // at the mixer's rate, not yet pulled
};

#endif

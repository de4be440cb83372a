// The limiter on the desktop: an effect on SDL_mixer's finished mix, which is
// signed 16-bit with the headroom.
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>

#include "sound_rules.h"

namespace {

void limit(int /*channel*/, void* stream, int length, void* /*data*/) {
  Sint16* samples = static_cast<Sint16*>(stream);
  for (int i = 0; i < length / 2; ++i) {
    const long played = std::lround(limited(samples[i] * kHeadroom / 32768.0f) * 32768.0f);
    samples[i] = static_cast<Sint16>(std::clamp(played, -32768L, 32767L));
  }
}

}  // namespace

bool installLimiter() {
  int rate = 0, channels = 0;
  Uint16 format = 0;
  if (!Mix_QuerySpec(&rate, &format, &channels) || format != AUDIO_S16SYS) return false;
  Mix_UnregisterEffect(MIX_CHANNEL_POST, limit);  // once, however often the sound starts
  return Mix_RegisterEffect(MIX_CHANNEL_POST, limit, nullptr, nullptr) != 0;
}

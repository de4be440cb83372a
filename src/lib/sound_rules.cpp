#include "sound_rules.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr Uint32 kJoinMs = 10;  // well under a frame
constexpr float kKnee = 0.75f;
// The bend's slope at the knee is 1, so the curve leaves the straight line without a kink.
constexpr float kBend = (2 - kKnee) / (1 - kKnee);

struct Start {
  Uint32 at;
  int channel;
};

}  // namespace

int playUnstacked(Mix_Chunk* chunk) {
  static std::map<Mix_Chunk*, Start> last;
  const Uint32 now = SDL_GetTicks();
  auto found = last.find(chunk);
  if (found != last.end() && found->second.channel >= 0 && now - found->second.at < kJoinMs)
    return found->second.channel;
  const int channel = Mix_PlayChannel(-1, chunk, 0);
  last[chunk] = {now, channel};
  return channel;
}

void mixWithHeadroom() {
  if (!installLimiter()) return;
  Mix_Volume(-1, MIX_MAX_VOLUME / kHeadroom);
  Mix_VolumeMusic(MIX_MAX_VOLUME / kHeadroom);
}

float limited(float mixed) {
  const float size = std::fabs(mixed);
  if (size <= kKnee) return mixed;
  const float over = std::min(1.0f, (size - kKnee) / (kHeadroom - kKnee));
  return std::copysign(kKnee + (1 - kKnee) * (1 - std::pow(1 - over, kBend)), mixed);
}

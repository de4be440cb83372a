#include "sound_rules.h"

#include <SDL.h>

#include <map>

namespace {

constexpr Uint32 kJoinMs = 10;  // well under a frame

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

// Loaded into the real game (LD_PRELOAD) in a copy of its data: the music becomes a pipe, a folder,
// then the open file is cut; Space held goes on after each death past game over; Escape, twice.
#include <sys/stat.h>
#include <unistd.h>

#include "pad_keys.h"
#include "virtual_pad.h"

extern "C" int SDL_Flip(void* screen) {
  static int (*flip)(void*) = reinterpret_cast<int (*)(void*)>(dlsym(RTLD_NEXT, "SDL_Flip"));
  static int flips = 0;
  const char *music = "sound/music.mp3", *playing = "sound/playing.mp3";  // the open file
  if (++flips == 5 && (link(music, playing) || unlink(music) || mkfifo(music, 0600))) std::abort();
  if (flips == 60 && (unlink(music) || mkdir(music, 0700))) std::abort();
  if (flips == 110 && truncate(playing, 0)) std::abort();
  if (flips == 5) virtualPad::key(keySpace, true);
  if (flips >= 170 && flips <= 172) virtualPad::key(keyEscape, flips != 171);
  return flip(screen);
}

// Loaded into the real game (LD_PRELOAD) in a copy of its data: during play
// the music file is replaced by a named pipe, then by a folder, and the file
// the game still has open is cut to nothing. Space is held all the while, so
// that every death is continued: the game runs to its end (flip 160 or so)
// and anew, then Escape shows the credits and a second Escape ends the game.
#include <sys/stat.h>
#include <unistd.h>

#include "pad_keys.h"
#include "virtual_pad.h"

extern "C" int SDL_Flip(void* screen) {
  static int (*flip)(void*) = reinterpret_cast<int (*)(void*)>(dlsym(RTLD_NEXT, "SDL_Flip"));
  static int flips = 0;
  // The music the game has open stays reachable under another name.
  const char *music = "sound/music.mp3", *playing = "sound/playing.mp3";
  ++flips;
  if (flips == 5 && (link(music, playing) || unlink(music) || mkfifo(music, 0600))) std::abort();
  if (flips == 60 && (unlink(music) || mkdir(music, 0700))) std::abort();
  if (flips == 110 && truncate(playing, 0)) std::abort();
  if (flips == 5) virtualPad::key(keySpace, true);
  if (flips >= 170 && flips <= 172) virtualPad::key(keyEscape, flips != 171);
  return flip(screen);
}

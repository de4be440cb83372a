// Loaded into the real game (LD_PRELOAD). GRUMO_PROBE=entry says on stderr, at the first frame,
// what the process entry made of the process (caption, icon, pointer, event filter, audio block,
// folder, SDL settings), then a pad plugged in presses Start, lets go and presses it again.
// GRUMO_PROBE=spoil turns the music into a pipe, a folder, then cuts the open file; Space held goes
// on after each death past game over; Escape, twice. Either way a game that takes its input ends by
// itself. GRUMO_PROBE=frame writes the first frame to stdout as 320x240 RGB bytes and ends the
// game.
#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "pad_keys.h"
#include "virtual_pad.h"

template <class Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

static char caption[64] = "none", icon[32] = "none";

extern "C" void SDL_WM_SetCaption(const char* title, const char* iconTitle) {
  std::snprintf(caption, sizeof caption, "%s/%s", title, iconTitle);
  next<void (*)(const char*, const char*)>("SDL_WM_SetCaption")(title, iconTitle);
}

// The mask, bit 7 first, shows every pixel but the magenta ones, and hides some.
extern "C" void SDL_WM_SetIcon(SDL_Surface* image, Uint8* mask) {
  const int pitch = (image->w + 7) / 8;
  int shown = 0;
  bool fits = mask != nullptr;
  for (int i = 0; fits && i < image->w * image->h; ++i) {
    const int x = i % image->w, y = i / image->w;
    Uint8 r, g, b;
    SDL_GetRGB(static_cast<Uint32*>(image->pixels)[y * image->pitch / 4 + x], image->format, &r, &g,
               &b);
    const bool bit = mask[y * pitch + x / 8] & 0x80 >> x % 8;
    fits = bit != (r == 255 && g == 0 && b == 255);
    shown += bit;
  }
  const bool partly = fits && shown > 0 && shown < image->w * image->h;
  std::snprintf(icon, sizeof icon, "%dx%d %s", image->w, image->h, partly ? "partly clear" : "?");
  next<void (*)(SDL_Surface*, Uint8*)>("SDL_WM_SetIcon")(image, mask);
}

// Samples a block: the delay between a sound's call and the speakers.
static int audioBlock = 0;
extern "C" int SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained) {
  audioBlock = desired->samples;
  return next<int (*)(SDL_AudioSpec*, SDL_AudioSpec*)>("SDL_OpenAudio")(desired, obtained);
}

static void sayEntry() {
  char dir[512] = "";
  const char* cwd = getcwd(dir, sizeof dir);
  std::fprintf(stderr, "caption %s icon %s pointer %d events %s audio %d dir %s", caption, icon,
               next<int (*)(int)>("SDL_ShowCursor")(SDL_QUERY),
               SDL_GetEventFilter() ? "filtered" : "-", audioBlock, cwd ? cwd : "?");
  for (const char* name : {"SDL_NO_SIGNAL_HANDLERS", "SDL12COMPAT_SCALE_METHOD",
                           "SDL12COMPAT_OPENGL_SCALING", "SDL_RENDER_DRIVER",
                           "SDL_FRAMEBUFFER_ACCELERATION", "SDL_GAMECONTROLLER_USE_BUTTON_LABELS"})
    std::fprintf(stderr, " %s", std::getenv(name) ? std::getenv(name) : "-");
  std::fprintf(stderr, "\n");
}

static void enter(int flip) {
  static void* pad = nullptr;
  if (flip == 1) sayEntry();
  if (flip == 8) pad = virtualPad::plugIn();
  if (flip == 10 || flip == 12 || flip == 14) virtualPad::set(pad, virtualPad::start, flip != 12);
}

static void spoil(int flip) {
  const char *music = "sound/music.mp3", *playing = "sound/playing.mp3";  // the open file
  if (flip == 5 && (link(music, playing) || unlink(music) || mkfifo(music, 0600))) std::abort();
  if (flip == 60 && (unlink(music) || mkdir(music, 0700))) std::abort();
  if (flip == 110 && truncate(playing, 0)) std::abort();
  if (flip == 5) virtualPad::key(keySpace, true);
  if (flip >= 170 && flip <= 172) virtualPad::key(keyEscape, flip != 171);
}

static void writeFrame(SDL_Surface* screen) {
  for (int i = 0; i < screen->w * screen->h; ++i) {
    Uint8 rgb[3];
    SDL_GetRGB(static_cast<Uint32*>(screen->pixels)[i], screen->format, &rgb[0], &rgb[1], &rgb[2]);
    std::fwrite(rgb, 1, 3, stdout);
  }
  std::exit(0);
}

extern "C" int SDL_Flip(SDL_Surface* screen) {
  static int flips = 0;
  static const std::string probe =
      std::getenv("GRUMO_PROBE") ? std::getenv("GRUMO_PROBE") : "entry";
  if (probe == "frame") writeFrame(screen);
  (probe == "spoil" ? spoil : enter)(++flips);
  return next<int (*)(SDL_Surface*)>("SDL_Flip")(screen);
}

// Process entry: what SDL's own entry library does on the platforms that have
// one, and what a platform's launcher would do: find the data, name the window.
#include <SDL.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "desktop/pads.h"
#include "desktop/still_while_away.h"
#include "desktop/whole_pixels.h"
#include "main.h"
#include "pictures.h"
#include "window_icon.h"

namespace {

bool isDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool holdsData(const std::string& dir) {
  return isDirectory(dir + "/gfx") && isDirectory(dir + "/sound");
}

std::string binaryDirectory() {
  char path[PATH_MAX];
  if (!realpath("/proc/self/exe", path)) return "";
  std::string binary = path;
  return binary.substr(0, binary.rfind('/'));
}

// Every file the game opens, as it names them.
const char* const gameFiles[] = {"gfx/font.bmp",    "gfx/font2.bmp",  "gfx/background.bmp",
                                 "gfx/balloon.bmp", "gfx/fatman.bmp", "gfx/board.bmp",
                                 "sound/music.mp3", "sound/pop.wav",  "sound/splat.wav",
                                 "sound/studs.wav", "sound/win.wav"};

// The game opens its files relative to where it runs. Started where none of
// them is (an unrelated empty sound/ folder is no data), enter the data
// installed beside the binary, or for a binary still in its build tree the
// source tree's data, linked beside it by the build. A folder with some of
// them is a player's own data, even broken: the game says what is wrong with
// it rather than quietly play other data.
void enterDataDirectory() {
  struct stat info;
  for (const char* file : gameFiles)
    if (lstat(file, &info) == 0) return;
  const std::string here = binaryDirectory();
  if (here.empty()) return;
  std::string dir = here + "/" GRUMO_DATA_FROM_BINARY;
  if (!holdsData(dir)) dir = here + "/source-data";
  if (holdsData(dir) && chdir(dir.c_str()) != 0) std::perror(dir.c_str());
}

// Without a display SDL falls back to a driver that shows nothing, and the
// game would play music nobody can stop. Only a player's own choice of driver
// may lead there.
void refuseInvisibleDisplay() {
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  if (chosen && *chosen) return;
  char name[32];
  if (!SDL_VideoDriverName(name, sizeof name)) return;
  if (std::strcmp(name, "offscreen") != 0 && std::strcmp(name, "dummy") != 0) return;
  videoModeFailed("no display found");
}

// The jumper's first frame, transparent where its sheet is.
void setIcon() {
  SDL_Surface* icon = SDL_CreateRGBSurface(SDL_SWSURFACE, windowIconSize, windowIconSize, 32,
                                           0xff0000, 0xff00, 0xff, 0);
  if (!icon) return;
  const int maskPitch = (windowIconSize + 7) / 8;
  Uint8 mask[windowIconSize * maskPitch] = {};
  SDL_LockSurface(icon);
  for (int y = 0; y < windowIconSize; ++y)
    for (int x = 0; x < windowIconSize; ++x) {
      Uint32 colour = windowIcon[y * windowIconSize + x];
      static_cast<Uint32*>(icon->pixels)[y * icon->pitch / 4 + x] = colour;
      if (colour != keyRgb) mask[y * maskPitch + x / 8] |= 0x80 >> (x % 8);
    }
  SDL_UnlockSurface(icon);
  SDL_WM_SetIcon(icon, mask);
  SDL_FreeSurface(icon);
}

}  // namespace

int main(int argc, char** argv) {
  // Let Ctrl+C and logging out end the game; window-close stays ignored.
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
  // Pixel art scaled up to the display stays crisp unless the player chose otherwise.
  setenv("SDL12COMPAT_SCALE_METHOD", "nearest", 0);
  // A 320x240 picture needs no GPU: scaling it in software into the window's
  // own framebuffer keeps OpenGL (and with it Mesa's LLVM) out of the process,
  // which in an X window cut resident memory from 107 to 20 MB and the CPU to
  // about a third. The player's own settings win.
  setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
  setenv("SDL_RENDER_DRIVER", "software", 0);
  setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
  // A is the bottom face button on every pad, as on an Xbox pad, even where
  // its label says B (Nintendo's).
  setenv("SDL_GAMECONTROLLER_USE_BUTTON_LABELS", "0", 0);
  enterDataDirectory();
  SDL_Init(SDL_INIT_NOPARACHUTE);
  std::atexit(SDL_Quit);
  // When video cannot start, the game's own video mode line says why.
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
    refuseInvisibleDisplay();
    SDL_WM_SetCaption("Grumo", "Grumo");
    setIcon();
    scaleByWholePixels();
    standStillWhileAway();
  }
  startPads();
  return SDL_main(argc, argv);
}

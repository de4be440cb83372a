// Process entry: what SDL's own entry library does on the platforms that have one.
#include <SDL.h>

#include <cstdlib>

#include "main.h"

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
  SDL_Init(SDL_INIT_NOPARACHUTE);
  std::atexit(SDL_Quit);
  return SDL_main(argc, argv);
}

// The browser's SDL forgets every error it is told and always answers
// "unknown SDL-emscripten error"; the game's complaints should name the cause.
#include <SDL.h>

#include <cstdarg>
#include <cstdio>

namespace {

char lastError[256];

}  // namespace

extern "C" void SDL_SetError(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(lastError, sizeof lastError, fmt, args);
  va_end(args);
}

extern "C" const char* SDL_GetError() { return lastError; }

extern "C" void SDL_ClearError() { lastError[0] = '\0'; }

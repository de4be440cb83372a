// Compares what the game put on screen with what a font draws on its own.
#ifndef GRUMO_TESTS_SCREEN_H
#define GRUMO_TESTS_SCREEN_H

#include <SDL.h>

#include <string>

#include "font.h"
#include "observe.h"

namespace seam {

// The game's fonts, loaded from data/ on their own: 0 the plain, 1 the twin's.
cFont& gameFont(int which);

// Empty when every pixel `draw` puts on a blank surface shows on `screen` at
// the same place, except where an object of `view` lies over it; otherwise a
// description of the first difference.
std::string sameAsOnItsOwn(SDL_Surface* screen, const View& view,
                           const std::function<void(SDL_Surface*)>& draw);

std::string textOnScreen(SDL_Surface* screen, const View& view, int font, const char* text, int x,
                         int y);

}  // namespace seam

#endif

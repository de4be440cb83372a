#include "screen.h"

#include <sstream>

#include "main.h"

namespace seam {
namespace {

bool covered(const View& view, int x, int y) {
  for (const auto* list : {&view.jumpers, &view.boards, &view.balloons}) {
    for (const Placed& p : *list) {
      if (x >= p.x && x < p.x + p.image->w && y >= p.y && y < p.y + p.image->h) return true;
    }
  }
  return false;
}

Uint32 pixelAt(SDL_Surface* s, int x, int y) {
  return static_cast<Uint32*>(s->pixels)[y * (s->pitch / 4) + x];
}

}  // namespace

cFont& gameFont(int which) {
  static int widths[cFont::numGlyphs];
  static cFont fonts[2];
  static bool loaded = false;
  if (!loaded) {
    createList(widths);
    fonts[0].init(GRUMO_DATA_DIR "/gfx/font.bmp", widths, 8, 255, 0, 255);
    fonts[1].init(GRUMO_DATA_DIR "/gfx/font2.bmp", widths, 8, 255, 0, 255);
    loaded = true;
  }
  return fonts[which];
}

std::string sameAsOnItsOwn(SDL_Surface* screen, const View& view,
                           const std::function<void(SDL_Surface*)>& draw) {
  SDL_PixelFormat* f = screen->format;
  SDL_Surface* alone = SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, 32, f->Rmask,
                                            f->Gmask, f->Bmask, f->Amask);
  // A colour no picture of the game uses marks what the text left alone.
  const Uint32 blank = SDL_MapRGB(alone->format, 1, 2, 3);
  SDL_FillRect(alone, nullptr, blank);
  draw(alone);
  std::ostringstream why;
  int drawn = 0;
  for (int y = 0; y < screen->h && why.str().empty(); ++y) {
    for (int x = 0; x < screen->w; ++x) {
      Uint32 want = pixelAt(alone, x, y);
      if (want == blank) continue;
      ++drawn;
      if (covered(view, x, y) || pixelAt(screen, x, y) == want) continue;
      why << "pixel (" << x << ", " << y << ") differs";
      break;
    }
  }
  SDL_FreeSurface(alone);
  if (why.str().empty() && drawn == 0) why << "nothing drawn";
  return why.str();
}

std::string textOnScreen(SDL_Surface* screen, const View& view, int font, const char* text, int x,
                         int y) {
  return sameAsOnItsOwn(
      screen, view, [&](SDL_Surface* target) { gameFont(font).writeString(target, text, x, y); });
}

}  // namespace seam

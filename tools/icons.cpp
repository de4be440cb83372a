#include <cstdio>
#include <fstream>

#include "assets.h"

Image makeMenuIcon(int size) {
  Image jumper = makeJumper().sub(3 * 17, 0, 17, 17);
  if (size < 96) {
    // Small sizes hold the jumper alone; the board would shrink to a smudge.
    Image art(24, 24);
    art.blit(jumper, 3, 4);
    return art.scaled(size / 24);
  }
  // The board runs off the right edge so the jumper can be drawn big.
  const int art = 42, scale = size / art, margin = (size - art * scale) / 2;
  Image scene(art, art);
  scene.blit(makeBoard().sub(0, 0, art, 18), 0, art - 18);
  scene.blit(makeBalloons().sub(0, 0, 16, 16), 26, 1);
  scene.blit(jumper, 3, 5);
  Image out(size, size);
  out.blit(scene.scaled(scale), margin, margin);
  return out;
}

Image makeWindowIcon() { return makeJumper().sub(0, 0, 17, 17); }

Image makeHomeScreenIcon(int size) {
  unsigned r = 0, g = 0, b = 0;
  std::sscanf(kPageColour, "#%2x%2x%2x", &r, &g, &b);
  // Launchers cut the icon to any shape that holds the central circle of
  // 0.8 of its side; a square of 0.55 fits in it, the page's colour around.
  const int scale = size * 11 / 20 / 17, margin = (size - 17 * scale) / 2;
  Image out(size, size, Rgb{uint8_t(r), uint8_t(g), uint8_t(b)});
  out.blit(makeWindowIcon().scaled(scale), margin, margin);
  return out;
}

void saveWindowIcon(const Image& img, const std::string& path) {
  std::ofstream out(path);
  out << "// Made by tools/make_assets: the window's icon, 0xRRGGBB by row.\n"
      << "const int windowIconSize = " << img.width() << ";\nconst Uint32 windowIcon[] = {\n";
  char colour[16];
  for (int i = 0; i < img.width() * img.height(); ++i) {
    const Rgb c = img.get(i % img.width(), i / img.width());
    const bool rowEnds = i % img.width() == img.width() - 1;
    std::snprintf(colour, sizeof colour, "0x%06x,%c", c.r << 16 | c.g << 8 | c.b,
                  rowEnds ? '\n' : ' ');
    out << colour;
  }
  out << "};\n";
  check(out.good(), "cannot write " + path);
}

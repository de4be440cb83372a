// Pixel canvases for the game's pictures and the file formats they are saved in.
#ifndef GRUMO_TOOLS_CANVAS_H
#define GRUMO_TOOLS_CANVAS_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "pictures.h"

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// The game's colour key: every sheet is transparent where it is exactly this.
constexpr Rgb kKey{keyRed, keyGreen, keyBlue};

Rgb shade(Rgb c, double f);

class Image {
 public:
  Image(int w, int h, Rgb fill = kKey);
  int width() const { return w_; }
  int height() const { return h_; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
  Rgb get(int x, int y) const { return px_[y * w_ + x]; }
  void set(int x, int y, Rgb c) {
    if (inside(x, y)) px_[y * w_ + x] = c;
  }
  bool opaque(int x, int y) const { return inside(x, y) && get(x, y) != kKey; }

  void fillRect(int x, int y, int w, int h, Rgb c);
  void line(int x0, int y0, int x1, int y1, Rgb c);
  void ellipse(double cx, double cy, double rx, double ry, Rgb c);
  void polygon(const std::vector<std::pair<double, double>>& pts, Rgb c);
  // Two colours in a 4x4 ordered dither; t = 0 gives a, 1 gives b.
  void dither(int x, int y, Rgb a, Rgb b, double t);
  // Copies src (keyed pixels skipped) with its top-left corner at (x, y).
  void blit(const Image& src, int x, int y);
  // Paints c on every transparent pixel that touches an opaque one (4-neighbours).
  void outline(Rgb c);
  Image sub(int x, int y, int w, int h) const;
  Image flippedX() const;
  Image scaled(int factor) const;

 private:
  int w_, h_;
  std::vector<Rgb> px_;
};

// 24-bit BMP, as SDL writes it.
void saveBmp(const Image& img, const std::string& path);
// RGBA PNG with the key colour made fully transparent.
void savePng(const Image& img, const std::string& path);
// Throws std::runtime_error with what unless ok.
void check(bool ok, const std::string& what);

#endif

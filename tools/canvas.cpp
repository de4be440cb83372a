#include "canvas.h"

#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

Rgb shade(Rgb c, double f) {
  auto ch = [f](int x) { return static_cast<uint8_t>(std::clamp(std::lround(x * f), 0L, 255L)); };
  return {ch(c.r), ch(c.g), ch(c.b)};
}

Image::Image(int w, int h, Rgb fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}

void Image::fillRect(int x, int y, int w, int h, Rgb c) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) set(i, j, c);
}

void Image::line(int x0, int y0, int x1, int y1, Rgb c) {
  int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    set(x0, y0, c);
    if (x0 == x1 && y0 == y1) break;
    int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

void Image::ellipse(double cx, double cy, double rx, double ry, Rgb c) {
  for (int y = static_cast<int>(cy - ry) - 1; y <= static_cast<int>(cy + ry) + 1; ++y)
    for (int x = static_cast<int>(cx - rx) - 1; x <= static_cast<int>(cx + rx) + 1; ++x) {
      double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
      if (u * u + v * v <= 1.0) set(x, y, c);
    }
}

void Image::polygon(const std::vector<std::pair<double, double>>& pts, Rgb c) {
  double top = 1e9, bottom = -1e9;
  for (auto& p : pts) top = std::min(top, p.second), bottom = std::max(bottom, p.second);
  for (int y = static_cast<int>(std::floor(top)); y <= static_cast<int>(std::ceil(bottom)); ++y) {
    double sy = y + 0.5;
    std::vector<double> xs;
    for (size_t i = 0; i < pts.size(); ++i) {
      auto a = pts[i], b = pts[(i + 1) % pts.size()];
      if ((a.second <= sy) != (b.second <= sy))
        xs.push_back(a.first + (sy - a.second) * (b.first - a.first) / (b.second - a.second));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2)
      for (int x = static_cast<int>(std::ceil(xs[i] - 0.5)); x + 0.5 <= xs[i + 1]; ++x)
        set(x, y, c);
  }
}

void Image::dither(int x, int y, Rgb a, Rgb b, double t) {
  static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  double threshold = (bayer[y & 3][x & 3] + 0.5) / 16.0;
  set(x, y, t > threshold ? b : a);
}

void Image::blit(const Image& src, int x, int y) {
  for (int j = 0; j < src.h_; ++j)
    for (int i = 0; i < src.w_; ++i)
      if (src.get(i, j) != kKey) set(x + i, y + j, src.get(i, j));
}

void Image::outline(Rgb c) {
  Image copy = *this;
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x)
      if (!copy.opaque(x, y) && (copy.opaque(x - 1, y) || copy.opaque(x + 1, y) ||
                                 copy.opaque(x, y - 1) || copy.opaque(x, y + 1)))
        set(x, y, c);
}

Image Image::sub(int x, int y, int w, int h) const {
  Image out(w, h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (inside(x + i, y + j)) out.set(i, j, get(x + i, y + j));
  return out;
}

Image Image::flippedX() const {
  Image out(w_, h_);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) out.set(w_ - 1 - x, y, get(x, y));
  return out;
}

Image Image::scaled(int factor) const {
  Image out(w_ * factor, h_ * factor);
  for (int y = 0; y < out.h_; ++y)
    for (int x = 0; x < out.w_; ++x) out.set(x, y, get(x / factor, y / factor));
  return out;
}

// Checked here so a failed save stops the run instead of leaving an old file.
void check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

void saveBmp(const Image& img, const std::string& path) {
  SDL_Surface* s =
      SDL_CreateRGBSurface(SDL_SWSURFACE, img.width(), img.height(), 24, 0xff0000, 0xff00, 0xff, 0);
  check(s, "cannot make a surface for " + path);
  for (int y = 0; y < img.height(); ++y) {
    auto* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < img.width(); ++x) {
      Rgb c = img.get(x, y);
      row[3 * x] = c.b, row[3 * x + 1] = c.g, row[3 * x + 2] = c.r;
    }
  }
  const bool saved = SDL_SaveBMP(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  check(saved, "cannot write " + path);
}

void savePng(const Image& img, const std::string& path) {
  std::vector<uint8_t> rgba;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      Rgb c = img.get(x, y);
      const bool clear = c == kKey;
      rgba.insert(rgba.end(), {clear ? uint8_t{0} : c.r, clear ? uint8_t{0} : c.g,
                               clear ? uint8_t{0} : c.b, clear ? uint8_t{0} : uint8_t{255}});
    }
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(img.width());
  png.height = static_cast<png_uint_32>(img.height());
  png.format = PNG_FORMAT_RGBA;
  check(png_image_write_to_file(&png, path.c_str(), 0, rgba.data(), 0, nullptr),
        "cannot write " + path + ": " + png.message);
}

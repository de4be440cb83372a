#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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

namespace {

void put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(x & 0xff);
  v.push_back((x >> 8) & 0xff);
}

void put32(std::vector<uint8_t>& v, uint32_t x) {
  put16(v, x & 0xffff);
  put16(v, x >> 16);
}

void put32be(std::vector<uint8_t>& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back((x >> s) & 0xff);
}

uint32_t crc32(const uint8_t* p, size_t n) {
  static uint32_t table[256];
  if (!table[1])
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
  uint32_t c = 0xffffffffu;
  for (size_t i = 0; i < n; ++i) c = table[(c ^ p[i]) & 0xff] ^ (c >> 8);
  return c ^ 0xffffffffu;
}

void pngChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  put32be(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  put32be(out, crc32(body.data(), body.size()));
}

}  // namespace

std::vector<uint8_t> encodeBmp(const Image& img, int bits) {
  if (bits != 24 && bits != 32) throw std::invalid_argument("BMP depth must be 24 or 32");
  const int w = img.width(), h = img.height();
  const int rowBytes = (w * bits / 8 + 3) & ~3;
  const int masks = bits == 32 ? 12 : 0;
  const int offset = 14 + 40 + masks;
  std::vector<uint8_t> v = {'B', 'M'};
  put32(v, offset + rowBytes * h);
  put32(v, 0);
  put32(v, offset);
  put32(v, 40);
  put32(v, w);
  put32(v, h);
  put16(v, 1);
  put16(v, bits);
  put32(v, bits == 32 ? 3 : 0);  // BI_BITFIELDS : BI_RGB
  put32(v, rowBytes * h);
  put32(v, 2835);  // 72 dpi
  put32(v, 2835);
  put32(v, 0);
  put32(v, 0);
  if (bits == 32) {
    put32(v, 0x00ff0000);
    put32(v, 0x0000ff00);
    put32(v, 0x000000ff);
  }
  for (int y = h - 1; y >= 0; --y) {
    size_t start = v.size();
    for (int x = 0; x < w; ++x) {
      Rgb c = img.get(x, y);
      v.push_back(c.b);
      v.push_back(c.g);
      v.push_back(c.r);
      if (bits == 32) v.push_back(0);
    }
    while ((v.size() - start) % 4) v.push_back(0);
  }
  return v;
}

std::vector<uint8_t> encodePng(const Image& img) {
  const int w = img.width(), h = img.height();
  std::vector<uint8_t> raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < w; ++x) {
      Rgb c = img.get(x, y);
      bool clear = c == kKey;
      raw.push_back(clear ? 0 : c.r);
      raw.push_back(clear ? 0 : c.g);
      raw.push_back(clear ? 0 : c.b);
      raw.push_back(clear ? 0 : 255);
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    size_t n = std::min<size_t>(65535, raw.size() - pos);
    z.push_back(pos + n == raw.size() ? 1 : 0);  // stored block, last flag
    put16(z, static_cast<uint32_t>(n));
    put16(z, static_cast<uint32_t>(~n & 0xffff));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
    pos += n;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
  put32be(z, (b << 16) | a);

  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::vector<uint8_t> ihdr;
  put32be(ihdr, w);
  put32be(ihdr, h);
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
  pngChunk(out, "IHDR", ihdr);
  pngChunk(out, "IDAT", z);
  pngChunk(out, "IEND", {});
  return out;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) throw std::runtime_error("failed writing " + path);
}

#include <algorithm>
#include <cmath>
#include <vector>

#include "assets.h"
#include "pictures.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Gradient through a list of stops, dithered between neighbouring stops.
void bands(Image& img, int x, int y, const std::vector<Rgb>& stops, double t) {
  t = std::fmin(std::fmax(t, 0.0), 1.0) * (stops.size() - 1);
  size_t i = std::min(static_cast<size_t>(t), stops.size() - 2);
  img.dither(x, y, stops[i], stops[i + 1], t - i);
}

constexpr int kHorizon = 196;

void sky(Image& img) {
  // Dark overhead where the score and the credits sit, dusk glow low down.
  const std::vector<Rgb> stops = {{10, 8, 34},  {18, 14, 50},  {30, 20, 70},
                                  {46, 28, 88}, {74, 40, 104}, {120, 62, 112}};
  for (int y = 0; y < kHorizon; ++y)
    for (int x = 0; x < screenWidth; ++x) bands(img, x, y, stops, std::pow(y / 180.0, 1.5));

  Rng rng{0x6a09e667};
  for (int n = 0; n < 90; ++n) {
    int x = rng.below(screenWidth), y = rng.below(120);
    double b = rng.unit();
    bool nearText = (x < 72 && y < 24) || (x > 272 && y < 20);
    if (nearText) continue;
    Rgb c = b > 0.9 ? Rgb{236, 232, 255} : b > 0.5 ? Rgb{150, 144, 200} : Rgb{90, 84, 140};
    img.set(x, y, c);
    if (b > 0.95) {
      Rgb glow{110, 100, 170};
      img.set(x - 1, y, glow);
      img.set(x + 1, y, glow);
      img.set(x, y - 1, glow);
      img.set(x, y + 1, glow);
    }
  }

  // A thin moon at the right edge, clear of the balloons and of every text.
  const double mx = 310, my = 84, r = 8;
  for (int y = 74; y < 96; ++y)
    for (int x = 300; x < screenWidth; ++x) {
      double d = std::hypot(x + 0.5 - mx, y + 0.5 - my);
      double d2 = std::hypot(x + 0.5 - mx + 4.0, y + 0.5 - my + 2.0);
      if (d <= r && d2 > r - 0.5)
        img.set(x, y, d > r - 1.2 ? Rgb{200, 186, 140} : Rgb{244, 232, 184});
    }
}

void hills(Image& img) {
  for (int x = 0; x < screenWidth; ++x) {
    double h = 168 + 6 * std::sin(x * 0.021 + 1.0) + 3 * std::sin(x * 0.063 + 0.4);
    for (int y = static_cast<int>(h); y < kHorizon; ++y)
      bands(img, x, y, {{40, 30, 78}, {30, 24, 62}}, (y - h) / 20);
  }
  // Tree line in front of the hills.
  Rng rng{0xbb67ae85};
  for (int x = 0; x < screenWidth; x += 3 + rng.below(4)) {
    double cx = x, cy = 184 + rng.below(5), rx = 4 + rng.below(4), ry = 6 + rng.below(6);
    img.ellipse(cx, cy, rx, ry, {22, 24, 50});
  }
  img.fillRect(0, 186, screenWidth, kHorizon - 186, {22, 24, 50});
}

void ferrisWheel(Image& img) {
  const int cx = 272, cy = 124, r = 30;
  const Rgb frame{84, 66, 132}, frameDark{56, 44, 100};
  auto on = [&](double radius, double a, int axis) {
    return static_cast<int>(
        std::lround(axis == 0 ? cx + radius * std::cos(a) : cy + radius * std::sin(a)));
  };
  for (int foot : {252, 253, 291, 292}) img.line(cx, cy, foot, kHorizon, frameDark);
  for (int k = 0; k < 12; ++k)
    img.line(cx, cy, on(r, k * kPi / 6, 0), on(r, k * kPi / 6, 1), frameDark);
  for (int k = 0; k < 360; ++k) {
    double a = k * kPi / 180;
    img.set(on(r, a, 0), on(r, a, 1), frame);
    img.set(on(r - 3, a, 0), on(r - 3, a, 1), frameDark);
  }
  // Dim lamps: bright dots here would read as stray punctuation in the messages.
  const Rgb lights[3] = {{150, 64, 80}, {156, 132, 72}, {80, 132, 150}};
  for (int k = 0; k < 12; ++k) {
    double a = k * kPi / 6 + kPi / 12;
    int gx = on(r, a, 0), gy = on(r, a, 1);
    img.fillRect(gx - 1, gy + 1, 3, 3, frameDark);
    img.set(gx, gy + 2, lights[k % 3]);
    img.set(gx, gy, lights[(k + 1) % 3]);
  }
  img.fillRect(cx - 1, cy - 1, 3, 3, frame);
}

void caravan(Image& img) {
  const Rgb body{40, 70, 88}, bodyDark{26, 46, 64}, trim{170, 120, 60}, window{236, 192, 96};
  img.fillRect(16, 172, 54, 20, body);
  img.ellipse(43, 174, 28, 6, body);
  img.fillRect(16, 188, 54, 4, bodyDark);
  img.line(16, 180, 69, 180, trim);
  img.fillRect(24, 176, 8, 6, window);
  img.fillRect(50, 176, 8, 6, window);
  img.line(28, 176, 28, 181, bodyDark);
  img.line(54, 176, 54, 181, bodyDark);
  for (int wx : {27, 59}) {
    img.ellipse(wx + 0.5, 193.5, 4.5, 4.5, {30, 20, 30});
    img.ellipse(wx + 0.5, 193.5, 2.5, 2.5, trim);
    img.set(wx, 193, {30, 20, 30});
  }
  img.line(70, 188, 78, 194, bodyDark);
}

void bigTop(Image& img) {
  const Rgb red{112, 24, 42}, redLit{136, 32, 48}, cream{132, 100, 110}, creamLit{156, 122, 124};
  const double px = 150, py = 92;
  // Roof: stripes fan out from the king pole, the far side a shade darker.
  for (int y = static_cast<int>(py); y <= 146; ++y)
    for (int x = 80; x <= 220; ++x) {
      double s = std::fabs(x + 0.5 - px) / 66.0;
      if (s > 1) continue;
      double edge = py + 50 * std::pow(s, 0.75);
      if (y + 0.5 < edge) continue;
      double a = std::atan2(x + 0.5 - px, y + 0.5 - py + 20);
      bool stripe = static_cast<int>(std::floor(a * 9.0 + 100)) % 2 == 0;
      bool lit = x < px;
      // Lit from the footlights below, so the canvas fades into the night
      // towards the peak, where the messages are written.
      double glow = 0.45 + 0.55 * std::pow((y - py) / 54.0, 1.4);
      img.set(x, y, shade(stripe ? (lit ? redLit : red) : (lit ? creamLit : cream), glow));
    }
  // Walls, with a scalloped valance along the eaves.
  for (int y = 142; y < kHorizon; ++y) {
    double half = 62 + (y - 142) * 0.08;
    for (int x = static_cast<int>(px - half); x <= static_cast<int>(px + half); ++x) {
      int stripe = static_cast<int>(std::floor((x - px) / 8.0 + 100)) % 2;
      bool lit = x < px;
      Rgb c = stripe ? (lit ? redLit : red) : (lit ? creamLit : cream);
      // Rounded: darker towards both sides.
      double round = 1.0 - 0.35 * std::pow(std::fabs(x + 0.5 - px) / half, 3.0);
      img.set(x, y, shade(c, 0.85 * round));
    }
  }
  for (int k = -8; k <= 8; ++k) {
    double sx = px + k * 8;
    img.ellipse(sx, 144, 4, 4, k % 2 ? Rgb{176, 140, 56} : Rgb{150, 30, 46});
  }
  // Entrance with warm light spilling from the ring inside.
  for (int y = 160; y < kHorizon; ++y) {
    double half = 9 + (y - 160) * 0.22;
    for (int x = static_cast<int>(px - half); x <= static_cast<int>(px + half); ++x)
      bands(img, x, y, {{90, 44, 30}, {170, 96, 48}, {226, 160, 80}}, (y - 160) / 36.0);
  }
  img.polygon({{px - 10, 158}, {px - 2, 158}, {px - 14, 196}, {px - 18, 196}}, redLit);
  img.polygon({{px + 2, 158}, {px + 10, 158}, {px + 18, 196}, {px + 14, 196}}, red);
  // King pole and pennant.
  img.fillRect(static_cast<int>(px), 76, 1, 17, {200, 180, 150});
  img.polygon({{px + 1, 76}, {px + 12, 79}, {px + 1, 82}}, {230, 60, 60});
  img.set(static_cast<int>(px), 75, {250, 220, 110});
}

void ground(Image& img) {
  const std::vector<Rgb> stops = {{24, 42, 46}, {30, 56, 50}, {38, 70, 52}, {46, 82, 54}};
  for (int y = kHorizon; y < screenHeight; ++y)
    for (int x = 0; x < screenWidth; ++x) bands(img, x, y, stops, (y - kHorizon) / 43.0);
  Rng rng{0x3c6ef372};
  for (int n = 0; n < 260; ++n) {
    int x = rng.below(screenWidth), y = kHorizon + 2 + rng.below(screenHeight - kHorizon - 2);
    int len = 1 + (y - kHorizon) / 16;
    Rgb c = rng.unit() < 0.5 ? Rgb{60, 104, 62} : Rgb{20, 38, 36};
    img.line(x, y, x + rng.below(3) - 1, y - len, c);
  }
  // Warm light from the entrance spills over the grass.
  for (int y = kHorizon; y < screenHeight; ++y)
    for (int x = 90; x < 210; ++x) {
      double u = (x + 0.5 - 150) / (18 + (y - kHorizon) * 1.1), v = (y - kHorizon) / 30.0;
      double k = 1.0 - u * u - v * v;
      if (k > 0) img.dither(x, y, img.get(x, y), {70, 90, 54}, std::fmin(0.85, k * 1.3));
    }
  // Shadow line where the tent meets the grass.
  img.line(84, kHorizon, 216, kHorizon, {18, 30, 34});
}

// The strip of trodden sawdust along the bottom that the board slides on and
// the jumper lands on.
void floor(Image& img) {
  Rng rng{0x9b05688d};
  int edge[screenWidth];
  for (int x = 0; x < screenWidth; ++x)
    edge[x] =
        226 + static_cast<int>(std::lround(1.2 * std::sin(x * 0.11) + 0.8 * std::sin(x * 0.37)));
  for (int x = 0; x < screenWidth; ++x)
    for (int y = edge[x]; y < screenHeight; ++y)
      bands(img, x, y, {{66, 52, 44}, {88, 68, 50}, {100, 78, 56}}, (y - edge[x]) / 12.0);
  for (int x = 0; x < screenWidth; ++x) img.set(x, edge[x], {34, 40, 36});
  for (int n = 0; n < 120; ++n) {
    int x = rng.below(screenWidth), y = edge[x] + 2 + rng.below(screenHeight - edge[x] - 2);
    img.set(x, y, rng.unit() < 0.5 ? Rgb{128, 100, 66} : Rgb{60, 46, 38});
  }
}

}  // namespace

Image makeBackground() {
  Image img(screenWidth, screenHeight, {0, 0, 0});
  sky(img);
  hills(img);
  ferrisWheel(img);
  bigTop(img);
  ground(img);
  floor(img);
  caravan(img);
  return img;
}

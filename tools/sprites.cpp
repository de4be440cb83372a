#include <cmath>
#include <cstring>

#include "assets.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Tones {
  Rgb outline, dark, base, light, shine;
};

// Top row scores most, so it gets the hottest colour.
const Tones kBalloonTones[3] = {
    {{96, 8, 32}, {178, 24, 44}, {232, 52, 52}, {255, 128, 104}, {255, 232, 220}},
    {{112, 58, 0}, {206, 132, 10}, {252, 202, 40}, {255, 238, 128}, {255, 255, 232}},
    {{8, 72, 36}, {30, 144, 56}, {72, 204, 72}, {156, 242, 124}, {236, 255, 230}},
};
const Rgb kString{206, 206, 220};
const Rgb kWhite{255, 255, 240};
const Rgb kSpark{255, 236, 120};

// The body fills the 10x11 hit box at the frame's top-left, a little narrower at
// the bottom like a real balloon.
bool inBalloon(int x, int y) {
  double v = (y + 0.5 - 5.5) / 5.5;
  double u = (x + 0.5 - 5.0) / 5.0;
  if (v > 0) u /= 1.0 - 0.18 * v;
  return u * u + v * v <= 1.08;
}

void drawBalloon(Image& img, int ox, int oy, const Tones& t, int frame) {
  // The highlight wanders a little, as if the balloon turned in the wind.
  double lx = -0.55 + 0.12 * std::sin(frame * kPi / 2), ly = -0.6, lz = 0.6;
  double ln = std::sqrt(lx * lx + ly * ly + lz * lz);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 10; ++x) {
      if (!inBalloon(x, y)) continue;
      bool edge = !inBalloon(x - 1, y) || !inBalloon(x + 1, y) || !inBalloon(x, y - 1) ||
                  !inBalloon(x, y + 1) || x == 0 || x == 9 || y == 0 || y == 10;
      double u = (x + 0.5 - 5.0) / 5.0, v = (y + 0.5 - 5.5) / 5.5;
      double nz = std::sqrt(std::fmax(0.0, 1.0 - u * u - v * v));
      double s = (u * lx + v * ly + nz * lz) / ln;
      Rgb c = s > 0.93 ? t.shine : s > 0.62 ? t.light : s > 0.12 ? t.base : t.dark;
      if (edge && s < 0.62) c = t.outline;
      img.set(ox + x, oy + y, c);
    }
  img.set(ox + 4, oy + 11, t.outline);
  img.set(ox + 5, oy + 11, t.dark);
  // The string swings from the knot; its lower end leads, like a pendulum.
  static const int sway[4][4] = {{0, 0, -1, -1}, {0, 0, 0, -1}, {0, 0, 1, 1}, {0, 0, 0, 1}};
  for (int r = 0; r < 4; ++r) img.set(ox + 5 + sway[frame][r], oy + 12 + r, kString);
}

void drawBurst(Image& img, int ox, int oy, const Tones& t, int frame) {
  const double cx = ox + 5.0, cy = oy + 5.5;
  // A flash first, then the skin torn into curling shreds that fly out and fade.
  if (frame == 0) {
    for (int d = -3; d <= 3; ++d) {
      Rgb c = std::abs(d) <= 1 ? kWhite : kSpark;
      img.set(ox + 5 + d, oy + 5, c);
      img.set(ox + 5, oy + 5 + d, c);
    }
    for (int d = 1; d <= 2; ++d)
      for (int sx = -1; sx <= 1; sx += 2)
        for (int sy = -1; sy <= 1; sy += 2) img.set(ox + 5 + sx * d, oy + 5 + sy * d, kSpark);
  } else if (frame == 1) {
    img.set(ox + 5, oy + 5, kWhite);
    for (int d = 1; d <= 2; ++d) {
      img.set(ox + 5 + d, oy + 5, kSpark);
      img.set(ox + 5 - d, oy + 5, kSpark);
      img.set(ox + 5, oy + 5 + d, kSpark);
      img.set(ox + 5, oy + 5 - d, kSpark);
    }
  } else if (frame == 2) {
    for (int k = 0; k < 4; ++k) {
      double a = kPi / 4 + k * kPi / 2;
      img.set(static_cast<int>(cx + 2.5 * std::cos(a)), static_cast<int>(cy + 2.5 * std::sin(a)),
              kSpark);
    }
  }
  const double radius[4] = {3.6, 4.6, 5.6, 6.4};
  for (int k = 0; k < 7; ++k) {
    if (frame == 3 && k % 2) continue;
    double a = 0.35 + k * 2 * kPi / 7 + frame * 0.12;
    double r = radius[frame] + (k % 3) * 0.5;
    // Falling shreds drift down as the burst goes on.
    double px = cx + r * std::cos(a), py = cy + r * std::sin(a) + frame * 0.7;
    Rgb c = frame < 2 ? (k % 2 ? t.base : t.light) : frame == 2 ? t.base : t.dark;
    int x = static_cast<int>(std::floor(px)), y = static_cast<int>(std::floor(py));
    img.set(x, y, c);
    // Each shred is a short curl across the direction of flight.
    int tx = std::lround(-std::sin(a)), ty = std::lround(std::cos(a));
    if (frame < 3) img.set(x + tx, y + ty, frame < 2 ? t.dark : t.outline);
  }
  // The string, let go, falls away.
  for (int r = 0; r < 4 - frame; ++r) img.set(ox + 5 + (r & 1), oy + 12 + frame + r, kString);
}

// --- the jumper -------------------------------------------------------------

const Rgb kInk{24, 16, 40};
const Rgb kSkin{255, 204, 160};
const Rgb kShoe{56, 40, 90};
const Rgb kGlove{255, 255, 255};
const Rgb kStar{255, 230, 64};
const Rgb kSweat{170, 220, 255};

// A round strongman: face on top of the ball, handlebar moustache, striped vest.
// Rows from y 1 of the frame down.
// clang-format off
const char* const kBody[13] = {
    "........hh.......",
    ".......hh........",
    ".....ssssssS.....",
    "....ssesssesS....",
    "...sssesssesSS...",
    "...smsssnsssmS...",
    "...ssmmmmmmmSS...",
    "...rrrrrrrrrRR...",
    "...rrrrrrrrrRR...",
    "...wwwwwwwwwWW...",
    "...wwwwwwwwwWW...",
    "....rrrrrrrRR....",
    ".....bbbbbbB.....",
};
// clang-format on

Rgb bodyColour(char c) {
  static const char keys[] = "hsSenmrRwWbB";
  static const Rgb colours[] = {{110, 56, 20},   kSkin,           {222, 150, 112}, kInk,
                                {240, 60, 60},   {92, 46, 18},    {226, 40, 48},   {160, 22, 40},
                                {250, 246, 232}, {196, 188, 204}, {52, 72, 170},   {34, 44, 120}};
  const char* p = c ? std::strchr(keys, c) : nullptr;
  return p ? colours[p - keys] : kKey;
}

Image body() {
  Image b(17, 17);
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 17; ++x) b.set(x, y + 1, bodyColour(kBody[y][x]));
  return b;
}

struct Pose {
  int armL[2], armR[2], legL[2], legR[2];
};

void limb(Image& f, int x0, int y0, int x1, int y1, Rgb end) {
  f.line(x0, y0, x1, y1, kSkin);
  f.set(x1, y1, end);
}

Image jumperFrame(const Pose& p) {
  Image f(17, 17);
  limb(f, 4, 9, p.armL[0], p.armL[1], kGlove);
  limb(f, 12, 9, p.armR[0], p.armR[1], kGlove);
  limb(f, 6, 13, p.legL[0], p.legL[1], kShoe);
  limb(f, 10, 13, p.legR[0], p.legR[1], kShoe);
  f.set(p.legL[0] - 1, p.legL[1], kShoe);
  f.set(p.legR[0] + 1, p.legR[1], kShoe);
  f.blit(body(), 0, 0);
  f.outline(kInk);
  return f;
}

struct Splat {
  int w;                  // squashed width, odd
  std::vector<int> rows;  // body rows kept, top to bottom; their count is the height
  int stars;              // 0 none, 1 left, 2 right
  bool drops;
};

// Squashes the body onto the floor: each kept row is stretched to the width of
// a flattened ball, so the face and the stripes survive the squash.
Image splatFrame(const Splat& s) {
  Image f(17, 17);
  const Image src = body();
  const int h = static_cast<int>(s.rows.size());
  const int top = 16 - h;
  // Arms and legs splayed flat either side.
  int reach = s.w / 2 + 2;
  f.line(8 - reach, 15, 8 + reach, 15, kSkin);
  f.set(8 - reach, 15, kGlove);
  f.set(8 + reach, 15, kShoe);
  f.set(8 + reach - 1, 15, kShoe);
  for (int r = 0; r < h; ++r) {
    int sy = s.rows[r];
    int a = 0, b = 16;
    while (!src.opaque(a, sy)) ++a;
    while (!src.opaque(b, sy)) --b;
    double v = (r + 0.5 - h / 2.0) / (h / 2.0);
    double half = s.w / 2.0 * std::pow(1.0 - std::pow(std::fabs(v), 3.0), 1.0 / 3.0);
    int x0 = static_cast<int>(std::lround(8.5 - half)),
        x1 = static_cast<int>(std::lround(8.5 + half)) - 1;
    for (int x = x0; x <= x1; ++x) {
      double t = x1 > x0 ? (x - x0) / static_cast<double>(x1 - x0) : 0.5;
      f.set(x, top + r, src.get(a + static_cast<int>(std::lround(t * (b - a))), sy));
    }
  }
  f.set(8, top - 1, bodyColour('h'));
  f.set(9, top - 1, bodyColour('h'));
  if (s.drops) {
    f.set(1, top - 2, kSweat);
    f.set(15, top - 3, kSweat);
    f.set(3, top - 4, kSweat);
    f.set(13, top - 5, kSweat);
  }
  f.outline(kInk);
  // Stars circle the dazed head; drawn after the outline so they twinkle bare.
  if (s.stars) {
    int sx = s.stars == 1 ? 4 : 12, sy = top - 4;
    f.set(sx, sy, kStar);
    f.set(sx - 1, sy, kStar);
    f.set(sx + 1, sy, kStar);
    f.set(sx, sy - 1, kStar);
    f.set(sx, sy + 1, kStar);
    f.set(s.stars == 1 ? 11 : 5, sy + 1, kStar);
  }
  return f;
}

}  // namespace

Image makeBalloons() {
  Image sheet(128, 48);
  for (int row = 0; row < 3; ++row)
    for (int frame = 0; frame < 4; ++frame) {
      drawBalloon(sheet, frame * 16, row * 16, kBalloonTones[row], frame);
      drawBurst(sheet, 64 + frame * 16, row * 16, kBalloonTones[row], frame);
    }
  return sheet;
}

Image makeJumper() {
  // Frame 3 is held longest in play, so it gets the wildest pose.
  const Pose poses[5] = {
      {{0, 5}, {16, 6}, {5, 15}, {11, 15}},   {{0, 9}, {15, 3}, {4, 15}, {12, 14}},
      {{1, 12}, {16, 10}, {5, 15}, {12, 15}}, {{1, 1}, {15, 1}, {3, 15}, {13, 15}},
      {{0, 6}, {16, 12}, {6, 15}, {11, 14}},
  };
  // The crash loops while the jumper lies there: squash, splat, then a dazed wobble.
  const Splat splats[5] = {
      {13, {3, 4, 5, 6, 7, 8, 10, 12, 13}, 0, false},
      {15, {3, 5, 7, 9, 11, 13}, 0, true},
      {15, {5, 7, 10, 12}, 0, true},
      {15, {5, 7, 10, 12}, 1, false},
      {15, {5, 7, 9, 11, 13}, 2, false},
  };
  Image sheet(170, 17);
  for (int i = 0; i < 5; ++i) {
    sheet.blit(jumperFrame(poses[i]), i * 17, 0);
    sheet.blit(splatFrame(splats[i]), (5 + i) * 17, 0);
  }
  return sheet;
}

// --- the seesaw ---------------------------------------------------------------

Image makeBoard() {
  const Rgb woodTop{240, 184, 96}, wood{198, 124, 52}, woodDark{132, 74, 32}, grain{168, 98, 40};
  const Rgb pad{214, 36, 44}, padDark{140, 18, 36}, steel{214, 220, 236}, steelDark{112, 118, 150};
  const Rgb standRed{200, 34, 48}, standLight{250, 220, 90}, standDark{120, 16, 36};
  Image left(50, 18);
  // Pivot: a painted trestle with its foot on the floor line.
  std::vector<std::pair<double, double>> stand = {{24.5, 8.0}, {33.5, 18.0}, {15.5, 18.0}};
  left.polygon(stand, standRed);
  for (int y = 10; y < 18; ++y)
    for (int x = 15; x < 35; ++x)
      if (left.get(x, y) == standRed) {
        double t = (x + 0.5 - 24.5) / (y - 7.5);
        if (t > 0.45) left.set(x, y, standDark);
        if (y == 14 || y == 15) left.set(x, y, standLight);
      }
  // Plank from the raised left end down to the right, through the pivot.
  auto plankTop = [](double x) { return 1.0 + 11.0 * x / 49.0; };
  for (int x = 0; x < 50; ++x) {
    int top = static_cast<int>(std::floor(plankTop(x + 0.5)));
    for (int d = 0; d < 4; ++d) {
      Rgb c = d == 0 ? woodTop : d == 3 ? woodDark : wood;
      if (d == 2 && (x % 9 == 3 || x % 9 == 4)) c = grain;
      if (x < 5 || x > 44) c = d <= 1 ? pad : padDark;  // rubber pads to land on
      left.set(x, top + d, c);
    }
  }
  // Bolt through the pivot.
  int boltY = static_cast<int>(std::floor(plankTop(24.5))) + 1;
  left.set(24, boltY, steel);
  left.set(25, boltY, steelDark);
  left.outline(kInk);
  Image sheet(100, 18);
  sheet.blit(left, 0, 0);
  sheet.blit(left.flippedX(), 50, 0);
  return sheet;
}

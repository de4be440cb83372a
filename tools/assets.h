// Everything make_assets draws and synthesises, one function per asset.
#ifndef GRUMO_TOOLS_ASSETS_H
#define GRUMO_TOOLS_ASSETS_H

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

// Small fixed-seed generator: the same stars, grass and noise on every run.
struct Rng {
  uint32_t s;
  uint32_t next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
  double unit() { return (next() >> 8) / 16777216.0; }
  int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
};

constexpr int kGlyphCell = 8;

struct FontStyle {
  Rgb ink[kGlyphCell];  // by row, so letters can carry a gradient
  Rgb shadow;
};

FontStyle lightFont();
FontStyle evilFont();
Image makeFont(const FontStyle& style);
Image makeBackground();
Image makeBalloons();
Image makeJumper();
Image makeBoard();
// The web page's own colour, behind the game, in the browser's bar and around
// the home-screen icons; the web build reads it from this line.
constexpr char kPageColour[] = "#0d0d16";

// Jumper over the board on a square canvas, scaled up by whole pixels.
Image makeMenuIcon(int size);
// The jumper's first frame, as the game's window shows it.
Image makeWindowIcon();
// The jumper on the page's colour, safe under any launcher's mask.
Image makeHomeScreenIcon(int size);
// A C++ header for the game's entry, which opens no file for its icon.
void saveWindowIcon(const Image& img, const std::string& path);

constexpr int kRate = 44100;
using Wave = std::vector<float>;  // mono, kRate samples per second, -1..1

Wave makePop();
Wave makeSplat();
Wave makeStuds();
Wave makeWin();
// The music is stereo: its echo answers from the right.
struct Stereo {
  Wave left, right;
};
Stereo makeMusic();

// Scales so the largest sample sits at the given level in dBFS.
void normalize(Wave& w, double peakDb);
void normalize(Stereo& s, double peakDb);
void saveWav(const Wave& w, const std::string& path);
void saveMp3(const Stereo& s, const std::string& path);

#endif

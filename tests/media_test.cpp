// The asset files as the game cuts and plays them, and the sound calls on SDL_mixer.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "font.h"
#include "fsound.h"
#include "main.h"
#include "mp3_music.h"
#include "sound_files.h"

static const std::string kData = std::string(GRUMO_DATA_DIR) + "/",
                         kMusic = kData + "sound/music.mp3";

// Opaque pixels of a rectangle of a sheet as loaded: all but the magenta key.
static int opaque(SDL_Surface* s, int x0, int y0, int w, int h) {
  int n = 0;
  for (int i = 0; i < w * h; ++i) {
    auto* p = static_cast<Uint8*>(s->pixels) + (y0 + i / w) * s->pitch + (x0 + i % w) * 3;
    n += (p[0] | p[1] << 8 | p[2] << 16) != 0xff00ff;
  }
  return n;
}

TEST(Media, SheetsHoldWhatTheGameCutsFromThem) {
  const char* names[] = {"font.bmp",    "font2.bmp",  "background.bmp",
                         "balloon.bmp", "fatman.bmp", "board.bmp"};
  const int sizes[][2] = {{592, 8}, {592, 8}, {320, 240}, {128, 48}, {170, 17}, {100, 18}};
  SDL_Surface* s[6];
  for (int i = 0; i < 6; ++i) {
    const int w = sizes[i][0], h = sizes[i][1];
    s[i] = SDL_LoadBMP((kData + "gfx/" + names[i]).c_str());
    // 24 bits: an alpha channel would make SDL blend instead of keying.
    ASSERT_TRUE(s[i] && s[i]->format->BytesPerPixel == 3 && s[i]->w == w && s[i]->h == h) << i;
    const int keyed = w * h - opaque(s[i], 0, 0, w, h);
    EXPECT_TRUE(i == 2 ? keyed == 0 : keyed > w * h / 4) << names[i];
  }
  // Ink from the cell's left edge to its width, edged in the column the pen skips.
  int widths[cFont::numGlyphs];
  createList(widths);
  for (int g = 0; g < cFont::numGlyphs; ++g) {
    const int x = g * 8, w = widths[g];
    EXPECT_TRUE(!opaque(s[0], x + w + 1, 0, 7 - w, 8) && opaque(s[0], x, 0, 1, 8) &&
                opaque(s[0], x + w, 0, 1, 8))
        << cFont::glyphs[g];
  }
  for (SDL_Surface* sheet : s) SDL_FreeSurface(sheet);
}

// What the mixer gets from the music: one pass of the 32 s tune and a second
// beyond it, as stereo frames.
static std::vector<Sint16> heard;

// The largest step between neighbouring samples of frames [from, to).
static int largestStep(size_t from, size_t to) {
  int largest = 0;
  for (size_t i = from * 2 + 2; i < to * 2; ++i)
    largest = std::max(largest, std::abs(heard[i] - heard[i - 2]));
  return largest;
}

// The most frames in a row under -60 dBFS within frames [from, to).
static size_t longestSilence(size_t from, size_t to) {
  size_t run = 0, longest = 0;
  for (size_t i = from * 2; i < to * 2; i += 2)
    longest =
        std::max(longest, std::abs(heard[i]) < 33 && std::abs(heard[i + 1]) < 33 ? ++run : run = 0);
  return longest;
}

// Within 100 ms of the loop point no millisecond is silent, and no step
// within 10 ms of it is larger than any in the tune elsewhere.
TEST(Sound, TheMusicLoopsWithoutAGapOrAClick) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr) + FSOUND_Stream_Play(FSOUND_FREE, nullptr), -2);
  FSOUND_STREAM* music = FSOUND_Stream_Open(kMusic.c_str(), FSOUND_LOOP_NORMAL, 0, 0);
  SDL_PauseAudio(1);
  ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, music), 0);
  const size_t pass = 32 * 44100, end = pass + 44100;
  heard.assign(end * 2, 0);
  for (size_t at = 0; at < heard.size(); at += 2048)
    music->music->fill(reinterpret_cast<Uint8*>(&heard[at]),
                       2 * std::min<size_t>(2048, heard.size() - at));
  EXPECT_LT(longestSilence(pass - 4410, pass + 4410), 44u);
  EXPECT_LE(largestStep(pass - 441, pass + 441),
            std::max(largestStep(0, pass - 441), largestStep(pass + 441, end)));
}

// The asset files as the game cuts and plays them, and the sound calls on SDL_mixer.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "font.h"
#include "fsound.h"
#include "main.h"
#include "mixer_pcm.h"
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
  // Name, size; 24 bits, for an alpha channel would make SDL blend instead of keying.
  const std::tuple<const char*, int, int> sheets[] = {
      {"font", 592, 8},     {"font2", 592, 8},   {"background", 320, 240},
      {"balloon", 128, 48}, {"fatman", 170, 17}, {"board", 100, 18}};
  SDL_Surface* s[6];
  for (int i = 0; i < 6; ++i) {
    const auto [name, w, h] = sheets[i];
    s[i] = SDL_LoadBMP((kData + "gfx/" + name + ".bmp").c_str());
    ASSERT_TRUE(s[i] && s[i]->format->BytesPerPixel == 3 && s[i]->w == w && s[i]->h == h) << name;
    const int keyed = w * h - opaque(s[i], 0, 0, w, h);
    EXPECT_TRUE(i == 2 ? keyed == 0 : keyed > w * h / 4) << name;
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

// Samples past full scale are held at it, whatever their size.
TEST(Sound, SamplesPastFullScaleAreHeldAtIt) {
  ToMixer pcm({44100, AUDIO_S16SYS, 2});
  const float in[] = {1e30f, -1e30f, 1.5f, -0.5f};
  ASSERT_TRUE(pcm.push(in, 4, 1, 44100));
  Sint16 out[8];
  ASSERT_EQ(pcm.pull(reinterpret_cast<Uint8*>(out), sizeof out), sizeof out);
  EXPECT_EQ(std::vector<Sint16>(out, out + 8),
            (std::vector<Sint16>{32767, 32767, -32767, -32767, 32767, 32767, -16384, -16384}));
}

// Within 100 ms of the loop point of the 32 s tune no millisecond is silent (-60 dBFS), and no
// step between neighbouring samples within 10 ms of it is larger than any in the tune elsewhere.
TEST(Sound, TheMusicLoopsWithoutAGapOrAClick) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0);
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr) + FSOUND_Stream_Play(FSOUND_FREE, nullptr), -2);
  FSOUND_STREAM* music = FSOUND_Stream_Open(kMusic.c_str(), FSOUND_LOOP_NORMAL, 0, 0);
  SDL_PauseAudio(1);  // the test takes what the mixer would
  ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, music), 0);
  const size_t pass = 32 * 44100, end = pass + 44100;
  std::vector<Sint16> heard(end * 2);
  for (size_t at = 0; at < heard.size(); at += 2048)
    music->music->fill(reinterpret_cast<Uint8*>(&heard[at]),
                       2 * std::min<size_t>(2048, heard.size() - at));
  // The largest step within frames [from, to), and the longest run of silent frames there.
  const auto step = [&](size_t from, size_t to) {
    int largest = 0;
    for (size_t i = from * 2 + 2; i < to * 2; ++i)
      largest = std::max(largest, std::abs(heard[i] - heard[i - 2]));
    return largest;
  };
  size_t run = 0, silence = 0;
  for (size_t i = (pass - 4410) * 2; i < (pass + 4410) * 2; i += 2)
    silence =
        std::max(silence, std::abs(heard[i]) < 33 && std::abs(heard[i + 1]) < 33 ? ++run : run = 0);
  EXPECT_LT(silence, 44u);
  EXPECT_LE(step(pass - 441, pass + 441), std::max(step(0, pass - 441), step(pass + 441, end)));
}

// The asset files as the game cuts and plays them, and the sound calls on SDL_mixer.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "font.h"
#include "fsound.h"
#include "main.h"

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

static FSOUND_SAMPLE* sample(const std::string& name) {
  return FSOUND_Sample_Load(FSOUND_FREE, (kData + name).c_str(), FSOUND_2D, 0, 0);
}

// What the mixer sends to the device, from Mix_SetPostMix(record, nullptr) on.
static std::vector<Sint16> heard;
static void record(void*, Uint8* s, int n) {
  heard.insert(heard.end(), reinterpret_cast<Sint16*>(s), reinterpret_cast<Sint16*>(s + n));
}

static double musicSeconds() {
  double seconds = 0;
  FILE* sox = popen(("soxi -D " + kMusic).c_str(), "r");
  return sox && std::fscanf(sox, "%lf", &seconds) == 1 && pclose(sox) == 0 ? seconds : 0;
}

static std::string musicWith(int byte, int value) {
  const std::string path = testing::TempDir() + "grumo-" + std::to_string(getpid()) + "-" +
                           std::to_string(value) + ".mp3";
  std::filesystem::copy_file(kMusic, path, std::filesystem::copy_options::overwrite_existing);
  FILE* file = std::fopen(path.c_str(), "r+b");
  std::fseek(file, byte, SEEK_SET), std::fputc(value, file), std::fclose(file);
  return path;
}

TEST(Sound, OpensOnlyWhatItCanPlay) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0) << SDL_GetError();
  // Mono or another rate would make SDL_mixer write past its buffer.
  const std::string spoilt[] = {musicWith(3, 0xc4), musicWith(2, 0xa6), musicWith(2, 0xac)};
  for (std::string bad :
       {spoilt[0], spoilt[1], spoilt[2], kData + "gfx/board.bmp", kData + "none.mp3"})
    EXPECT_EQ(FSOUND_Stream_Open(bad.c_str(), FSOUND_LOOP_NORMAL, 0, 0), nullptr) << bad;
  for (const std::string& copy : spoilt) std::remove(copy.c_str());
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr) + FSOUND_Stream_Play(FSOUND_FREE, nullptr), -2);
}

TEST(Sound, TheLoudestMomentOfPlayDoesNotClip) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0);
  // The music, a landing still sounding, a jumper touching two balloons in each of two
  // rows, the fanfare for the last of them a frame later: each on a channel of its own.
  FSOUND_SAMPLE* pop = sample("sound/pop.wav");
  std::set<int> channels;
  heard.clear();
  Mix_SetPostMix(record, nullptr);
  FSOUND_Stream_Play(FSOUND_FREE, FSOUND_Stream_Open(kMusic.c_str(), FSOUND_LOOP_NORMAL, 0, 0));
  SDL_Delay(300);
  FSOUND_PlaySound(FSOUND_FREE, sample("sound/studs.wav"));
  SDL_Delay(200);
  for (int i = 0; i < 4; ++i) channels.insert(FSOUND_PlaySound(FSOUND_FREE, pop));
  EXPECT_TRUE(channels.size() == 4 && *channels.begin() >= 0 && Mix_Playing(-1) == 5 &&
              Mix_AllocateChannels(-1) == 64);
  SDL_Delay(20);
  FSOUND_PlaySound(FSOUND_FREE, sample("sound/win.wav"));
  SDL_Delay(1300);
  Mix_SetPostMix(nullptr, nullptr);
  int clipped = 0, peak = 0;
  for (Sint16 s : heard) clipped += s == 32767 || s == -32768, peak = std::max(peak, std::abs(s));
  EXPECT_TRUE(clipped == 0 && peak > 32768 / 2) << clipped << " clipped, peak " << peak;
}

TEST(Sound, TheMusicLoopsWithoutAGapOrAClick) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0);
  FSOUND_Stream_Play(FSOUND_FREE, FSOUND_Stream_Open(kMusic.c_str(), FSOUND_LOOP_NORMAL, 0, 0));
  Mix_SetMusicPosition(musicSeconds() - 0.5);
  heard.clear();
  Mix_SetPostMix(record, nullptr);
  SDL_Delay(1500);
  Mix_SetPostMix(nullptr, nullptr);
  std::vector<int> level;
  size_t run = 0, longest = 0, end = 0;
  for (size_t i = 0; i + 1 < heard.size(); i += 2) {
    level.push_back(std::max(std::abs(heard[i]), std::abs(heard[i + 1])));
    if ((run = level.back() < 33 ? run + 1 : 0) > longest) longest = run, end = i / 2;
  }
  EXPECT_LE(longest, 44100u * 30 / 1000) << "samples below -60 dBFS at the loop point";
  // The tune fades into that gap and out of it instead of stepping: the
  // millisecond on either side stays within 2 % of the loudest.
  const int peak = *std::max_element(level.begin(), level.end());
  ASSERT_TRUE(end > longest + 44 && end + 45 < level.size()) << "the loop point was not heard";
  for (size_t from : {end - longest - 44, end + 1})
    EXPECT_LT(*std::max_element(level.begin() + from, level.begin() + from + 44), peak / 50);
}

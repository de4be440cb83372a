// The sound calls on top of SDL_mixer, with SDL's dummy audio driver.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "fsound.h"

namespace fs = std::filesystem;

namespace {

class Sound : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NE(FSOUND_Init(44100, 64, 0), 0);
    char pattern[] = "/tmp/grumo-sound-XXXXXX";
    dir = mkdtemp(pattern);
  }
  static void TearDownTestSuite() { fs::remove_all(dir); }

  static fs::path data(const std::string& name) { return fs::path(GRUMO_DATA_DIR) / name; }

  // A copy of the music with one byte of its first frame header changed.
  static fs::path musicWithHeaderByte(int index, unsigned char set, unsigned char mask) {
    std::ifstream in(data("sound/music.mp3"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t frame = 0;
    if (bytes.compare(0, 3, "ID3") == 0)
      frame = 10 + ((bytes[6] & 0x7f) << 21 | (bytes[7] & 0x7f) << 14 | (bytes[8] & 0x7f) << 7 |
                    (bytes[9] & 0x7f));
    auto& b = reinterpret_cast<unsigned char&>(bytes[frame + index]);
    b = static_cast<unsigned char>((b & ~mask) | set);
    fs::path out = dir / ("music-" + std::to_string(index) + "-" + std::to_string(set) + ".mp3");
    std::ofstream(out, std::ios::binary) << bytes;
    return out;
  }

  // A short tune, encoded at test time, to see looping within a second.
  static fs::path shortMusic() {
    fs::path wav = dir / "short.wav";
    fs::path mp3 = dir / "short.mp3";
    std::string make = "sox -n -r 44100 -b 16 -c 2 " + wav.string() +
                       " synth 0.2 sine 440 vol 0.3 && lame --quiet -m j " + wav.string() + " " +
                       mp3.string();
    EXPECT_EQ(std::system(make.c_str()), 0);
    return mp3;
  }

  static fs::path dir;
};

fs::path Sound::dir;

TEST_F(Sound, startsWithSixtyFourChannelsAt44100) {
  int rate = 0;
  Uint16 format = 0;
  int channels = 0;
  ASSERT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1);
  EXPECT_EQ(rate, 44100);
  EXPECT_EQ(Mix_AllocateChannels(-1), 64);
}

TEST_F(Sound, opensOnlyMusicItCanPlaySafely) {
  EXPECT_NE(FSOUND_Stream_Open(data("sound/music.mp3").c_str(), FSOUND_LOOP_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Open((dir / "missing.mp3").c_str(), FSOUND_LOOP_NORMAL, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Open(data("gfx/board.bmp").c_str(), FSOUND_LOOP_NORMAL, 0, 0), nullptr);
  // Mono, or another rate, would make the mixer write past its buffer.
  EXPECT_EQ(FSOUND_Stream_Open(musicWithHeaderByte(3, 0xc0, 0xc0).c_str(), 2, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Open(musicWithHeaderByte(2, 0x04, 0x0c).c_str(), 2, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_Open(nullptr, FSOUND_LOOP_NORMAL, 0, 0), nullptr);
}

TEST_F(Sound, loadsWavesAndRefusesWhatIsNotOne) {
  for (const char* name : {"sound/pop.wav", "sound/splat.wav", "sound/studs.wav", "sound/win.wav"})
    EXPECT_NE(FSOUND_Sample_Load(FSOUND_FREE, data(name).c_str(), FSOUND_2D, 0, 0), nullptr)
        << name;
  std::ofstream(dir / "empty.wav").close();
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, (dir / "empty.wav").c_str(), FSOUND_2D, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, (dir / "none.wav").c_str(), FSOUND_2D, 0, 0), nullptr);
}

TEST_F(Sound, samplesPlayAtOnceOnFreeChannelsAndOverlap) {
  FSOUND_SAMPLE* win = FSOUND_Sample_Load(FSOUND_FREE, data("sound/win.wav").c_str(), 0, 0, 0);
  ASSERT_NE(win, nullptr);
  auto start = std::chrono::steady_clock::now();
  int first = FSOUND_PlaySound(FSOUND_FREE, win);
  int second = FSOUND_PlaySound(FSOUND_FREE, win);
  // Far less than the 1.2 s the sample lasts, even on a busy machine.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
  ASSERT_GE(first, 0);
  ASSERT_GE(second, 0);
  EXPECT_NE(first, second);
  EXPECT_TRUE(Mix_Playing(first));
  EXPECT_TRUE(Mix_Playing(second));
  Mix_HaltChannel(-1);
}

TEST_F(Sound, loopingMusicGoesOnAndOtherMusicEnds) {
  fs::path tune = shortMusic();
  FSOUND_STREAM* looping = FSOUND_Stream_Open(tune.c_str(), FSOUND_LOOP_NORMAL, 0, 0);
  FSOUND_STREAM* once = FSOUND_Stream_Open(tune.c_str(), 0, 0, 0);
  ASSERT_NE(looping, nullptr);
  ASSERT_NE(once, nullptr);

  EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, once), 0);
  for (int i = 0; i < 200 && Mix_PlayingMusic(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(Mix_PlayingMusic()) << "a tune of 0.2 s still playing after 2 s";

  EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, looping), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  EXPECT_TRUE(Mix_PlayingMusic());
  Mix_HaltMusic();
}

TEST_F(Sound, nullHandlesAreHarmless) {
  EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, nullptr), -1);
}

}  // namespace

// One table for each kind of file a player may put in the data folder, each
// file made here: it plays right (what the mixer gets has the pitch, length
// and level the file holds) or shows right, or the real game refuses it with
// its own line and status 1, never a signal, a sanitizer report or more than
// 100 MB.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <random>

#include "SDLFunctions.h"
#include "fsound.h"
#include "made_files.h"
#include "mp3_music.h"
#include "sound_files.h"

using namespace made;
using namespace std::string_literals;

namespace {

const fs::path kData = GRUMO_DATA_DIR;

void expectRefused(const std::string& file, const std::function<void(const fs::path&)>& make,
                   const std::string& line) {
  DataCopy copy;
  make(copy.dir / file);
  const Outcome run = runGrumo(copy.dir);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, line);
#ifndef GRUMO_SANITIZED
  EXPECT_LT(run.peakMegabytes, 100);
#endif
}

fs::path scratch(const char* name) {
  return fs::temp_directory_path() / ("grumo-" + std::to_string(getpid()) + "-" + name);
}

// The resident peak from now on, in the builds that measure it honestly.
void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }
void expectSmallPeak() {
#ifndef GRUMO_SANITIZED
  std::ifstream status("/proc/self/status");
  std::string word;
  long kilobytes = 0;
  while (status >> word && word != "VmHWM:") continue;
  status >> kilobytes;
  EXPECT_LT(kilobytes, 100 << 10);
#endif
}

std::function<void(const fs::path&)> file(const std::string& bytes) {
  return [bytes](const fs::path& path) { write(path, bytes); };
}

std::string randomBytes(size_t count) {
  std::mt19937 random(1);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

std::string be(unsigned long value) {
  const std::string bytes = le(value, 4);
  return std::string(bytes.rbegin(), bytes.rend());
}

std::string patch(std::string bytes, size_t at, unsigned long value, int count) {
  return bytes.replace(at, count, le(value, count));
}

}  // namespace

TEST(Files, EveryWavPlaysRightOrIsRefused) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0);
  const std::string odd = "LIST" + le(3, 4) + "abc" + '\0';
  using Spoil = std::function<std::string(std::string)>;
  const Spoil asMade = [](std::string bytes) { return bytes; };
  const Spoil longerData = [](std::string b) { return patch(b, b.find("data") + 4, -1, 4); };
  const Spoil asSunAudio = [](std::string b) {
    return ".snd" + be(24) + be(b.size() - 44) + be(3) + be(44100) + be(1) + b.substr(44);
  };
  struct Row {
    Wav wav;  // tag, bits, channels, rate, frames, toned channel, extensible, chunks, the rest
    bool plays;
    Spoil spoil;
  };
  const Row rows[] = {
      {{1, 8, 1, 8000}, true, asMade},
      {{1, 16, 2, 48000, 11025, 0}, true, asMade},
      {{1, 24, 1, 96000}, true, asMade},
      {{1, 32, 2, 22050, 11025, 1}, true, asMade},
      {{3, 32, 1, 32000}, true, asMade},
      {{3, 64, 2, 11025}, true, asMade},
      {{3, 32, 2, 44100, 11025, 0, false, "", NAN}, true, asMade},
      {{1, 16, 2, 44100, 11025, 1, true}, true, asMade},
      {{3, 32, 6, 44100, 11025, 0, true}, true, asMade},
      {{1, 16, 8, 16000, 11025, 7}, true, asMade},
      {{1, 16, 9, 16000}, false, asMade},
      {{1, 16, 2, 44100, 11025, -1, false, odd}, true, asMade},
      {{1, 16, 1, 4000, 4000}, true, asMade},
      {{1, 16, 1, 3999, 3999}, false, asMade},
      {{1, 16, 1, 384000, 38400}, true, asMade},
      {{1, 16, 1, 384001, 38400}, false, asMade},
      {{1, 8, 1, 4000, 240000}, true, asMade},  // a minute: the longest effect
      {{1, 8, 1, 4000, 240001}, false, asMade},
      {{1, 8, 1, 4000, 22369622}, false, asMade},
      {{1, 16, 1, 22050}, true, longerData},
      {{7, 8, 1, 8000}, false, asMade},  // mu-law
      {{1, 16, 1, 44100, 0}, false, asMade},
      {{1, 16, 0, 44100}, false, asMade},
      {{1, 16, 1, 44100}, false, [](std::string b) { return b.substr(0, 30); }},
      {{1, 16, 1, 44100}, false, [](std::string b) { return patch(b, 16, -16, 4); }},  // fmt size
      {{1, 16, 1, 44100}, false, [](std::string b) { return patch(b, 0, 0x58464952, 4); }},  // RIFX
      {{}, false, asSunAudio},
      {{}, false, [](std::string) { return std::string(); }},
      {{}, false, [](std::string) { return bytesOf(kData / "gfx/board.bmp"); }},
  };
  const fs::path path = scratch("effect.wav");
  for (const Row& row : rows) {
    const Wav& w = row.wav;
    SCOPED_TRACE(testing::Message() << w.tag << " " << w.bits << " bits " << w.channels << " x "
                                    << w.rate << " Hz " << w.frames << " " << w.toned);
    const std::string bytes = row.spoil(wav(w));
    if (!row.plays) {
      expectRefused("sound/pop.wav", file(bytes), "FSOUND_Sample_Load(sound/pop.wav) failed!\n");
      continue;
    }
    write(path, bytes);
    resetPeak();
    FSOUND_SAMPLE* effect = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_2D, 0, 0);
    ASSERT_NE(effect, nullptr);
    expectSmallPeak();
    const auto* pcm = reinterpret_cast<const Sint16*>(effect->chunk->abuf);
    const size_t frames = effect->chunk->alen / 4;
    EXPECT_NEAR(frames, 44100.0 * w.frames / w.rate, 2);
    const std::vector<Tone> tones = tonesIn(pcm, frames);
    ASSERT_EQ(tones.size(), 1u);
    // Mono goes to both sides, stereo stays as it is, more channels are averaged.
    const double all = w.channels > 2 && w.toned >= 0 ? 0.5 / w.channels : 0.5;
    const bool stereo = w.channels == 2 && w.toned >= 0;
    EXPECT_NEAR(tones[0].hz, 440, 4);
    EXPECT_NEAR(tones[0].left, stereo && w.toned == 1 ? 0 : all, all * 0.05);
    EXPECT_NEAR(tones[0].right, stereo && w.toned == 0 ? 0 : all, all * 0.05);
  }
  fs::remove(path);
}

TEST(Files, EveryMp3PlaysRightOrIsRefused) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0);
  const std::string a = mp3(44100, 2, false, 440), b = mp3(8000, 1, true, 660);
  const auto tag = [](const std::string& hidden, size_t size) {
    return "ID3\x04\0\0"s + char(size >> 21 & 0x7f) + char(size >> 14 & 0x7f) +
           char(size >> 7 & 0x7f) + char(size & 0x7f) + hidden;
  };
  const auto hugeTag = [&](const fs::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << tag("", 200 << 20);
    out.seekp(200 << 20, std::ios::cur) << a;  // a hole: no disk, no time
  };
  struct Row {
    const char* what;
    std::function<void(const fs::path&)> make;
    std::vector<int> heard;  // the tones of one pass, each 0.4 s and 0.3 s apart; none: refused
  };
  const Row rows[] = {
      {"MPEG 2.5, 8 kHz mono CBR", file(mp3(8000, 1, false, 440)), {440}},
      {"MPEG 2.5, 11 kHz stereo VBR", file(mp3(11025, 2, true, 550)), {550}},
      {"MPEG 2.5, 12 kHz mono VBR", file(mp3(12000, 1, true, 330)), {330}},
      {"MPEG 2, 16 kHz stereo CBR", file(mp3(16000, 2, false, 440)), {440}},
      {"MPEG 2, 22 kHz mono CBR", file(mp3(22050, 1, false, 550)), {550}},
      {"MPEG 2, 24 kHz stereo VBR", file(mp3(24000, 2, true, 330)), {330}},
      {"MPEG 1, 32 kHz mono VBR", file(mp3(32000, 1, true, 440)), {440}},
      {"MPEG 1, 44 kHz stereo CBR", file(a), {440}},
      {"MPEG 1, 48 kHz mono CBR", file(mp3(48000, 1, false, 550)), {550}},
      {"44 kHz stereo, then 8 kHz mono", file(a + b), {440, 660}},
      {"8 kHz mono, then 48 kHz stereo", file(b + mp3(48000, 2, true, 330)), {660, 330}},
      {"junk between frames", file(a + randomBytes(3000) + b), {440, 660}},
      {"a tag hiding another stream", file(tag(b, b.size()) + a), {440}},
      {"a 200 MB tag", hugeTag, {440}},
      {"a tag, and nothing after it", file(tag(a, a.size())), {}},
      {"a frame header, then junk", file(a.substr(0, 4) + randomBytes(20000)), {}},
      {"a WAV", file(bytesOf(kData / "sound/pop.wav")), {}},
      {"a BMP", file(bytesOf(kData / "gfx/board.bmp")), {}},
      {"text", file(std::string(5000, 'x')), {}},
      {"empty", file(""), {}},
  };
  // The tests take what the mixer would, and the mixer takes nothing meanwhile.
  SDL_PauseAudio(1);
  const fs::path path = scratch("music.mp3");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.heard.empty()) {
      expectRefused("sound/music.mp3", row.make, "FSOUND_Stream_Open() failed!\n");
      continue;
    }
    row.make(path);
    resetPeak();
    FSOUND_STREAM* music = FSOUND_Stream_Open(path.c_str(), FSOUND_LOOP_NORMAL, 0, 0);
    ASSERT_EQ(FSOUND_Stream_Play(FSOUND_FREE, music), 0);
    // Two passes and a half, as the mixer asks for them.
    const size_t parts = row.heard.size();
    std::vector<Sint16> pcm(44100 * 2 * (parts * 7 * 5 / 20 + 1));
    for (size_t at = 0; at < pcm.size(); at += 2048)
      music->music->fill(reinterpret_cast<Uint8*>(&pcm[at]),
                         std::min<size_t>(4096, 2 * (pcm.size() - at)));
    expectSmallPeak();
    const std::vector<Tone> tones = tonesIn(pcm.data(), pcm.size() / 2);
    ASSERT_GE(tones.size(), 2 * parts);
    for (size_t t = 0; t < 2 * parts; ++t) {
      EXPECT_NEAR(tones[t].hz, row.heard[t % parts], row.heard[t % parts] / 100.0) << t;
      EXPECT_NEAR(tones[t].seconds, 0.4, 0.03) << t;
      EXPECT_NEAR(tones[t].left + tones[t].right, 1.0, 0.15) << t;
    }
    // Each pass as long as the file's music; joined streams carry their encoders' padding too.
    EXPECT_NEAR(tones[parts].start - tones[0].start, 0.7 * parts, parts == 1 ? 0.02 : 0.25);
    fs::remove(path);
  }
}

namespace {

unsigned long number(const std::string& bytes, size_t at) {
  return static_cast<Uint32>((bytes[at] & 0xff) | (bytes[at + 1] & 0xff) << 8 |
                             (bytes[at + 2] & 0xff) << 16 | (bytes[at + 3] & 0xff) << 24);
}

// A 24-bit BMP made 32-bit with an alpha channel, as image editors write them.
std::string withAlpha(const std::string& bmp, int alpha) {
  const unsigned long at = number(bmp, 10), w = number(bmp, 18), h = number(bmp, 22);
  std::string pixels;
  for (unsigned long i = 0; i < w * h; ++i)
    pixels += bmp.substr(at + i / w * ((w * 3 + 3) & ~3ul) + i % w * 3, 3) + char(alpha);
  const std::string header = le(124, 4) + le(w, 4) + le(h, 4) + le(1, 2) + le(32, 2) + le(3, 4) +
                             le(pixels.size(), 4) + std::string(16, '\0') + le(0xff0000, 4) +
                             le(0xff00, 4) + le(0xff, 4) + le(0xff000000, 4) + "BGRs" +
                             std::string(64, '\0');
  return "BM" + le(138 + pixels.size(), 4) + le(0, 4) + le(138, 4) + header + pixels;
}

// Every pixel of a picture as it is drawn on black.
std::vector<Uint32> drawn(SDL_Surface* image) {
  SDL_Surface* canvas = SDL_CreateRGBSurface(0, image->w, image->h, 32, 0xff0000, 0xff00, 0xff, 0);
  SDL_UpperBlit(image, nullptr, canvas, nullptr);
  const auto* pixels = static_cast<const Uint32*>(canvas->pixels);
  std::vector<Uint32> all(pixels, pixels + image->w * image->h);
  for (Uint32& pixel : all) pixel &= 0xffffff;
  SDL_FreeSurface(canvas);
  return all;
}

}  // namespace

TEST(Files, EveryBmpShowsRightOrIsRefused) {
  const std::string board = bytesOf(kData / "gfx/board.bmp");
  const std::string cut = "the file ends before the picture does";
  const std::string unknownHeader = "its header is of a kind the game does not know";
  const std::string compressed = "it is compressed in a way the game cannot read";
  const auto bits = [](int depth) {
    return "it has " + std::to_string(depth) + " bits per pixel, which no BMP picture has";
  };
  struct Row {
    std::string bytes;
    std::string reason;  // none: it shows as the original does
  };
  const Row rows[] = {
      {board, ""},
      {withAlpha(board, 0), ""},
      {withAlpha(board, 255), ""},
      {"", "the file is empty"},
      {"not a picture\n", "it is not a BMP picture"},
      {"BM", cut},
      {board.substr(0, 54), cut},
      {board.substr(0, board.size() - 1), cut},
      {patch(board, 10, 1000000000, 4), cut},
      {patch(board, 18, 0, 4), "its header gives it no pixels (0x18)"},
      {patch(board, 22, 0, 4), "its header gives it no pixels (100x0)"},
      {patch(board, 18, -100, 4), "its header gives it no pixels (-100x18)"},
      {patch(patch(board, 18, 20000, 4), 22, -20000, 4),
       "its header asks for 20000x20000 pixels, more than any picture of this game"},
      {patch(board, 28, 0, 2), bits(0)},
      {patch(board, 28, 7, 2), bits(7)},
      {patch(board, 14, 7, 4), unknownHeader},
      {patch(board, 14, -1, 4), unknownHeader},
      {patch(board, 30, 3, 4), compressed},
      {patch(board, 30, 9, 4), compressed},
      {patch(patch(board, 28, 16, 2), 30, 3, 4), "it is not a BMP picture the game can read"},
  };
  SDL_Surface* original = SDL_LoadBMP((kData / "gfx/board.bmp").c_str());
  ASSERT_NE(original, nullptr);
  const fs::path path = scratch("board.bmp");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.reason + " " + std::to_string(row.bytes.size()));
    if (!row.reason.empty()) {
      expectRefused("gfx/board.bmp", file(row.bytes),
                    "Unable to load gfx/board.bmp: " + row.reason + "\n");
      continue;
    }
    write(path, row.bytes);
    SDL_Surface* image = loadBMP(path.c_str());
    ASSERT_NE(image, nullptr) << SDL_GetError();
    EXPECT_EQ(drawn(image), drawn(original));
    SDL_FreeSurface(image);
  }
  fs::remove(path);
}

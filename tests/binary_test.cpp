// Every file a player may put in the data folder plays or shows right, or the game stops
// with its own line and status 1: never a signal, a sanitizer report, a hang or 100 MB.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <tuple>

#include "fsound.h"
#include "mp3_music.h"
#include "pictures.h"
#include "sound_files.h"

namespace fs = std::filesystem;
using namespace std::string_literals;
using Make = std::function<void(const fs::path&)>;

namespace {

const fs::path kData = GRUMO_DATA_DIR;
const std::string kProbe = "LD_PRELOAD=" GRUMO_PROBE
                           " SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS=1"
                           " ASAN_OPTIONS=$ASAN_OPTIONS:verify_asan_link_order=0";
const fs::path kScratch = fs::temp_directory_path() / ("grumo-test-" + std::to_string(getpid()));
struct Tidy {
  Tidy() { fs::create_directories(kScratch); }
  ~Tidy() { fs::remove_all(kScratch); }
} tidy;

std::string bytesOf(const fs::path& path) {
  std::ostringstream all;
  all << std::ifstream(path, std::ios::binary).rdbuf();
  return all.str();
}

Make file(const std::string& bytes) {
  return [bytes](const fs::path& path) { std::ofstream(path, std::ios::binary) << bytes; };
}

std::string le(unsigned long value, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

// The game run on a copy of the data with `file` made by `make`, stopped by
// `stop` (timeout's options), as its exit status and what it wrote to stderr.
std::pair<int, std::string> runGrumo(const std::string& file, const Make& make,
                                     const std::string& env = "",
                                     const std::string& stop = "-s KILL 10") {
  const fs::path dir = kScratch / "data";
  fs::remove_all(dir);
  fs::copy(kData, dir, fs::copy_options::recursive);
  make(dir / file);
  const std::string command = "cd '" + dir.string() + "' && exec env " + env + " timeout " + stop +
                              " " GRUMO_BINARY " 2>stderr.txt";
  const pid_t shell = fork();
  if (shell == 0) execl("/bin/sh", "sh", "-c", command.c_str(), nullptr), _exit(127);
  int status = -1;
  struct rusage run {};
  wait4(shell, &status, 0, &run);
#ifndef GRUMO_SANITIZED  // whose shadow memory would count
  EXPECT_LT(run.ru_maxrss, 100 << 10) << "kB at the peak of the game with " << file;
#endif
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, bytesOf(dir / "stderr.txt")};
}

template <class Load>
auto withinMemory(Load load) {
  std::ofstream("/proc/self/clear_refs") << "5";  // from here on
  auto loaded = load();
#ifndef GRUMO_SANITIZED
  std::ifstream status("/proc/self/status");
  std::string word;
  long kilobytes = 0;
  while (status >> word && word != "VmHWM:") continue;
  EXPECT_LT(status >> kilobytes ? kilobytes : 0, 100 << 10) << "kB at the peak";
#endif
  return loaded;
}

std::string missing(const std::string& image) {
  return "Unable to load " + image + ": No such file or directory\n";
}

Make magenta(int w, int h, int depth = 24) {
  return [=](const fs::path& path) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, depth, 0xff0000, 0xff00, 0xff, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 255));
    SDL_SaveBMP(s, path.c_str()), SDL_FreeSurface(s);
  };
}

}  // namespace

TEST(StartUp, EndsWithOneLineAndStatus1WhenAFileIsMissingOrLies) {
  const Make remove = [](const fs::path&p) { fs::remove_all(p); }, keep = [](const fs::path&) {},
             pipe = [](const fs::path&p) { fs::remove(p), mkfifo(p.c_str(), 0600); },
             onlyABrokenFont = [](const fs::path&dir) {
               fs::remove_all(dir / "gfx"), fs::remove_all(dir / "sound");
               fs::create_directory(dir / "gfx");
               fs::create_symlink("gone.bmp", dir / "gfx/font.bmp");
             };
  struct Case {
    std::string file;
    Make spoil;
    std::string line;  // the whole of stderr; a line ending in "..." is a prefix
    const char* env = "";
  };
  std::vector<Case> cases = {
      {"", keep, "FSOUNT_Init() failed!\n", "SDL_AUDIODRIVER=none-such"},
      {"", keep, "Unable to set the 320x240x32 video mode: ...", "SDL_VIDEODRIVER=none-such"},
      // Not a driver that shows nothing.
      {"", keep, "Unable to set the 320x240x32 video mode: no display found\n",
       "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR=/tmp"},
      {"", keep, "Unable to set the 320x240x32 video mode: no display found\n",
       "-u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER= XDG_RUNTIME_DIR=/tmp"},
      {"gfx/balloon.bmp", magenta(64, 48),
       "Unable to use gfx/balloon.bmp: it is 64x48 pixels, at least 128x48 are needed\n"},
      {"gfx/balloon.bmp", magenta(128, 40),
       "Unable to use gfx/balloon.bmp: it is 128x40 pixels, at least 128x48 are needed\n"},
      {"gfx/font2.bmp", magenta(296, 8),
       "Unable to load gfx/font2.bmp as a glyph sheet of at least 592x8 pixels\n"},
      {"gfx/board.bmp", pipe, "Unable to load gfx/board.bmp: not a regular file\n"},
      {"sound/music.mp3", pipe, "FSOUND_Stream_Open() failed!\n"},
      {"sound/pop.wav", pipe, "FSOUND_Sample_Load(sound/pop.wav) failed!\n"},
      // A folder with some of the game's files is the player's: no other data is looked for.
      {"gfx", remove, missing("gfx/font.bmp")},
      {"sound", remove, "FSOUND_Stream_Open() failed!\n"},
      // A broken link is one of the game's files too: the folder is still the player's.
      {"", onlyABrokenFont, "FSOUND_Stream_Open() failed!\n"},
  };
  for (std::string name : {"pop", "splat", "studs", "win"})
    cases.push_back(
        {"sound/" + name + ".wav", remove, "FSOUND_Sample_Load(sound/" + name + ".wav) failed!\n"});
  for (std::string name : {"font2", "background", "balloon", "fatman", "board"})
    cases.push_back({"gfx/" + name + ".bmp", remove, missing("gfx/" + name + ".bmp")});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + " " + c.env);
    const auto [status, err] = runGrumo(c.file, c.spoil, c.env);
    EXPECT_EQ(status, 1);
    const size_t dots = c.line.rfind("...");
    EXPECT_EQ(err.substr(0, dots), c.line.substr(0, dots));
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  }
}

// Started where no data is, only an empty sound/ folder, with a setting of the player's own,
// and a pad plugged in during play.
TEST(StartUp, TheEntryFindsTheDataNamesTheWindowAndTakesUpAPad) {
  const Make noData = [](const fs::path& dir) {
    fs::remove_all(dir / "gfx"), fs::remove_all(dir / "sound"), fs::create_directory(dir / "sound");
  };
  EXPECT_EQ(
      runGrumo("", noData, "SDL12COMPAT_SCALE_METHOD=linear " + kProbe),
      std::pair(
          0,
          "caption Grumo/Grumo icon 17x17 partly clear pointer 0 events filtered audio 1024 dir " +
              fs::canonical(kData).string() + " 1 linear 0 software 0 0\n"));
}

namespace {

// A WAV of a tone at half the full scale in channel `toned` (all when -1).
struct Wav {
  int tag = 1, bits = 16, channels = 1, rate = 44100;  // tag 1 integer, 3 float, 7 mu-law
  long frames = 11025;
  int toned = -1;
  bool extensible = false;  // WAVE_FORMAT_EXTENSIBLE, with the tag as its sub-format
  std::string before = "";  // chunks ahead of "fmt "
  double quiet = 0;         // what the other channels hold
};

std::string chunk(const std::string& id, const std::string& body) {
  return id + le(body.size(), 4) + body + std::string(body.size() % 2, '\0');
}

std::string wav(const Wav& w) {
  std::string data;
  for (long i = 0; i < w.frames * w.channels; ++i) {
    const double v = w.toned < 0 || w.toned == i % w.channels
                         ? 0.5 * std::sin(2 * M_PI * 440 * (i / w.channels) / w.rate)
                         : w.quiet;
    const float single = static_cast<float>(v);
    const char* raw =
        w.bits == 32 ? reinterpret_cast<const char*>(&single) : reinterpret_cast<const char*>(&v);
    data += w.tag == 3    ? std::string(raw, w.bits / 8)
            : w.bits == 8 ? std::string(1, static_cast<char>(std::lround(128 + v * 127)))
                          : le(std::lround(v * ((1L << (w.bits - 1)) - 1)), w.bits / 8);
  }
  const int align = w.channels * w.bits / 8;
  std::string fmt = le(w.extensible ? 0xfffe : w.tag, 2) + le(w.channels, 2) + le(w.rate, 4) +
                    le(w.rate * align, 4) + le(align, 2) + le(w.bits, 2);
  if (w.extensible)  // valid bits, no speaker mask, the sub-format's GUID
    fmt += le(22, 2) + le(w.bits, 2) + le(0, 4) + le(w.tag, 4) + le(0x100000, 4) +
           "\x80\x00\x00\xaa\x00\x38\x9b\x71"s;
  const std::string body = "WAVE" + w.before + chunk("fmt ", fmt) + chunk("data", data);
  return "RIFF" + le(body.size(), 4) + body;
}

// An MP3 as LAME writes it: a tone of `hz` for 0.4 s, then 0.3 s of silence.
std::string mp3(int rate, int channels, bool vbr, int hz) {
  const std::string tone = (kScratch / "tone").string();
  const char* mode = vbr ? " -V 4 " : rate < 32000 ? " -b 64 " : " -b 128 ";
  const std::string command = "sox -n -r " + std::to_string(rate) + " -c " +
                              std::to_string(channels) + " " + tone + ".wav synth 0.4 sine " +
                              std::to_string(hz) +
                              " gain -6 pad 0 0.3 && lame --quiet --resample " +
                              std::to_string(rate / 1000.0) + mode + tone + ".wav " + tone + ".mp3";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return bytesOf(tone + ".mp3");
}

// A WAV of a tone as only sox writes it here: big-endian, or ADPCM.
std::string sox(const std::string& options) {
  const std::string made = (kScratch / "sox.wav").string();
  EXPECT_EQ(std::system(("sox -V1 -n " + options + " " + made + " synth 0.25 sine 440").c_str()),
            0);
  return bytesOf(made);
}

// The tones in 16-bit stereo at 44.1 kHz: runs of loud 10 ms blocks, each
// with its pitch and the amplitude of each side, as shares of full scale.
struct Tone {
  double start, seconds, hz, side[2];
};

std::vector<Tone> tonesIn(const Sint16* pcm, size_t frames) {
  std::vector<Tone> tones;
  for (size_t b = 0, block = 441, end = 0; b + block <= frames; b += block) {
    double power[2] = {0, 0};
    for (size_t i = 2 * b; i < 2 * (b + block); ++i) power[i % 2] += std::pow(pcm[i] / 32768.0, 2);
    if (std::max(power[0], power[1]) < block * 0.02 * 0.02) continue;
    if (tones.empty() || end < b) tones.push_back({b / 44100.0, 0, 0, {0, 0}});
    end = b + block;
    tones.back().seconds += block / 44100.0;
    for (int s = 0; s < 2; ++s) tones.back().side[s] += power[s];
  }
  for (Tone& tone : tones) {
    // Half periods from the first to the last swing past the margin of coding noise.
    const size_t from = std::lround(tone.start * 44100), length = std::lround(tone.seconds * 44100);
    const int s = tone.side[1] > tone.side[0];
    size_t first = 0, last = 0, swings = 0;
    for (size_t f = from, sign = 0; f < from + length; ++f) {
      const size_t now = pcm[2 * f + s] > 600 ? 1 : pcm[2 * f + s] < -600 ? 2 : sign;
      if (now != sign && sign && swings++ == 0) first = f;
      if (now != sign) sign = now, last = f;
    }
    tone.hz = swings > 1 ? (swings - 1) * 44100.0 / 2 / (last - first) : 0;
    for (double& side : tone.side) side = std::sqrt(2 * side / length);
  }
  return tones;
}

}  // namespace

TEST(Files, EveryWavPlaysRightOrIsRefused) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0);
  using Spoil = std::function<std::string(std::string)>;
  const Spoil longerData = [](std::string b) {
    return b.replace(b.find("data") + 4, 4, le(-1, 4));
  };
  const Spoil sunAudio = [](std::string b) {  // 16-bit mono 44.1 kHz, as SDL also reads; mu-law
    return ".snd\0\0\0\x18\0\0\x56\x22\0\0\0\x03\0\0\xac\x44\0\0\0\x01"s + b.substr(44);
  };
  struct Row {
    Wav wav;  // tag, bits, channels, rate, frames, toned, extensible, chunks before, quiet
    bool plays;
    Spoil spoil = nullptr;
  };
  const Row rows[] = {
      {{1, 8, 1, 8000}, true},
      {{1, 16, 2, 48000, 11025, 0}, true},
      {{1, 24, 1, 96000}, true},
      {{1, 32, 2, 22050, 11025, 1}, true},
      {{3, 32, 1, 32000}, true},
      {{3, 64, 2, 11025}, true},
      {{3, 32, 2, 44100, 11025, 0, false, "", NAN}, true},
      {{1, 16, 2, 44100, 11025, 1, true}, true},
      {{3, 32, 6, 44100, 11025, 0, true}, true},
      {{1, 16, 8, 16000, 11025, 7}, true},
      {{1, 16, 9, 16000}, false},
      {{1, 16, 2, 44100, 11025, -1, false, chunk("LIST", "abc")}, true},
      {{1, 16, 1, 3999, 3999}, false},
      {{1, 16, 1, 384000, 38400}, true},
      {{1, 16, 1, 384001, 38400}, false},
      {{1, 8, 1, 4000, 20000}, true},
      {{1, 8, 1, 4000, 20001}, false},  // five seconds at most
      {{7, 8, 1, 8000}, false},
      {{1, 16, 1, 44100, 0}, false},
      {{1, 16, 1, 22050}, true, longerData},
      {{}, false, [](std::string b) { return b.substr(0, 30); }},
      {{}, false, [](std::string) { return ""s; }},
      {{}, false, sunAudio},
      {{}, false, [](std::string) { return sox("-B -b 16"); }},  // RIFX
      {{}, false, [](std::string) { return sox("-e ima-adpcm"); }},
  };
  const fs::path path = kScratch / "effect.wav";
  for (const Row& row : rows) {
    const Wav& w = row.wav;
    SCOPED_TRACE(testing::Message() << "row " << &row - rows);
    const std::string bytes = row.spoil ? row.spoil(wav(w)) : wav(w);
    if (!row.plays) {
      EXPECT_EQ(runGrumo("sound/pop.wav", file(bytes)),
                std::pair(1, "FSOUND_Sample_Load(sound/pop.wav) failed!\n"s));
      continue;
    }
    file(bytes)(path);
    FSOUND_SAMPLE* effect = withinMemory(
        [&] { return FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_2D, 0, 0); });
    ASSERT_NE(effect, nullptr);
    const size_t frames = effect->chunk->alen / 4;
    EXPECT_NEAR(frames, 44100.0 * w.frames / w.rate, 2);
    const auto tones = tonesIn(reinterpret_cast<const Sint16*>(effect->chunk->abuf), frames);
    ASSERT_EQ(tones.size(), 1u);
    EXPECT_NEAR(tones[0].hz, 440, 4);
    // Mono goes to both sides, stereo stays as it is, more channels are averaged.
    const double all = w.channels > 2 && w.toned >= 0 ? 0.5 / w.channels : 0.5;
    for (int side = 0; side < 2; ++side)
      EXPECT_NEAR(tones[0].side[side], w.channels == 2 && w.toned == 1 - side ? 0 : all, all / 20);
  }
}

TEST(Files, EveryMp3PlaysRightOrIsRefused) {
  ASSERT_NE(FSOUND_Init(44100, 64, 0), 0);
  const std::string a = mp3(44100, 2, false, 440), b = mp3(8000, 1, true, 660);
  std::string junk(20000, 0);  // bytes that look random
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 2654435761u >> 13);
  const auto tag = [](size_t size, char flags = 0) {
    return "ID3\x04\0"s + flags + char(size >> 21 & 0x7f) + char(size >> 14 & 0x7f) +
           char(size >> 7 & 0x7f) + char(size & 0x7f);
  };
  const Make hugeTag = [&](const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << tag(200 << 20);
    out.seekp(200 << 20, std::ios::cur) << a;  // a hole: no disk, no time
  };
  struct Row {
    const char* what;
    Make make;
    std::vector<int> heard;  // the tones of one pass, each 0.4 s and 0.3 s apart; none: refused
    bool once = false;       // too short to loop: one pass, then silence
  };
  std::vector<Row> rows = {
      {"MPEG 2.5, 8 kHz mono CBR", file(mp3(8000, 1, false, 440)), {440}},
      {"MPEG 2.5, 11 kHz stereo VBR", file(mp3(11025, 2, true, 550)), {550}},
      {"MPEG 2, 16 kHz stereo CBR", file(mp3(16000, 2, false, 440)), {440}},
      {"MPEG 1, 32 kHz mono VBR", file(mp3(32000, 1, true, 440)), {440}},
      {"MPEG 1, 44 kHz stereo CBR", file(a), {440}},
      {"MPEG 1, 48 kHz mono CBR", file(mp3(48000, 1, false, 550)), {550}},
      {"44 kHz stereo, then 8 kHz mono", file(a + b), {440, 660}},
      {"8 kHz mono, then 48 kHz stereo", file(b + mp3(48000, 2, true, 330)), {660, 330}},
      {"junk between frames", file(a + std::string(3000, 'x') + b), {440, 660}},
      {"a tag hiding another stream", file(tag(b.size() + junk.size()) + b + junk + a), {440}},
      {"a tag with a footer", file(tag(0, 0x10) + "3DI\x04\0\x10\0\0\0\0"s + a), {440}},
      {"a 200 MB tag", hugeTag, {440}},
      {"three frames, under a tenth of a second", file(a.substr(0, 3 * 418)), {440}, true},
      {"a tag, and nothing after it", file(tag(a.size()) + a), {}},
      {"a frame header, then junk", file(a.substr(0, 4) + junk), {}},
      {"junk, then music", file(junk + a), {}},
      {"music, more junk than is looked past, music",
       file(a + std::string(1 << 17, 'x') + b),
       {440}},
      {"a WAV", file(bytesOf(kData / "sound/pop.wav")), {}},
      {"empty", file(""), {}},
  };
  // A first frame header with a bad sync, version, layer, bit rate or rate, then music.
  for (auto [at, clear, set] : {std::tuple{1, 0xe0, 0x20},
                                {1, 0x18, 0x08},
                                {1, 0x06, 0},
                                {2, 0xf0, 0xf0},
                                {2, 0x0c, 0x0c}}) {
    std::string head = a.substr(0, 4);
    head[at] = static_cast<char>((head[at] & ~clear) | set);
    rows.push_back({"a bad frame header", file(head + std::string(100, 'x') + a), {}});
  }
  // The test takes what the mixer would, and the mixer takes nothing meanwhile.
  SDL_PauseAudio(1);
  const fs::path path = kScratch / "music.mp3";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.heard.empty()) {
      EXPECT_EQ(runGrumo("sound/music.mp3", row.make),
                std::pair(1, "FSOUND_Stream_Open() failed!\n"s));
      continue;
    }
    row.make(path);
    const size_t parts = row.heard.size();
    std::vector<Sint16> pcm(44100 * 2 * (parts * 7 * 5 / 20 + 1));  // two passes and a half
    withinMemory([&] {
      FSOUND_STREAM* music = FSOUND_Stream_Open(path.c_str(), FSOUND_LOOP_NORMAL, 0, 0);
      EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, music), 0);
      for (size_t at = 0; music && at < pcm.size(); at += 2048)
        music->music->fill(reinterpret_cast<Uint8*>(&pcm[at]),
                           2 * std::min<size_t>(2048, pcm.size() - at));
      return music;
    });
    const std::vector<Tone> tones = tonesIn(pcm.data(), pcm.size() / 2);
    EXPECT_TRUE(!row.once || (tones.size() == 1 && tones[0].seconds < 0.1)) << tones.size();
    if (row.once) continue;
    ASSERT_GE(tones.size(), 2 * parts);
    for (size_t t = 0; t < 2 * parts; ++t) {
      const int hz = row.heard[t % parts];
      EXPECT_TRUE(std::abs(tones[t].hz - hz) < hz / 100.0 &&
                  std::abs(tones[t].seconds - 0.4) < 0.03 &&
                  std::abs(tones[t].side[0] + tones[t].side[1] - 1) < 0.15)
          << t << ": " << tones[t].hz << " Hz, " << tones[t].seconds << " s";
    }
    // A pass is as long as the file's music; joined streams bring their encoders' padding too.
    EXPECT_NEAR(tones[parts].start - tones[0].start, 0.7 * parts, parts == 1 ? 0.02 : 0.25);
  }
}

// The music spoilt during a whole game (support/probe.cpp): Escape must still end it.
TEST(Files, MusicSpoiltDuringPlayNeverStopsTheGame) {
  const Make music = file(mp3(44100, 2, false, 440));  // a pass ends every 17 frames
  EXPECT_EQ(runGrumo("sound/music.mp3", music, "GRUMO_PROBE=spoil " + kProbe, "-s KILL 20").first,
            0);
}

// Six of the largest pictures and four of the largest effects at once stay far under 100 MB.
TEST(Files, CtrlCEndsAGameWithTheLargestPicturesAndEffectsAccepted) {
  // Made, and let go, before the run: a child counts what its parent held.
  const Make largest = [](const fs::path& dir) {
    for (const char* name : {"font", "font2", "background", "balloon", "fatman", "board"})
      magenta(maxImageSide, maxImageSide, 32)(dir / "gfx" / (name + ".bmp"s));
    file(wav({3, 64, 8, 384000, 5L * 384000, -1, true}))(dir / "sound/pop.wav");
    for (const char* name : {"splat", "studs", "win"}) {
      fs::remove(dir / "sound" / (name + ".wav"s));
      fs::create_hard_link(dir / "sound/pop.wav", dir / "sound" / (name + ".wav"s));
    }
  };
  // timeout says 124 when its SIGINT ended the game, 137 when it had to kill it.
  EXPECT_EQ(runGrumo("", largest, "", "-k 5 -s INT 4").first, 124);
}

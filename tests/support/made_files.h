// Sound and picture files made from a few bytes and the game's own assets,
// what the mixer gets from them, and the real game started on them.
#ifndef GRUMO_TESTS_MADE_FILES_H
#define GRUMO_TESTS_MADE_FILES_H

#include <SDL.h>

#include <filesystem>
#include <string>
#include <vector>

namespace made {

namespace fs = std::filesystem;

std::string bytesOf(const fs::path& path);
void write(const fs::path& path, const std::string& bytes);
// `count` bytes of `value`, lowest first.
std::string le(unsigned long value, int count);

// A WAV of a tone at half the full scale in channel `toned` (every channel
// when -1) and silence in the others.
struct Wav {
  int tag = 1;  // 1 integer, 3 float, 7 mu-law
  int bits = 16;
  int channels = 1;
  int rate = 44100;
  long frames = 11025;
  int toned = -1;
  bool extensible = false;  // WAVE_FORMAT_EXTENSIBLE, with the tag as its sub-format
  std::string before = "";  // chunks ahead of "fmt "
  double quiet = 0;         // what the other channels hold
};
std::string wav(const Wav& spec);

// An MP3 as LAME writes it: a tone of `hz` for 0.4 s, then 0.3 s of silence.
std::string mp3(int rate, int channels, bool vbr, int hz);

// The tones in 16-bit stereo at 44.1 kHz: runs of loud 10 ms blocks, with
// their pitch and each side's amplitude as a share of the full scale.
struct Tone {
  double start, seconds, hz, left, right;
};
std::vector<Tone> tonesIn(const Sint16* pcm, size_t frames);

// The game's data copied to a folder of its own, removed again at the end.
struct DataCopy {
  fs::path dir;
  DataCopy();
  ~DataCopy();
};

// The real game run in `dir` under the dummy drivers, killed after 10 s.
struct Outcome {
  int status;  // the exit status, or -1 when it was killed or died of a signal
  std::string err;
  long peakMegabytes;
};
Outcome runGrumo(const fs::path& dir, const std::vector<std::string>& env = {});

}  // namespace made

#endif

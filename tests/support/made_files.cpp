#include "made_files.h"

#include <fcntl.h>
#include <lame/lame.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

extern char** environ;

using namespace std::string_literals;

namespace made {

std::string bytesOf(const fs::path& path) {
  std::ostringstream all;
  all << std::ifstream(path, std::ios::binary).rdbuf();
  return all.str();
}

void write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string le(unsigned long value, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

namespace {

std::string chunk(const std::string& id, const std::string& body) {
  return id + le(body.size(), 4) + body + std::string(body.size() % 2, '\0');
}

std::string sample(double value, const Wav& spec) {
  if (spec.tag == 3 && spec.bits == 32) {
    const float single = static_cast<float>(value);
    return std::string(reinterpret_cast<const char*>(&single), 4);
  }
  if (spec.tag == 3) return std::string(reinterpret_cast<const char*>(&value), 8);
  if (spec.bits == 8) return std::string(1, static_cast<char>(std::lround(128 + value * 127)));
  return le(static_cast<unsigned long>(std::lround(value * ((1L << (spec.bits - 1)) - 1))),
            spec.bits / 8);
}

}  // namespace

std::string wav(const Wav& spec) {
  std::string data;
  for (long f = 0; f < spec.frames; ++f) {
    const double tone = 0.5 * std::sin(2 * M_PI * 440 * f / spec.rate);
    for (int c = 0; c < spec.channels; ++c)
      data += sample(spec.toned < 0 || spec.toned == c ? tone : spec.quiet, spec);
  }
  const int align = spec.channels * spec.bits / 8;
  std::string fmt = le(spec.extensible ? 0xfffe : spec.tag, 2) + le(spec.channels, 2) +
                    le(spec.rate, 4) + le(spec.rate * align, 4) + le(align, 2) + le(spec.bits, 2);
  // The sample format as a GUID, after the valid bits and an empty speaker mask.
  if (spec.extensible)
    fmt += le(22, 2) + le(spec.bits, 2) + le(0, 4) + le(spec.tag, 4) + le(0x100000, 4) +
           "\x80\x00\x00\xaa\x00\x38\x9b\x71"s;
  const std::string body = "WAVE" + spec.before + chunk("fmt ", fmt) + chunk("data", data);
  return "RIFF" + le(body.size(), 4) + body;
}

std::string mp3(int rate, int channels, bool vbr, int hz) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, rate);
  lame_set_out_samplerate(lame, rate);
  lame_set_num_channels(lame, channels);
  lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
  lame_set_VBR(lame, vbr ? vbr_default : vbr_off);
  lame_set_brate(lame, rate < 32000 ? 64 : 128);
  lame_set_quality(lame, 7);
  lame_init_params(lame);
  std::vector<short> pcm(rate * 7 / 10);
  for (int f = 0; f < rate * 4 / 10; ++f)
    pcm[f] = static_cast<short>(16384 * std::sin(2 * M_PI * hz * f / rate));
  std::vector<unsigned char> out(pcm.size() * 4 + 8192);
  int size = lame_encode_buffer(lame, pcm.data(), pcm.data(), pcm.size(), out.data(), out.size());
  size += lame_encode_flush(lame, out.data() + size, out.size() - size);
  // The first frame only makes room for the tag that says where the music starts and ends.
  lame_get_lametag_frame(lame, out.data(), out.size());
  lame_close(lame);
  return std::string(out.begin(), out.begin() + size);
}

std::vector<Tone> tonesIn(const Sint16* pcm, size_t frames) {
  const size_t block = 441;
  const double quiet = 0.02 * 32768;
  struct Run {
    size_t start, length;
    double power[2];
  };
  std::vector<Run> runs;
  for (size_t b = 0; b + block <= frames; b += block) {
    double power[2] = {0, 0};
    for (size_t f = b; f < b + block; ++f)
      for (int side = 0; side < 2; ++side) power[side] += std::pow(pcm[2 * f + side], 2);
    if (std::max(power[0], power[1]) < block * quiet * quiet) continue;
    if (runs.empty() || runs.back().start + runs.back().length < b) runs.push_back({b, 0, {0, 0}});
    runs.back().length += block;
    for (int side = 0; side < 2; ++side) runs.back().power[side] += power[side];
  }
  std::vector<Tone> tones;
  for (const Run& run : runs) {
    const int side = run.power[1] > run.power[0];
    // Half periods between the first and the last swing from one side of
    // zero to the other, past a margin that coding noise stays within.
    size_t first = 0, last = 0, crossings = 0;
    int sign = 0;
    for (size_t f = run.start; f < run.start + run.length; ++f) {
      const int now = pcm[2 * f + side] > 600 ? 1 : pcm[2 * f + side] < -600 ? -1 : sign;
      if (now == sign) continue;
      if (sign != 0 && crossings++ == 0) first = f;
      sign = now;
      last = f;
    }
    const double seconds = run.length / 44100.0;
    const double hz = crossings > 1 ? (crossings - 1) * 44100.0 / 2 / (last - first) : 0;
    tones.push_back({run.start / 44100.0, seconds, hz,
                     std::sqrt(2 * run.power[0] / run.length) / 32768,
                     std::sqrt(2 * run.power[1] / run.length) / 32768});
  }
  return tones;
}

DataCopy::DataCopy() {
  static int made = 0;
  dir = fs::temp_directory_path() /
        ("grumo-data-" + std::to_string(getpid()) + "-" + std::to_string(++made));
  fs::remove_all(dir);
  fs::copy(GRUMO_DATA_DIR, dir, fs::copy_options::recursive);
}

DataCopy::~DataCopy() { fs::remove_all(dir); }

Outcome runGrumo(const fs::path& dir, const std::vector<std::string>& env) {
  // The first of two settings of a name is the one a program sees.
  std::vector<std::string> settings;
  for (const std::string& setting : env)
    if (!setting.empty()) settings.push_back(setting);
  settings.insert(settings.end(), {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
  for (char** each = environ; *each; ++each) settings.push_back(*each);
  std::vector<char*> envp;
  for (std::string& setting : settings) envp.push_back(setting.data());
  envp.push_back(nullptr);
  const std::string err = (dir / "stderr.txt").string();
  char* argv[] = {const_cast<char*>(GRUMO_BINARY), nullptr};
  const pid_t child = fork();
  if (child == 0) {
    const int file = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0 || dup2(file, 2) < 0 || chdir(dir.c_str()) != 0) _exit(126);
    alarm(10);
    execve(GRUMO_BINARY, argv, envp.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(child, &status, 0, &usage);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, bytesOf(err), usage.ru_maxrss / 1024};
}

}  // namespace made

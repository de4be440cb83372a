#include <lame/lame.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

#include "assets.h"
#include "synth.h"

namespace {

Wave silence(double seconds) { return Wave(static_cast<size_t>(seconds * kRate), 0.0f); }

// Every effect ends on a short fade so a cut-off tail can't click.
Wave finish(Wave w) {
  const size_t n = std::min(w.size(), static_cast<size_t>(kRate / 200));
  for (size_t i = 0; i < n; ++i) w[w.size() - 1 - i] *= static_cast<float>(i) / n;
  return w;
}

// One-pole filters, enough to shape noise.
struct LowPass {
  double a, y = 0;
  explicit LowPass(double hz) : a(1.0 - std::exp(-kTau * hz / kRate)) {}
  double operator()(double x) { return y += a * (x - y); }
};

struct HighPass {
  LowPass lp;
  explicit HighPass(double hz) : lp(hz) {}
  double operator()(double x) { return x - lp(x); }
};

double noise(Rng& rng) { return rng.unit() * 2.0 - 1.0; }

}  // namespace

Wave makePop() {
  // Rubber snapping: a crack, a hiss of bright noise and a pip that drops in
  // pitch, all above the tune's lead, where the music leaves room to be heard.
  Wave w = silence(0.16);
  Rng rng{0x510e527f};
  HighPass hp(3000), hp2(3000);
  LowPass lp(8000);
  double phase = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double hiss = lp(hp2(hp(noise(rng)))) * std::exp(-t / 0.022);
    phase += (1500 + 2500 * std::exp(-t / 0.012)) / kRate;
    double pip = std::sin(kTau * phase) * std::exp(-t / 0.03);
    double crack = t < 0.002 ? noise(rng) : 0;
    w[i] = static_cast<float>(2.0 * hiss + 0.6 * pip + 0.6 * crack);
  }
  // Saturated, so its peak stays low while it keeps its weight.
  normalize(w, 0.0);
  for (float& s : w) s = static_cast<float>(std::tanh(2.0 * s));
  return finish(w);
}

Wave makeSplat() {
  // A body hitting the ground: a thump that sinks in pitch, a slap of muffled
  // noise and a few wet bubbles after.
  Wave w = silence(0.5);
  Rng rng{0x9b05688c};
  LowPass mud(700), mud2(700);
  double phase = 0;
  const double bubbleAt[5] = {0.035, 0.07, 0.115, 0.17, 0.24};
  const double bubbleHz[5] = {260, 330, 220, 300, 250};
  for (size_t i = 0; i < w.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    phase += (42 + 120 * std::exp(-t / 0.035)) / kRate;
    double thump = std::sin(kTau * phase) * (1 - std::exp(-t / 0.002)) * std::exp(-t / 0.11);
    double slap = mud2(mud(noise(rng))) * std::exp(-t / 0.06) * 3.0;
    double wet = 0;
    for (int k = 0; k < 5; ++k) {
      double u = t - bubbleAt[k];
      if (u < 0 || u > 0.05) continue;
      // A bubble rises in pitch as it closes.
      double f = bubbleHz[k] * (1 + 4 * u);
      wet += std::sin(kTau * f * u) * std::exp(-u / 0.012) * (1.0 - 0.15 * k);
    }
    w[i] = static_cast<float>(0.9 * thump + 0.6 * slap + 0.35 * wet);
  }
  return finish(w);
}

Wave makeStuds() {
  // Boing: the board's spring rings, rising and wobbling as it lets go.
  Wave w = silence(0.55);
  Rng rng{0x1f83d9ab};
  double phase = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    double t = static_cast<double>(i) / kRate;
    double f = 150 + 190 * (1 - std::exp(-t / 0.07));
    f *= 1 + 0.16 * std::sin(kTau * 15 * t) * std::exp(-t / 0.22);
    phase += f / kRate;
    double tone = std::sin(kTau * phase) + 0.35 * std::sin(2 * kTau * phase) +
                  0.12 * std::sin(3 * kTau * phase);
    double env = std::min(1.0, t / 0.002) * std::exp(-t / 0.16);
    double knock = t < 0.006 ? noise(rng) * (1 - t / 0.006) * 0.6 : 0;
    w[i] = static_cast<float>(tone * env + knock);
  }
  return finish(w);
}

Wave makeWin() {
  // Fanfare: a quick rising arpeggio into a held chord with vibrato. It swells
  // from soft, as it starts right on top of the last balloon's pops.
  struct Note {
    int midi;
    double start, length, level;
  };
  const Note notes[] = {
      {67, 0.00, 0.09, 0.4}, {72, 0.09, 0.09, 0.6},  {76, 0.18, 0.09, 0.8},  {79, 0.27, 0.09, 1.0},
      {84, 0.36, 0.70, 1.0}, {76, 0.36, 0.70, 0.45}, {79, 0.36, 0.70, 0.45},
  };
  Wave w = silence(1.3);
  for (const Note& n : notes) {
    double phase = 0;
    size_t from = static_cast<size_t>(n.start * kRate);
    size_t to = std::min(w.size(), static_cast<size_t>((n.start + n.length + 0.08) * kRate));
    for (size_t i = from; i < to; ++i) {
      double t = static_cast<double>(i - from) / kRate;
      double vib =
          n.length > 0.3 ? 1 + 0.006 * std::sin(kTau * 6 * t) * std::min(1.0, t / 0.15) : 1;
      double dt = midiHz(n.midi) * vib / kRate;
      phase += dt;
      phase -= std::floor(phase);
      double env = std::min(1.0, t / 0.004) * (0.75 + 0.25 * std::exp(-t / 0.05));
      if (t > n.length)
        env *= std::exp(-(t - n.length) / 0.02);
      else if (n.length > 0.3)
        env *= 1 - 0.5 * (t / n.length);
      w[i] += static_cast<float>(pulse(phase, dt, 0.25) * env * n.level * 0.4);
    }
  }
  // A short echo makes it ring like it was played in the tent.
  const size_t delay = static_cast<size_t>(0.11 * kRate);
  for (size_t i = w.size(); i-- > delay;) w[i] += 0.3f * w[i - delay];
  return finish(w);
}

namespace {

float peakOf(const Wave& w) {
  float peak = 0;
  for (float s : w) peak = std::max(peak, std::fabs(s));
  return peak;
}

void scale(Wave& w, float peak, double peakDb) {
  if (peak == 0) return;
  float gain = static_cast<float>(std::pow(10.0, peakDb / 20.0) / peak);
  for (float& s : w) s *= gain;
}

}  // namespace

void normalize(Wave& w, double peakDb) { scale(w, peakOf(w), peakDb); }

void normalize(Stereo& s, double peakDb) {
  float peak = std::max(peakOf(s.left), peakOf(s.right));
  scale(s.left, peak, peakDb);
  scale(s.right, peak, peakDb);
}

namespace {

std::vector<short> toPcm(const Wave& w) {
  std::vector<short> pcm(w.size());
  for (size_t i = 0; i < w.size(); ++i)
    pcm[i] = static_cast<short>(std::lround(std::clamp(w[i], -1.0f, 1.0f) * 32767.0f));
  return pcm;
}

}  // namespace

void saveWav(const Wave& w, const std::string& path) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  check(file, "cannot write " + path + ": " + sf_strerror(nullptr));
  std::vector<short> pcm = toPcm(w);
  const bool written = sf_write_short(file, pcm.data(), static_cast<sf_count_t>(pcm.size())) ==
                       static_cast<sf_count_t>(pcm.size());
  check(sf_close(file) == 0 && written, "failed writing " + path);
}

void saveMp3(const Stereo& s, const std::string& path) {
  std::vector<short> left = toPcm(s.left), right = toPcm(s.right);
  lame_global_flags* lame = lame_init();
  check(lame, "lame_init failed");
  lame_set_num_channels(lame, 2);
  lame_set_in_samplerate(lame, kRate);
  lame_set_out_samplerate(lame, kRate);
  lame_set_mode(lame, JOINT_STEREO);
  lame_set_brate(lame, 160);
  lame_set_quality(lame, 2);
  // The info frame tells the decoder how much silence the encoder added at
  // either end (its delay and padding), so that the loop can join without it.
  lame_set_bWriteVbrTag(lame, 1);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    throw std::runtime_error("lame_init_params failed");
  }
  std::vector<uint8_t> out(left.size() * 5 / 4 + 7200 + 16384);  // LAME's worst case
  int n = lame_encode_buffer(lame, left.data(), right.data(), static_cast<int>(left.size()),
                             out.data(), static_cast<int>(out.size()));
  int m = n < 0 ? n : lame_encode_flush(lame, out.data() + n, static_cast<int>(out.size()) - n);
  // Known only now, the info frame takes the place the encoder kept for it.
  const size_t tag = m < 0 ? 0 : lame_get_lametag_frame(lame, out.data(), out.size());
  lame_close(lame);
  check(n >= 0 && m >= 0 && tag > 0, "MP3 encoding failed");
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), n + m);
  check(file.flush().good(), "cannot write " + path);
}

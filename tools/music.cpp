#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

#include "assets.h"
#include "synth.h"

namespace {

// A galop in 2/4 at 150 beats a minute: 40 bars of eight sixteenths make
// exactly 32 seconds, 1225 MP3 frames of 1152 samples, so the encoder pads the
// end no more than it must. The tune runs on through the loop point: what
// sounds past the end is heard at the start, and its last bar climbs into its first.
constexpr int kStep = kRate / 10;  // one sixteenth
constexpr int kBars = 40;
constexpr int kStepsPerBar = 8;
constexpr size_t kLength = static_cast<size_t>(kBars) * kStepsPerBar * kStep;
static_assert(kLength % 1152 == 0, "the loop must end on an MP3 frame");

// One bar per entry: note and octave, then its length in sixteenths; r is a rest.
const char* const kMelody[kBars] = {
    // Intro: a chromatic creep up to the dominant.
    "G4/1 G#4/1 A4/1 A#4/1 B4/1 C5/1 C#5/1 D5/1",
    "D#5/1 E5/1 F5/1 F#5/1 G5/2 r/2",
    "G5/1 F#5/1 G5/1 F#5/1 G5/1 F#5/1 G5/1 A5/1",
    "B5/1 D6/1 F6/1 D6/1 G6/2 r/2",
    // The tune.
    "C5/2 E5/1 G5/1 C6/2 G5/2",
    "E6/2 D6/1 C6/1 G5/2 E5/2",
    "F5/2 A5/1 B5/1 D6/2 B5/2",
    "F6/2 E6/1 D6/1 B5/2 G5/2",
    "D6/1 C#6/1 D6/1 E6/1 F6/2 D6/2",
    "B5/1 A#5/1 B5/1 C6/1 D6/2 B5/2",
    "C6/2 G5/1 E5/1 C5/2 E5/2",
    "G5/2 E5/2 C5/2 r/2",
    // Again, turning to the subdominant.
    "C5/2 E5/1 G5/1 C6/2 G5/2",
    "E6/2 D6/1 C6/1 G5/2 E5/2",
    "F5/2 A5/1 C6/1 F6/2 C6/2",
    "A6/2 G6/1 F6/1 C6/2 A5/2",
    "G5/1 F#5/1 G5/1 A5/1 G5/2 E5/2",
    "D5/1 E5/1 F5/1 G5/1 B5/2 D6/2",
    "C6/2 E6/2 G6/2 E6/2",
    "C6/4 r/2 E5/1 E5/1",
    // The sneaky minor part: the evil twin's theme.
    "A5/1 r/1 E5/1 r/1 A5/1 B5/1 C6/2",
    "B5/1 A5/1 G#5/1 A5/1 E5/4",
    "G#5/1 r/1 E5/1 r/1 G#5/1 A5/1 B5/2",
    "D6/1 C6/1 B5/1 C6/1 B5/2 G#5/2",
    "A5/1 r/1 C6/1 r/1 E6/2 C6/2",
    "F6/1 E6/1 D6/1 C6/1 A5/2 D6/2",
    "B5/1 A5/1 G#5/1 F5/1 E5/2 G#5/2",
    "A5/4 r/3 C5/1",
    // Trio and the big finish.
    "A5/2 C6/1 F6/1 A6/2 F6/2",
    "G6/1 F6/1 E6/1 F6/1 C6/4",
    "G5/2 C6/1 E6/1 G6/2 E6/2",
    "F6/1 E6/1 D#6/1 E6/1 C6/4",
    "F#5/2 A5/1 C6/1 D6/2 F#6/2",
    "G6/1 F6/1 E6/1 D6/1 B5/2 G5/2",
    "C6/1 B5/1 C6/1 D6/1 E6/2 G6/2",
    "F6/1 E6/1 D6/1 C6/1 B5/2 G5/2",
    "E5/1 G5/1 C6/1 E6/1 G6/2 E6/2",
    "F6/1 D6/1 B5/1 G5/1 F5/2 D5/2",
    "C6/3 r/1 C5/2 r/2",
    "r/4 D4/1 E4/1 F4/1 F#4/1",
};

// Oom-pah accompaniment; a trailing '-' keeps the bass and drops the chords.
const char* const kChords[kBars] = {
    "G7-", "G7-", "G7", "G7", "C",  "C",  "G7", "G7", "G7", "G7", "C",  "C",   "C",  "C",
    "F",   "F",   "C",  "G7", "C",  "C",  "Am", "Am", "E7", "E7", "Am", "Dm",  "E7", "Am",
    "F",   "F",   "C",  "C",  "D7", "G7", "C",  "G7", "C",  "G7", "C",  "G7-",
};

// k kick, h hat, s snare, x crash with kick; one character a sixteenth.
const char* const kDrums[kBars] = {
    "k...k...", "k...k.s.", "k.h.k.h.", "k.s.ssss", "x.h.k.h.", "k.h.k.h.", "k.h.k.h.", "k.h.k.h.",
    "k.h.k.h.", "k.h.k.h.", "k.h.k.h.", "k.h.k.ss", "x.h.k.h.", "k.h.k.h.", "k.h.k.h.", "k.h.k.h.",
    "k.h.k.h.", "k.h.k.h.", "k.h.k.h.", "k.h.s.ss", "x.h.k.h.", "k.h.k.h.", "k.h.k.h.", "k.h.k.h.",
    "k.h.k.h.", "k.h.k.h.", "k.h.k.h.", "k.s.ssss", "x.h.k.h.", "k.h.k.h.", "k.h.k.h.", "k.h.k.h.",
    "k.h.k.h.", "k.h.k.h.", "k.h.k.h.", "k.h.ssss", "x.h.k.h.", "k.h.k.h.", "x...k...", "k.ssssss",
};

struct Chord {
  int root, fifth;  // bass notes for the two beats
  int stab[3];      // the "pah" on the off-beats
};

const std::map<std::string, Chord> kChordNotes = {
    {"C", {48, 43, {64, 67, 72}}},  {"G7", {43, 50, {65, 67, 71}}}, {"F", {41, 48, {65, 69, 72}}},
    {"Am", {45, 40, {64, 69, 72}}}, {"E7", {40, 47, {62, 68, 71}}}, {"Dm", {50, 45, {65, 69, 74}}},
    {"D7", {50, 45, {66, 69, 72}}},
};

struct Note {
  int midi;
  size_t start, length;  // samples
};

int parsePitch(const std::string& s) {
  static const int semis[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  if (s.size() < 2 || s[0] < 'A' || s[0] > 'G') throw std::logic_error("bad note " + s);
  int n = semis[s[0] - 'A'];
  size_t i = 1;
  if (s[i] == '#') ++n, ++i;
  if (s[i] == 'b') --n, ++i;
  return n + 12 * (std::stoi(s.substr(i)) + 1);
}

std::vector<Note> melody() {
  std::vector<Note> notes;
  for (int bar = 0; bar < kBars; ++bar) {
    std::istringstream in(kMelody[bar]);
    std::string tok;
    int step = 0;
    while (in >> tok) {
      size_t slash = tok.find('/');
      int len = std::stoi(tok.substr(slash + 1));
      std::string pitch = tok.substr(0, slash);
      if (pitch != "r")
        notes.push_back({parsePitch(pitch), static_cast<size_t>(bar * kStepsPerBar + step) * kStep,
                         static_cast<size_t>(len) * kStep});
      step += len;
    }
    if (step != kStepsPerBar) throw std::logic_error("bar " + std::to_string(bar + 1) + " is off");
  }
  return notes;
}

enum class Shape { kPulse25, kPulse50, kTriangle };

// Chip voice: fixed-shape oscillator, quick attack, a little decay, gated short
// of the full length so repeated notes stay separate.
void play(Wave& out, const Note& n, Shape shape, double level, double gate, double decay,
          bool vibrato) {
  const size_t held = static_cast<size_t>(n.length * gate);
  const size_t release = kRate / 40;
  const double hz = midiHz(n.midi);
  double phase = 0;
  for (size_t i = 0; i < held + release; ++i) {
    double t = static_cast<double>(i) / kRate;
    double f = hz;
    if (vibrato && t > 0.12) f *= 1 + 0.005 * std::sin(kTau * 5.5 * (t - 0.12));
    double dt = f / kRate;
    phase += dt;
    phase -= std::floor(phase);
    double v = shape == Shape::kTriangle ? triangle(phase)
                                         : pulse(phase, dt, shape == Shape::kPulse25 ? 0.25 : 0.5);
    double env = std::min(1.0, t / 0.004) * (0.7 + 0.3 * std::exp(-t / decay));
    if (i >= held) env *= 1.0 - static_cast<double>(i - held) / release;
    out[(n.start + i) % out.size()] += static_cast<float>(v * env * level);
  }
}

void drum(Wave& out, char kind, size_t at, Rng& rng) {
  double phase = 0, lp = 0, hpPrev = 0, hpOut = 0;
  const double len = kind == 'x' ? 1.0 : kind == 'k' ? 0.2 : kind == 's' ? 0.14 : 0.05;
  const size_t count = static_cast<size_t>(len * kRate);
  for (size_t i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / kRate;
    double fade = 1.0 - t / len;
    double noise = rng.unit() * 2 - 1;
    // First-order high-pass to keep the cymbals off the bass.
    hpOut = 0.7 * (hpOut + noise - hpPrev);
    hpPrev = noise;
    double v = 0;
    if (kind == 'k' || kind == 'x') {
      phase += (50 + 90 * std::exp(-t / 0.03)) / kRate;
      v += 0.42 * std::sin(kTau * phase) * std::exp(-t / 0.09) *
           (kind == 'k' ? 1 : std::exp(-t / 0.2));
    }
    if (kind == 'x') v += 0.22 * hpOut * std::exp(-t / 0.3);
    if (kind == 'h') v += 0.16 * hpOut * std::exp(-t / 0.012);
    if (kind == 's') {
      lp += 0.5 * (noise - lp);
      phase += 185.0 / kRate;
      v += (0.3 * lp + 0.12 * std::sin(kTau * phase)) * std::exp(-t / 0.045);
    }
    out[(at + i) % out.size()] += static_cast<float>(v * fade);
  }
}

}  // namespace

Stereo makeMusic() {
  // Three mono buses, panned at the end: the echo answers from the right.
  Wave lead(kLength, 0.0f), band(kLength, 0.0f), stabs(kLength, 0.0f);
  for (const Note& n : melody())
    play(lead, n, Shape::kPulse25, 0.26, 0.85, 0.06, n.length >= 3 * static_cast<size_t>(kStep));

  for (int bar = 0; bar < kBars; ++bar) {
    std::string name = kChords[bar];
    bool withStabs = name.back() != '-';
    if (!withStabs) name.pop_back();
    const Chord& c = kChordNotes.at(name);
    size_t at = static_cast<size_t>(bar) * kStepsPerBar * kStep;
    play(band, {c.root, at, 2 * kStep}, Shape::kTriangle, 0.36, 0.7, 0.08, false);
    play(band, {c.fifth, at + 4 * kStep, 2 * kStep}, Shape::kTriangle, 0.36, 0.7, 0.08, false);
    if (!withStabs) continue;
    for (size_t off : {2, 6})
      for (int note : c.stab)
        play(stabs, {note, at + off * kStep, 2 * kStep}, Shape::kPulse50, 0.055, 0.45, 0.03, false);
  }

  Rng rng{0xa54ff53a};
  for (int bar = 0; bar < kBars; ++bar)
    for (int s = 0; s < kStepsPerBar; ++s)
      if (kDrums[bar][s] != '.')
        drum(band, kDrums[bar][s], (static_cast<size_t>(bar) * kStepsPerBar + s) * kStep, rng);

  // The lead comes back a dotted eighth later, softer: an old chip-music echo.
  const size_t echo = 3 * kStep;
  Stereo out{Wave(kLength), Wave(kLength)};
  for (size_t i = 0; i < kLength; ++i) {
    float e = 0.28f * lead[(i + kLength - echo) % kLength];
    out.left[i] = 0.9f * lead[i] + 0.45f * e + 0.8f * band[i] + 0.6f * stabs[i];
    out.right[i] = 0.7f * lead[i] + 0.9f * e + 0.8f * band[i] + 0.85f * stabs[i];
  }
  return out;
}

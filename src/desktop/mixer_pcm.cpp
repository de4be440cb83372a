#include "mixer_pcm.h"

#include <SDL_mixer.h>
#include <samplerate.h>

#include <algorithm>
#include <cmath>

bool queryMixer(MixerFormat& mixer) {
  if (!Mix_QuerySpec(&mixer.rate, &mixer.format, &mixer.channels)) return false;
  const int bits = mixer.format & 0xff;
  return (bits == 8 || bits == 16) && mixer.channels >= 1 && mixer.rate >= lowestRate &&
         mixer.rate <= highestRate;
}

int bytesPerFrame(const MixerFormat& mixer) { return (mixer.format & 0xff) / 8 * mixer.channels; }

namespace {

// Float files may hold anything, infinities and NaN included.
float clean(float value) {
  if (!std::isfinite(value)) return 0.0f;
  return std::clamp(value, -1.0f, 1.0f);
}

// One sample in SDL's encoding: 8 or 16 bits, signed or not, either byte order.
void writeSample(float value, Uint16 format, Uint8* out) {
  const bool wide = (format & 0xff) == 16;
  const long top = wide ? 32767 : 127;
  long sample = std::clamp(std::lrint(clean(value) * top), -top - 1, top);
  if (!(format & 0x8000)) sample += top + 1;
  if (!wide) {
    out[0] = static_cast<Uint8>(sample);
    return;
  }
  const bool bigEndian = format & 0x1000;
  out[bigEndian ? 0 : 1] = static_cast<Uint8>((sample >> 8) & 0xff);
  out[bigEndian ? 1 : 0] = static_cast<Uint8>(sample & 0xff);
}

}  // namespace

void writeSilence(Uint8* out, size_t bytes, const MixerFormat& mixer) {
  const size_t sampleBytes = (mixer.format & 0xff) / 8;
  for (size_t at = 0; at + sampleBytes <= bytes; at += sampleBytes)
    writeSample(0.0f, mixer.format, out + at);
}

ToMixer::ToMixer(const MixerFormat& mixer) : mixer(mixer), channels(mixer.channels == 1 ? 1 : 2) {}

ToMixer::~ToMixer() {
  if (resampler) src_delete(resampler);
}

bool ToMixer::push(const float* samples, size_t frames, int inChannels, int rate) {
  if (inChannels < 1 || rate < lowestRate || rate > highestRate) return false;
  // Mono goes to every side; anything else is averaged when the sides differ
  // in number, which keeps every channel and never clips.
  mixed.resize(frames * channels);
  for (size_t f = 0; f < frames; ++f) {
    const float* in = samples + f * inChannels;
    float* out = &mixed[f * channels];
    if (inChannels == channels || inChannels == 1) {
      for (int c = 0; c < channels; ++c) out[c] = clean(in[inChannels == 1 ? 0 : c]);
      continue;
    }
    float sum = 0.0f;
    for (int c = 0; c < inChannels; ++c) sum += clean(in[c]);
    std::fill(out, out + channels, sum / inChannels);
  }
  // Sound at the mixer's rate passes untouched until another rate comes;
  // from then on the resampler stays, so that its history is never cut off.
  if (!resampler && rate == mixer.rate) {
    done.insert(done.end(), mixed.begin(), mixed.end());
    return true;
  }
  int error = 0;
  if (!resampler && !(resampler = src_new(SRC_SINC_FASTEST, channels, &error))) return false;
  const double wanted = static_cast<double>(mixer.rate) / rate;
  if (wanted != ratio && src_set_ratio(resampler, wanted) != 0) return false;
  ratio = wanted;
  return resample(mixed.data(), frames, false);
}

bool ToMixer::resample(const float* samples, size_t frames, bool last) {
  const long room = 4096;
  SRC_DATA data{};
  data.data_in = samples;
  data.input_frames = static_cast<long>(frames);
  data.src_ratio = ratio;
  data.end_of_input = last;
  for (;;) {
    const size_t at = done.size();
    done.resize(at + room * channels);
    data.data_out = &done[at];
    data.output_frames = room;
    const int error = src_process(resampler, &data);
    done.resize(at + (error ? 0 : data.output_frames_gen * channels));
    if (error) return false;
    data.data_in += data.input_frames_used * channels;
    data.input_frames -= data.input_frames_used;
    if (data.input_frames > 0) {
      if (data.input_frames_used == 0 && data.output_frames_gen == 0) return false;
      continue;
    }
    if (last ? data.output_frames_gen == 0 : data.output_frames_gen < room) return true;
  }
}

void ToMixer::finish() {
  const float none[2] = {0.0f, 0.0f};
  if (resampler) resample(none, 0, true);
}

size_t ToMixer::ready() const { return done.size() / channels * bytesPerFrame(mixer); }

size_t ToMixer::pull(Uint8* out, size_t bytes) {
  const int frameBytes = bytesPerFrame(mixer);
  const int sampleBytes = frameBytes / mixer.channels;
  const size_t frames = std::min(bytes / frameBytes, done.size() / channels);
  for (size_t f = 0; f < frames; ++f)
    for (int c = 0; c < mixer.channels; ++c)
      writeSample(c < channels ? done[f * channels + c] : 0.0f, mixer.format,
                  out + f * frameBytes + c * sampleBytes);
  done.erase(done.begin(), done.begin() + frames * channels);
  return frames * frameBytes;
}

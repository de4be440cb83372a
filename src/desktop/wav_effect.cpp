// Sound effects from WAV files: decoded by libsndfile, resampled and mixed
// down here, and handed to SDL_mixer as finished PCM it only has to play.
#include <SDL_mixer.h>
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mixer_pcm.h"
#include "sound_files.h"

namespace {

// Effects are short sounds. A longer one is refused before it is decoded:
// four of the longest, at the highest rate with the most channels, are read
// and resampled in well under a second and hold a few megabytes.
const int longestEffectSeconds = 5;
const size_t mostEffectBytes = 16 << 20;
// 7.1 is the most a recording has; more is no sound effect.
const int mostChannels = 8;
const size_t blockFrames = 4096;

// libsndfile reads many kinds of file; only a WAV reaches it, so that no
// other parser of its ever sees a data file.
bool startsLikeWave(const char* path) {
  unsigned char head[12] = {0};
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  const bool read = std::fread(head, 1, sizeof head, file) == sizeof head;
  std::fclose(file);
  return read && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
}

// Integer and float samples only: the other codecs a WAV may carry (ADPCM,
// GSM, MP3...) are no sound effect of this game's.
bool isPlayable(const SF_INFO& info) {
  const int encoding = info.format & SF_FORMAT_SUBMASK;
  const bool plain = encoding == SF_FORMAT_PCM_U8 || encoding == SF_FORMAT_PCM_16 ||
                     encoding == SF_FORMAT_PCM_24 || encoding == SF_FORMAT_PCM_32 ||
                     encoding == SF_FORMAT_FLOAT || encoding == SF_FORMAT_DOUBLE;
  return plain && info.channels >= 1 && info.channels <= mostChannels &&
         info.samplerate >= lowestRate && info.samplerate <= highestRate &&
         info.frames <= static_cast<sf_count_t>(longestEffectSeconds) * info.samplerate;
}

Mix_Chunk* decode(SNDFILE* file, const SF_INFO& info, const MixerFormat& mixer) {
  // Room for all the resampler makes of the file, with a block to spare.
  const size_t frames =
      static_cast<size_t>(info.frames) * mixer.rate / info.samplerate + blockFrames;
  const size_t capacity = frames * bytesPerFrame(mixer);
  if (capacity > mostEffectBytes) return nullptr;
  auto* pcm = static_cast<Uint8*>(std::malloc(capacity));
  if (!pcm) return nullptr;
  ToMixer out(mixer);
  std::vector<float> block(blockFrames * info.channels);
  size_t filled = 0;
  bool ok = true;
  sf_count_t got = 0;
  while (ok && filled < capacity && (got = sf_readf_float(file, block.data(), blockFrames)) > 0) {
    ok = out.push(block.data(), static_cast<size_t>(got), info.channels, info.samplerate);
    filled += out.pull(pcm + filled, capacity - filled);
  }
  out.finish();
  filled += out.pull(pcm + filled, capacity - filled);
  Mix_Chunk* chunk =
      ok && filled > 0 ? Mix_QuickLoad_RAW(pcm, static_cast<Uint32>(filled)) : nullptr;
  if (!chunk) {
    std::free(pcm);
    return nullptr;
  }
  chunk->allocated = 1;  // the chunk owns its samples
  return chunk;
}

}  // namespace

Mix_Chunk* loadEffect(const char* path) {
  MixerFormat mixer;
  if (!queryMixer(mixer) || !startsLikeWave(path)) return nullptr;
  SF_INFO info{};
  SNDFILE* file = sf_open(path, SFM_READ, &info);
  if (!file) return nullptr;
  Mix_Chunk* chunk = isPlayable(info) ? decode(file, info, mixer) : nullptr;
  sf_close(file);
  return chunk;
}

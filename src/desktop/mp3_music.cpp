#include "mp3_music.h"

#include <SDL_mixer.h>
#include <mpg123.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "sound_files.h"

namespace {

// Frames in a row that give no sound (tags, the encoder's info frame, a
// change of format) before a stream counts as ended.
const int mostSilentFrames = 64;
// Junk between frames that the decoder looks past before it gives up.
const long resyncBytes = 1 << 16;
// A pass shorter than this is no tune to loop: it plays once, then silence,
// so that a file of almost no sound never keeps the audio thread rewinding.
const int shortestPassMs = 100;

// libmpg123 looks far past anything it cannot play for something it can, and
// finds that in a WAV or a picture too. Music starts with an MPEG audio frame
// header (11 sync bits, a known version, layer, bit rate and sampling rate),
// after the ID3v2 tags if there are any: each a 10-byte header, a body whose
// size is kept in 7-bit bytes, and a 10-byte footer when its flags say so.
bool startsWithFrame(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  unsigned char head[10] = {0};
  long at = 0;
  bool read = false;
  while ((read = std::fseek(file, at, SEEK_SET) == 0 && std::fread(head, 1, 10, file) == 10) &&
         std::memcmp(head, "ID3", 3) == 0 && !((head[6] | head[7] | head[8] | head[9]) & 0x80))
    at += 10 + (head[6] << 21 | head[7] << 14 | head[8] << 7 | head[9]) + (head[5] & 0x10 ? 10 : 0);
  std::fclose(file);
  return read && head[0] == 0xff && (head[1] & 0xe0) == 0xe0 && (head[1] & 0x18) != 0x08 &&
         (head[1] & 0x06) != 0 && (head[2] & 0xf0) != 0xf0 && (head[2] & 0x0c) != 0x0c;
}

void feed(void* music, Uint8* stream, int bytes) {
  static_cast<MusicSource*>(music)->mix(stream, bytes, Mix_VolumeMusic(-1));
}

}  // namespace

MusicSource::MusicSource(const char* path, const MixerFormat& mixer)
    : path(path), mixer(mixer), pcm(mixer) {}

MusicSource::~MusicSource() {
  if (Mix_GetMusicHookData() == this) Mix_HookMusic(nullptr, nullptr);
  if (decoder) mpg123_delete(decoder);
}

// Decodes to float at each frame's own rate and channels, which may change
// midway; tags are skipped, not read, however large they claim to be, and
// nothing is printed. The file stays open for the whole run: every pass
// rewinds it, so nothing done to the file afterwards reaches the audio thread.
bool MusicSource::open() {
  decoder = mpg123_new(nullptr, nullptr);
  if (!decoder) return false;
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  bool ok = mpg123_format_none(decoder) == MPG123_OK;
  for (size_t i = 0; ok && i < count; ++i)
    ok = mpg123_format(decoder, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32) ==
         MPG123_OK;
  return ok &&
         mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2, 0) ==
             MPG123_OK &&
         mpg123_param(decoder, MPG123_REMOVE_FLAGS, MPG123_AUTO_RESAMPLE, 0) == MPG123_OK &&
         mpg123_param(decoder, MPG123_RESYNC_LIMIT, resyncBytes, 0) == MPG123_OK &&
         mpg123_open(decoder, path.c_str()) == MPG123_OK;
}

int MusicSource::decodeFrame() {
  off_t number = 0;
  unsigned char* audio = nullptr;
  size_t bytes = 0;
  const int result = mpg123_decode_frame(decoder, &number, &audio, &bytes);
  if (result == MPG123_NEW_FORMAT) {
    int encoding = 0;
    return mpg123_getformat(decoder, &rate, &channels, &encoding) == MPG123_OK ? 0 : -1;
  }
  if (result != MPG123_OK || channels < 1) return -1;
  const size_t frames = bytes / (sizeof(float) * channels);
  if (frames == 0) return 0;
  const size_t before = pcm.ready();
  if (!pcm.push(reinterpret_cast<const float*>(audio), frames, channels, rate)) return -1;
  passBytes += pcm.ready() - before;
  return 1;
}

bool MusicSource::rewind() {
  const size_t shortest = static_cast<size_t>(mixer.rate) * shortestPassMs / 1000;
  const bool again = looping && passBytes >= shortest * bytesPerFrame(mixer);
  passBytes = 0;
  return again && mpg123_seek(decoder, 0, SEEK_SET) >= 0;
}

bool MusicSource::startsWithMusic() {
  if (!open()) return false;
  for (int silent = 0; silent < mostSilentFrames && pcm.ready() == 0; ++silent)
    if (decodeFrame() < 0) return false;
  return pcm.ready() > 0;
}

void MusicSource::fill(Uint8* out, int bytes) {
  int silent = 0;
  while (!ended && pcm.ready() < static_cast<size_t>(bytes)) {
    const int got = decodeFrame();
    if (got > 0) silent = 0;
    if (got > 0 || (got == 0 && ++silent < mostSilentFrames)) continue;
    silent = 0;
    if (rewind()) continue;
    ended = true;
    pcm.finish();
  }
  const size_t filled = pcm.pull(out, bytes);
  writeSilence(out + filled, bytes - filled, mixer);
}

void MusicSource::mix(Uint8* out, int bytes, int volume) {
  if (volume >= MIX_MAX_VOLUME) return fill(out, bytes);
  unmixed.resize(static_cast<size_t>(bytes));
  fill(unmixed.data(), bytes);
  writeSilence(out, static_cast<size_t>(bytes), mixer);
  SDL_MixAudio(out, unmixed.data(), static_cast<Uint32>(bytes), volume);
}

MusicSource* openMusic(const char* path) {
  MixerFormat mixer;
  if (!queryMixer(mixer) || !startsWithFrame(path)) return nullptr;
  auto music = std::make_unique<MusicSource>(path, mixer);
  return music->startsWithMusic() ? music.release() : nullptr;
}

bool playMusic(MusicSource* music, bool looping) {
  SDL_LockAudio();
  music->looping = looping;
  SDL_UnlockAudio();
  Mix_HookMusic(feed, music);
  return true;
}

// libFuzzer target: the three loaders a data file reaches (pictures, sound
// effects, music) on arbitrary bytes. GRUMO_FUZZ picks one: image, sample
// or music. Built and run by fuzz.sh.
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SDLFunctions.h"
#include "fsound.h"
#include "mp3_music.h"
#include "sound_files.h"

namespace {

std::string path;
std::string loader;

void removeFile() { std::remove(path.c_str()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const char* chosen = std::getenv("GRUMO_FUZZ");
  loader = chosen ? chosen : "image";
  path = "/tmp/grumo-fuzz-" + std::to_string(getpid());
  std::atexit(removeFile);
  SDL_Init(SDL_INIT_NOPARACHUTE);
  if (!FSOUND_Init(44100, 64, 0)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
  if (loader == "image") {
    SDL_FreeSurface(loadBMP(path.c_str()));
  } else if (loader == "sample") {
    if (Mix_Chunk* effect = loadEffect(path.c_str())) Mix_FreeChunk(effect);
  } else if (MusicSource* music = openMusic(path.c_str())) {
    // Half a second, as the mixer asks for it: enough to loop a short file.
    std::vector<Uint8> buffer(4096);
    music->looping = true;
    for (int i = 0; i < 24; ++i) music->fill(buffer.data(), static_cast<int>(buffer.size()));
    delete music;
  }
  return 0;
}

// libFuzzer target: the loaders a data file reaches, on arbitrary bytes.
// GRUMO_FUZZ picks one: image, reader (the browser's BMP reader), sample or
// music. Built and run by fuzz.sh.
#include <SDL.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "SDLFunctions.h"
#include "bmp_reader.h"
#include "fsound.h"
#include "mp3_music.h"
#include "sound_files.h"

static const std::string path = "/tmp/grumo-fuzz-" + std::to_string(getpid());

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::atexit(SDL_Quit);  // the mixer's thread stops before the libraries go
  return SDL_Init(SDL_INIT_NOPARACHUTE) || !FSOUND_Init(44100, 64, 0);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string loader = getenv("GRUMO_FUZZ");
  if (loader == "reader") {
    BmpImage image;
    return decodeBmp(std::vector<std::uint8_t>(data, data + size), image).size() * 0;
  }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
  if (loader == "image") SDL_FreeSurface(loadBMP(path.c_str()));
  if (Mix_Chunk* effect = loader == "sample" ? loadEffect(path.c_str()) : nullptr)
    Mix_FreeChunk(effect);
  if (MusicSource* music = loader == "music" ? openMusic(path.c_str()) : nullptr) {
    // Half a second, as the mixer asks for it: enough to loop a short file.
    Uint8 buffer[4096];
    music->looping = true;
    for (int i = 0; i < 24; ++i) music->fill(buffer, sizeof buffer);
    delete music;
  }
  return unlink(path.c_str()) * 0;
}

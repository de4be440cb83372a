// The browser's SDL_LoadBMP_RW decodes 32-bit BMPs wrongly and makes canvas
// surfaces, so images are read from the packed files and decoded here into
// memory surfaces. A reader of that SDL is only a number standing for a file
// name.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bmp_reader.h"

extern "C" int web_reader_path(SDL_RWops* reader, char* path, int size);

namespace {

// In one read: block by block, each 4 KB was a call out to the browser's
// file system and a longer copy of what had come, a fifth of start-up.
bool readFile(const char* path, std::vector<std::uint8_t>& bytes) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
  bool ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  return ok;
}

SDL_Surface* makeSurface(const BmpImage& image) {
  SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, image.width, image.height, 32,
                                              0x000000ff, 0x0000ff00, 0x00ff0000, 0xff000000);
  if (!surface) return nullptr;
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
  for (int y = 0; y < image.height; ++y)
    std::memcpy(static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch,
                &image.rgba[y * rowBytes], rowBytes);
  return surface;
}

}  // namespace

extern "C" SDL_Surface* SDL_LoadBMP_RW(SDL_RWops* src, int freesrc) {
  char path[1024];
  const bool named = src && web_reader_path(src, path, sizeof path);
  if (src && freesrc) SDL_FreeRW(src);
  std::vector<std::uint8_t> bytes;
  BmpImage image;
  if (!named) return SDL_SetError("the reader names no file"), nullptr;
  if (!readFile(path, bytes)) return SDL_SetError("%s cannot be read", path), nullptr;
  const std::string problem = decodeBmp(bytes, image);
  if (!problem.empty()) return SDL_SetError("%s", problem.c_str()), nullptr;
  SDL_Surface* surface = makeSurface(image);
  if (!surface) SDL_SetError("out of memory");
  return surface;
}

// make_assets <data dir> [<icon dir>]: writes every picture and sound of the game.
// The output depends on nothing but this code, so the committed files can be
// checked by making them again and comparing bytes.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "assets.h"

namespace {

void makeDir(const std::string& path) { std::filesystem::create_directories(path); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s <data dir> [<icon dir>]\n", argv[0]);
    return 2;
  }
  try {
    const std::string data = argv[1];
    makeDir(data);
    makeDir(data + "/gfx");
    makeDir(data + "/sound");
    // The backdrop and the glyph sheets are blitted as loaded, so they get the
    // screen's own 32-bit layout; the sprite sheets are converted on load anyway.
    writeFile(data + "/gfx/font.bmp", encodeBmp(makeFont(lightFont()), 32));
    writeFile(data + "/gfx/font2.bmp", encodeBmp(makeFont(evilFont()), 32));
    writeFile(data + "/gfx/background.bmp", encodeBmp(makeBackground(), 32));
    writeFile(data + "/gfx/balloon.bmp", encodeBmp(makeBalloons(), 24));
    writeFile(data + "/gfx/fatman.bmp", encodeBmp(makeJumper(), 24));
    writeFile(data + "/gfx/board.bmp", encodeBmp(makeBoard(), 24));

    struct {
      const char* name;
      Wave (*make)();
    } effects[] = {{"pop", makePop}, {"splat", makeSplat}, {"studs", makeStuds}, {"win", makeWin}};
    for (auto& e : effects) {
      Wave w = e.make();
      normalize(w, -2.0);
      writeFile(data + "/sound/" + e.name + ".wav", encodeWav(w));
    }
    // Quieter than the effects so a pop or a splat always cuts through.
    Stereo music = makeMusic();
    normalize(music, -9.0);
    writeFile(data + "/sound/music.mp3", encodeMp3(music));

    if (argc == 3) {
      const std::string icons = argv[2];
      makeDir(icons);
      writeFile(icons + "/grumo.png", encodePng(makeIcon(128)));
      writeFile(icons + "/grumo-48.png", encodePng(makeIcon(48)));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_assets: %s\n", e.what());
    return 1;
  }
  return 0;
}

// make_assets <data dir> [<icon dir>]: writes every picture and sound of the game.
// The output depends on nothing but this code and the libraries that write the
// files, so the committed files can be checked by making them again.
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
    saveBmp(makeFont(lightFont()), data + "/gfx/font.bmp");
    saveBmp(makeFont(evilFont()), data + "/gfx/font2.bmp");
    saveBmp(makeBackground(), data + "/gfx/background.bmp");
    saveBmp(makeBalloons(), data + "/gfx/balloon.bmp");
    saveBmp(makeJumper(), data + "/gfx/fatman.bmp");
    saveBmp(makeBoard(), data + "/gfx/board.bmp");

    // Peaks in dBFS. The loudest moment of play, the music with a landing still
    // sounding, four pops in one frame and the fanfare right after, must not
    // clip: so the pops and the fanfare stay low, the landing and the splat,
    // heard most often, stay loud.
    struct {
      const char* name;
      Wave (*make)();
      double peakDb;
    } effects[] = {{"pop", makePop, -18.0},
                   {"splat", makeSplat, -2.0},
                   {"studs", makeStuds, -2.0},
                   {"win", makeWin, -8.0}};
    for (auto& e : effects) {
      Wave w = e.make();
      normalize(w, e.peakDb);
      saveWav(w, data + "/sound/" + e.name + ".wav");
    }
    Stereo music = makeMusic();
    normalize(music, -12.0);
    saveMp3(music, data + "/sound/music.mp3");

    if (argc == 3) {
      const std::string icons = argv[2];
      makeDir(icons);
      savePng(makeIcon(128), icons + "/grumo.png");
      savePng(makeIcon(48), icons + "/grumo-48.png");
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_assets: %s\n", e.what());
    return 1;
  }
  return 0;
}

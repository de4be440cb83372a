// make_assets <data dir>: writes every picture, sound and icon of the game.
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
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <data dir>\n", argv[0]);
    return 2;
  }
  try {
    const std::string data = argv[1];
    makeDir(data);
    makeDir(data + "/gfx");
    makeDir(data + "/sound");
    makeDir(data + "/icons");
    saveBmp(makeFont(lightFont()), data + "/gfx/font.bmp");
    saveBmp(makeFont(evilFont()), data + "/gfx/font2.bmp");
    saveBmp(makeBackground(), data + "/gfx/background.bmp");
    saveBmp(makeBalloons(), data + "/gfx/balloon.bmp");
    saveBmp(makeJumper(), data + "/gfx/fatman.bmp");
    saveBmp(makeBoard(), data + "/gfx/board.bmp");

    // Peaks in dBFS, chosen for the loudest 50 ms of each: the pop and the
    // fanfare some 12 dB over the music, the landing and the splat, heard
    // most often, some 4 dB more. Four pops in one frame play as one, so the
    // pop need not be kept low for them.
    struct {
      const char* name;
      Wave (*make)();
      double peakDb;
    } effects[] = {{"pop", makePop, -6.0},
                   {"splat", makeSplat, -5.5},
                   {"studs", makeStuds, -6.0},
                   {"win", makeWin, -6.0}};
    for (auto& e : effects) {
      Wave w = e.make();
      normalize(w, e.peakDb);
      saveWav(w, data + "/sound/" + e.name + ".wav");
    }
    Stereo music = makeMusic();
    normalize(music, -12.0);
    saveMp3(music, data + "/sound/music.mp3");

    for (int size : {48, 128})
      savePng(makeMenuIcon(size), data + "/icons/grumo-" + std::to_string(size) + ".png");
    for (int size : {192, 512})
      savePng(makeHomeScreenIcon(size), data + "/icons/maskable-" + std::to_string(size) + ".png");
    saveWindowIcon(makeWindowIcon(), data + "/icons/window_icon.h");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_assets: %s\n", e.what());
    return 1;
  }
  return 0;
}

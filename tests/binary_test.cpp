// The real binary, run from a copy of data/ with one file missing or spoilt:
// start-up must stop with one clear line and status 1, never hang or run on broken.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "made_files.h"

using namespace made;

namespace {

void magentaBmp(const fs::path& path, int w, int h) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff0000, 0xff00, 0xff, 0);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 255));
  SDL_SaveBMP(s, path.c_str());
  SDL_FreeSurface(s);
}

std::string missing(const std::string& image) {
  return "Unable to load " + image + ": No such file or directory\n";
}

TEST(StartUp, EndsWithOneLineAndStatus1WhenAFileIsMissingOrLies) {
  using Spoil = std::function<void(const fs::path&)>;
  const Spoil remove = [](const fs::path& p) { fs::remove(p); };
  const Spoil pipe = [](const fs::path& p) { fs::remove(p), mkfifo(p.c_str(), 0600); };
  const Spoil nothing = [](const fs::path&) {};
  struct Case {
    const char* file;
    Spoil spoil;
    std::string line;  // the whole of stderr; a line ending in "..." is a prefix
    const char* env = "";
  };
  const Case cases[] = {
      {"sound/music.mp3", remove, "FSOUND_Stream_Open() failed!\n"},
      {"sound/pop.wav", remove, "FSOUND_Sample_Load(sound/pop.wav) failed!\n"},
      {"sound/splat.wav", remove, "FSOUND_Sample_Load(sound/splat.wav) failed!\n"},
      {"sound/studs.wav", remove, "FSOUND_Sample_Load(sound/studs.wav) failed!\n"},
      {"sound/win.wav", remove, "FSOUND_Sample_Load(sound/win.wav) failed!\n"},
      {"", nothing, "FSOUNT_Init() failed!\n", "SDL_AUDIODRIVER=none-such"},
      {"", nothing, "Unable to set the 320x240x32 video mode: ...", "SDL_VIDEODRIVER=none-such"},
      {"gfx/font.bmp", remove, missing("gfx/font.bmp")},
      {"gfx/font2.bmp", remove, missing("gfx/font2.bmp")},
      {"gfx/background.bmp", remove, missing("gfx/background.bmp")},
      {"gfx/balloon.bmp", remove, missing("gfx/balloon.bmp")},
      {"gfx/fatman.bmp", remove, missing("gfx/fatman.bmp")},
      {"gfx/board.bmp", remove, missing("gfx/board.bmp")},
      {"gfx/balloon.bmp", [](const fs::path& p) { magentaBmp(p, 64, 48); },
       "Unable to use gfx/balloon.bmp: it is 64x48 pixels, at least 128x48 are needed\n"},
      {"gfx/font2.bmp", [](const fs::path& p) { magentaBmp(p, 296, 8); },
       "Unable to load gfx/font2.bmp as a glyph sheet of at least 592x8 pixels\n"},
      {"gfx/font.bmp", pipe, "Unable to load gfx/font.bmp: not a regular file\n"},
      {"gfx/board.bmp", pipe, "Unable to load gfx/board.bmp: not a regular file\n"},
      {"sound/music.mp3", pipe, "FSOUND_Stream_Open() failed!\n"},
      {"sound/pop.wav", pipe, "FSOUND_Sample_Load(sound/pop.wav) failed!\n"},
      // A folder with only one of the two is the player's, not a reason to play other data.
      {"gfx", [](const fs::path& p) { fs::remove_all(p); }, missing("gfx/font.bmp")},
      {"sound", [](const fs::path& p) { fs::remove_all(p); }, "FSOUND_Stream_Open() failed!\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.env);
    DataCopy data;
    c.spoil(data.dir / c.file);
    const Outcome outcome = runGrumo(data.dir, {c.env});
    EXPECT_EQ(outcome.status, 1);
    const size_t dots = c.line.rfind("...");
    if (dots == std::string::npos) {
      EXPECT_EQ(outcome.err, c.line);
    } else {
      EXPECT_EQ(outcome.err.substr(0, dots), c.line.substr(0, dots));
      EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
    }
  }
}

TEST(StartUp, CtrlCEndsARunningGame) {
  // timeout says 124 when its SIGINT ended the game, 137 when it had to kill it.
  const std::string command = "cd " GRUMO_DATA_DIR
                              " && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "
                              "timeout -k 5 -s INT 1 " GRUMO_BINARY;
  const int status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 124);
}

}  // namespace

// The real binary, run from a copy of data/ with one file missing or spoilt:
// start-up must stop with one clear line and status 1, never hang or run on broken.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string bytesOf(const fs::path& path) {
  std::ostringstream all;
  all << std::ifstream(path, std::ios::binary).rdbuf();
  return all.str();
}

struct Outcome {
  int status;  // -1 when it was still running after 10 s
  std::string err;
};

Outcome runGrumo(const fs::path& dir, const std::string& env) {
  const std::string command = "cd '" + dir.string() +
                              "' && env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + env +
                              " timeout -s KILL 10 " GRUMO_BINARY " 2>stderr.txt";
  const int status = std::system(command.c_str());
  const bool ended = WIFEXITED(status) && WEXITSTATUS(status) != 128 + SIGKILL;
  return {ended ? WEXITSTATUS(status) : -1, bytesOf(dir / "stderr.txt")};
}

void write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void patch32(const fs::path& path, size_t at, Uint32 value, size_t keep = std::string::npos) {
  std::string bytes = bytesOf(path).substr(0, keep);
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  write(path, bytes);
}

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
      {"gfx/background.bmp", [](const fs::path& p) { write(p, bytesOf(p).substr(0, 100)); },
       "Unable to load gfx/background.bmp: ..."},
      {"gfx/fatman.bmp", [](const fs::path& p) { write(p, "not a picture\n"); },
       "Unable to load gfx/fatman.bmp: ..."},
      {"gfx/balloon.bmp", [](const fs::path& p) { magentaBmp(p, 64, 48); },
       "Unable to use gfx/balloon.bmp: it is 64x48 pixels, at least 128x48 are needed\n"},
      {"gfx/font2.bmp", [](const fs::path& p) { magentaBmp(p, 296, 8); },
       "Unable to load gfx/font2.bmp as a glyph sheet of at least 592x8 pixels\n"},
      {"gfx/board.bmp",
       [](const fs::path& p) { patch32(p, 18, 20000), patch32(p, 22, 20000, 2000); },
       "Unable to load gfx/board.bmp: its header asks for 20000x20000 pixels..."},
      {"gfx/font.bmp", pipe, "Unable to load gfx/font.bmp: not a regular file\n"},
      {"gfx/board.bmp", pipe, "Unable to load gfx/board.bmp: not a regular file\n"},
      {"sound/music.mp3", pipe, "FSOUND_Stream_Open() failed!\n"},
      {"sound/pop.wav", pipe, "FSOUND_Sample_Load(sound/pop.wav) failed!\n"},
      {"sound/studs.wav", [](const fs::path& p) { patch32(p, bytesOf(p).find("fmt ") + 12, 1000); },
       "FSOUND_Sample_Load(sound/studs.wav) failed!\n"},
      {"sound/splat.wav", [](const fs::path& p) { write(p, ""); },
       "FSOUND_Sample_Load(sound/splat.wav) failed!\n"},
      {"sound/music.mp3", [](const fs::path& p) { write(p, std::string(5000, 'x')); },
       "FSOUND_Stream_Open() failed!\n"},
  };
  char pattern[] = "/tmp/grumo-data-XXXXXX";
  const fs::path dir = mkdtemp(pattern);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + c.env);
    fs::remove_all(dir);
    fs::copy(GRUMO_DATA_DIR, dir, fs::copy_options::recursive);
    c.spoil(dir / c.file);
    const Outcome outcome = runGrumo(dir, c.env);
    EXPECT_EQ(outcome.status, 1);
    const size_t dots = c.line.rfind("...");
    if (dots == std::string::npos) {
      EXPECT_EQ(outcome.err, c.line);
    } else {
      EXPECT_EQ(outcome.err.substr(0, dots), c.line.substr(0, dots));
      EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
    }
  }
  fs::remove_all(dir);
}

TEST(StartUp, APadPluggedInDuringPlayShowsTheCreditsAndEndsTheGame) {
  // With no window in focus, SDL would drop what the pad does.
  EXPECT_EQ(
      std::system("cd " GRUMO_DATA_DIR " && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "
                  "SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS=1 ASAN_OPTIONS=verify_asan_link_order=0 "
                  "LD_PRELOAD=" GRUMO_PAD_PRELOAD " timeout -s KILL 10 " GRUMO_BINARY),
      0);
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

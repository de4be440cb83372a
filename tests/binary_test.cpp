// The real grumo binary in a subprocess, run from a copy of data/ with one
// file missing or spoilt: start-up must stop with one clear line and status 1.
#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
  int status = -1;  // exit status, or -1 when it did not exit by itself
  std::string err;
  std::set<std::string> opened;  // watched files that the game opened
};

class DataCopy {
 public:
  DataCopy() {
    char pattern[] = "/tmp/grumo-data-XXXXXX";
    dir = mkdtemp(pattern);
    fs::copy(GRUMO_DATA_DIR, dir, fs::copy_options::recursive);
  }
  ~DataCopy() { fs::remove_all(dir); }
  fs::path operator/(const std::string& name) const { return dir / name; }
  const fs::path& path() const { return dir; }

 private:
  fs::path dir;
};

const std::vector<std::string> soundFiles = {"sound/music.mp3", "sound/pop.wav", "sound/splat.wav",
                                             "sound/studs.wav", "sound/win.wav"};
const std::vector<std::string> imageFiles = {"gfx/font.bmp",       "gfx/font2.bmp",
                                             "gfx/background.bmp", "gfx/balloon.bmp",
                                             "gfx/fatman.bmp",     "gfx/board.bmp"};

// Runs the game in `dir`, noting which of the data files it opens.
Outcome runGrumo(const DataCopy& data, std::map<std::string, std::string> env = {}) {
  int watcher = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  std::map<int, std::string> watched;
  for (const auto& list : {soundFiles, imageFiles})
    for (const std::string& name : list)
      if (fs::exists(data / name))
        watched[inotify_add_watch(watcher, (data / name).c_str(), IN_OPEN)] = name;

  int pipeFds[2];
  EXPECT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
  pid_t child = fork();
  if (child == 0) {
    dup2(pipeFds[1], 2);
    if (chdir(data.path().c_str()) != 0) _exit(120);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
    execl(GRUMO_BINARY, "grumo", static_cast<char*>(nullptr));
    _exit(121);
  }
  close(pipeFds[1]);

  Outcome outcome;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  char buffer[4096];
  for (;;) {
    pollfd p{pipeFds[0], POLLIN, 0};
    int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    deadline - std::chrono::steady_clock::now())
                                    .count());
    if (left <= 0 || poll(&p, 1, left) <= 0) break;
    ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    outcome.err.append(buffer, static_cast<size_t>(got));
  }
  close(pipeFds[0]);
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(child, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline)
    usleep(10000);
  if (done == 0) {
    // Still running: it got past start-up, which these files must not allow.
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  } else if (WIFEXITED(status)) {
    outcome.status = WEXITSTATUS(status);
  }

  alignas(inotify_event) char events[8192];
  ssize_t length;
  while ((length = read(watcher, events, sizeof events)) > 0) {
    for (char* at = events; at < events + length;) {
      auto* event = reinterpret_cast<inotify_event*>(at);
      outcome.opened.insert(watched[event->wd]);
      at += sizeof(inotify_event) + event->len;
    }
  }
  close(watcher);
  return outcome;
}

void writeBmp(const fs::path& path, int w, int h) {
  SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff0000, 0xff00, 0xff, 0);
  SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 255, 0, 255));
  ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
  SDL_FreeSurface(s);
}

void writeText(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

void truncateTo(const fs::path& path, size_t size) {
  std::string bytes(size, '\0');
  std::ifstream(path, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(size));
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(size));
}

// One line on standard error that names the file, and status 1.
void expectStopNaming(const Outcome& outcome, const std::string& name) {
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find(name), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << outcome.err;
}

std::string soundLine(const std::string& name) {
  return name == "sound/music.mp3" ? "FSOUND_Stream_Open() failed!\n"
                                   : "FSOUND_Sample_Load(" + name + ") failed!\n";
}

TEST(StartUp, eachMissingSoundStopsWithItsLineBeforeTheNextIsTried) {
  for (size_t i = 0; i < soundFiles.size(); ++i) {
    SCOPED_TRACE(soundFiles[i]);
    DataCopy data;
    fs::remove(data / soundFiles[i]);
    Outcome outcome = runGrumo(data);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, soundLine(soundFiles[i]));
    for (size_t earlier = 0; earlier < i; ++earlier)
      EXPECT_TRUE(outcome.opened.count(soundFiles[earlier])) << soundFiles[earlier];
    for (size_t later = i + 1; later < soundFiles.size(); ++later)
      EXPECT_FALSE(outcome.opened.count(soundFiles[later])) << soundFiles[later];
    for (const std::string& image : imageFiles) EXPECT_FALSE(outcome.opened.count(image));
  }
}

TEST(StartUp, soundThatCannotStartStopsBeforeTheMusicIsTouched) {
  DataCopy data;
  Outcome outcome = runGrumo(data, {{"SDL_AUDIODRIVER", "no-such-driver"}});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "FSOUNT_Init() failed!\n");
  EXPECT_TRUE(outcome.opened.empty());
}

TEST(StartUp, aDisplayThatCannotOpenStopsBeforeAnythingLoads) {
  DataCopy data;
  Outcome outcome = runGrumo(data, {{"SDL_VIDEODRIVER", "no-such-driver"}});
  expectStopNaming(outcome, "video mode");
  EXPECT_TRUE(outcome.opened.empty());
}

TEST(StartUp, eachMissingImageIsNamed) {
  for (const std::string& name : imageFiles) {
    SCOPED_TRACE(name);
    DataCopy data;
    fs::remove(data / name);
    expectStopNaming(runGrumo(data), name);
  }
}

TEST(StartUp, spoiltFilesStopWithALineInsteadOfRunningOnBroken) {
  struct Spoil {
    std::string name;
    std::function<void(const fs::path&)> spoil;
    std::string line;  // exact line expected, or empty for "names the file"
  };
  const std::vector<Spoil> cases = {
      {"gfx/background.bmp", [](const fs::path& p) { truncateTo(p, 100); }, ""},
      {"gfx/fatman.bmp", [](const fs::path& p) { writeText(p, "not a picture at all\n"); }, ""},
      {"gfx/balloon.bmp", [](const fs::path& p) { writeBmp(p, 64, 48); }, ""},
      {"gfx/board.bmp", [](const fs::path& p) { writeBmp(p, 100, 17); }, ""},
      {"gfx/font2.bmp", [](const fs::path& p) { writeBmp(p, 296, 8); }, ""},
      {"gfx/background.bmp", [](const fs::path& p) { writeBmp(p, 160, 120); }, ""},
      {"sound/splat.wav", [](const fs::path& p) { truncateTo(p, 0); },
       "FSOUND_Sample_Load(sound/splat.wav) failed!\n"},
      {"sound/win.wav", [](const fs::path& p) { truncateTo(p, 30); },
       "FSOUND_Sample_Load(sound/win.wav) failed!\n"},
      {"sound/music.mp3", [](const fs::path& p) { writeText(p, std::string(5000, 'x')); },
       "FSOUND_Stream_Open() failed!\n"},
  };
  for (const Spoil& c : cases) {
    SCOPED_TRACE(c.name);
    DataCopy data;
    c.spoil(data / c.name);
    Outcome outcome = runGrumo(data);
    if (c.line.empty()) {
      expectStopNaming(outcome, c.name);
    } else {
      EXPECT_EQ(outcome.status, 1);
      EXPECT_EQ(outcome.err, c.line);
    }
  }
}

}  // namespace

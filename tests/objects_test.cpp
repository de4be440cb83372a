// The jumper, the board and the balloons, driven through their public
// operations on the virtual clock, with blits and sounds recorded by the seam.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "balloon.h"
#include "main.h"
#include "player.h"
#include "seam.h"
#include "sproingy.h"

namespace {

// A short silent 16-bit mono wave, so the two board sounds are real samples.
std::string writeWave(const std::string& dir) {
  std::string path = dir + "/blip.wav";
  const uint32_t rate = 22050, samples = 64, dataBytes = samples * 2;
  auto le32 = [](uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
  };
  auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  std::string wav = "RIFF" + le32(36 + dataBytes) + "WAVEfmt " + le32(16) + le16(1) + le16(1) +
                    le32(rate) + le32(rate * 2) + le16(2) + le16(16) + "data" + le32(dataBytes) +
                    std::string(dataBytes, '\0');
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return "";
  std::fwrite(wav.data(), 1, wav.size(), file);
  std::fclose(file);
  return path;
}

void loadBoardSounds() {
  static bool loaded = false;
  if (loaded) return;
  loaded = true;
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  if (!FSOUND_Init(44100, 64, 0)) return;
  char dir[] = "/tmp/objects_testXXXXXX";
  if (!mkdtemp(dir)) return;
  std::string path = writeWave(dir);
  studs = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_2D, 0, 0);
  splat = FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), FSOUND_2D, 0, 0);
  std::remove(path.c_str());
  rmdir(dir);
}

struct Origin {
  int x, y;
  bool operator==(const Origin& o) const { return x == o.x && y == o.y; }
};

// Sheet pixel (x, y) has red x and green y, so a cut image tells where it came from.
SDL_Surface* makeSheet(int w, int h) {
  SDL_Surface* sheet =
      SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff0000, 0x00ff00, 0x0000ff, 0);
  if (!sheet) return nullptr;
  SDL_LockSurface(sheet);
  for (int y = 0; y < h; ++y) {
    Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(sheet->pixels) + y * sheet->pitch);
    for (int x = 0; x < w; ++x) row[x] = SDL_MapRGB(sheet->format, x, y, 7);
  }
  SDL_UnlockSurface(sheet);
  return sheet;
}

Origin originOf(SDL_Surface* image) {
  SDL_LockSurface(image);
  Uint32 pixel = *static_cast<Uint32*>(image->pixels);
  SDL_UnlockSurface(image);
  Uint8 r, g, b;
  SDL_GetRGB(pixel, image->format, &r, &g, &b);
  return {r, g};
}

// What one call drew: the sheet origin and size of each image, and where it went.
struct Drawn {
  Origin from;
  int w, h;
  int x, y;
};

template <class Draw>
std::vector<Drawn> drawnBy(SDL_Surface* screen, Draw draw) {
  SDL_Flip(screen);
  draw();
  std::vector<Drawn> out;
  for (const seam::Blit& b : seam::frameBlits())
    out.push_back({originOf(b.src), b.src->w, b.src->h, b.dstRect.x, b.dstRect.y});
  return out;
}

class Objects : public ::testing::Test {
 protected:
  void SetUp() override {
    screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    seam::reset();
    loadBoardSounds();
    ASSERT_NE(studs, nullptr);
    ASSERT_NE(splat, nullptr);
    sheet = makeSheet(200, 48);
    ASSERT_NE(sheet, nullptr);
  }
  void TearDown() override { SDL_FreeSurface(sheet); }

  cPlayer jumper() { return cPlayer(sheet, 0, 0, 17, 17, 5); }
  std::vector<FSOUND_SAMPLE*> played() {
    std::vector<FSOUND_SAMPLE*> out;
    for (const seam::Sound& s : seam::sounds()) out.push_back(s.sample);
    return out;
  }

  SDL_Surface* screen = nullptr;
  SDL_Surface* sheet = nullptr;
};

// ---- jumper ----

TEST_F(Objects, JumperStartsAliveAtHundredWithFrameSize) {
  cPlayer player = jumper();
  EXPECT_EQ(player.getXPos(), 100);
  EXPECT_EQ(player.getYPos(), 100);
  EXPECT_TRUE(player.isAlive());
  EXPECT_EQ(player.getWidth(), 17);
  EXPECT_EQ(player.getHeight(), 17);
}

TEST_F(Objects, JumperShowsCrashStripWhileDeadAndBothClocksRunFromConstruction) {
  cPlayer player = jumper();
  player.setPos(-3, 210);
  // Flight frames show 130 ms, the fourth 170; crash frames 110 ms, cut from x 85 on.
  struct {
    Uint32 at;
    int flightX, crashX;
  } steps[] = {{0, 0, 85},     {120, 0, 102},  {250, 17, 119}, {380, 34, 136},
               {500, 51, 153}, {540, 51, 153}, {600, 68, 85}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.at);
    seam::setNow(step.at);
    player.live();
    auto flight = drawnBy(screen, [&] { player.draw(screen); });
    player.kill();
    auto crash = drawnBy(screen, [&] { player.draw(screen); });
    ASSERT_EQ(flight.size(), 1u);
    ASSERT_EQ(crash.size(), 1u);
    EXPECT_EQ(flight[0].from, (Origin{step.flightX, 0}));
    EXPECT_EQ(crash[0].from, (Origin{step.crashX, 0}));
    for (const Drawn& d : {flight[0], crash[0]}) {
      EXPECT_EQ(d.w, 17);
      EXPECT_EQ(d.h, 17);
      EXPECT_EQ(d.x, -3);
      EXPECT_EQ(d.y, 210);
    }
  }
  EXPECT_EQ(player.getXPos(), -3);
  EXPECT_EQ(player.getYPos(), 210);
}

TEST_F(Objects, JumperWithFewerThanFourFramesIsSafe) {
  cPlayer player(sheet, 0, 0, 17, 17, 2);
  EXPECT_EQ(drawnBy(screen, [&] { player.draw(screen); }).size(), 1u);
}

TEST_F(Objects, MotionStepWallsFloorAndWholePixels) {
  struct {
    const char* what;
    int x, y;
    float xSpeed, ySpeed;
    int wantX, wantY;
    float wantXSpeed, wantYSpeed;
  } cases[] = {
      {"left wall reflects", -3, 100, -2, 0, 5, 100, 2, 0.5f},
      {"x 0 is inside", 0, 100, -2, 0, -2, 100, -2, 0.5f},
      {"right edge on 320 reflects", 303, 100, 3, 0, 300, 100, -3, 0.5f},
      {"overshoot mirrored", 308, 100, 3, 0, 295, 100, -3, 0.5f},
      {"right edge on 319 is inside", 302, 100, 3, 0, 305, 100, 3, 0.5f},
      {"left then right wall", -305, 100, -1, 0, 300, 100, -1, 0.5f},
      {"y 235 is above the floor", 100, 235, 0, 0, 100, 235, 0, 0.5f},
      {"y 236 bounces off the floor", 100, 236, 0, 3, 100, 221, 0, -14.5f},
      {"throw from the board", 100, 204, 0, -11.1f, 100, 193, 0, -10.6f},
      {"small step right is lost", 100, 100, 0.1f, 0, 100, 100, 0.1f, 0.5f},
      {"small step left moves a pixel", 100, 100, -0.1f, 0, 99, 100, -0.1f, 0.5f},
      {"below zero truncates up", 2, 100, -4.1f, 0, -2, 100, -4.1f, 0.5f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    cPlayer player = jumper();
    player.setPos(c.x, c.y);
    float xSpeed = c.xSpeed, ySpeed = c.ySpeed;
    calcSpeed(xSpeed, ySpeed, player);
    EXPECT_EQ(player.getXPos(), c.wantX);
    EXPECT_EQ(player.getYPos(), c.wantY);
    EXPECT_FLOAT_EQ(xSpeed, c.wantXSpeed);
    EXPECT_FLOAT_EQ(ySpeed, c.wantYSpeed);
  }
}

TEST_F(Objects, MotionStepReflectsATruncatedNegativePosition) {
  cPlayer player = jumper();
  player.setPos(2, 100);
  float xSpeed = -4.1f, ySpeed = 0;
  calcSpeed(xSpeed, ySpeed, player);
  EXPECT_EQ(player.getXPos(), -2);
  calcSpeed(xSpeed, ySpeed, player);
  EXPECT_EQ(player.getXPos(), 6);
  EXPECT_FLOAT_EQ(xSpeed, 4.1f);
}

// ---- bounce ----

TEST_F(Objects, BounceSpeedGrowsTowardsTheOuterEndAndKeepsDirection) {
  struct {
    float pos, incoming, wantX, wantY;
  } cases[] = {
      {0, 3, 0.1f, -11.1f},       {0.5f, 3, 2.1f, -12.6f}, {1, 3, 4.1f, -14.1f},
      {1, -3, -4.1f, -14.1f},     {0, 0, -0.1f, -11.1f},   {0.5f, 0, -2.1f, -12.6f},
      {1.04f, 1, 4.26f, -14.22f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "pos " << c.pos << " incoming " << c.incoming);
    float xSpeed = c.incoming, ySpeed = 7;
    calcBounceSpeed(xSpeed, ySpeed, c.pos);
    EXPECT_FLOAT_EQ(xSpeed, c.wantX);
    EXPECT_FLOAT_EQ(ySpeed, c.wantY);
  }
  // Worked in double: a fifth of the way out is exactly the float nearest -11.7,
  // where float arithmetic ends one step lower.
  float xSpeed = 1, ySpeed = 0;
  calcBounceSpeed(xSpeed, ySpeed, 0.2f);
  EXPECT_EQ(ySpeed, -11.7f);
}

TEST_F(Objects, ThrowFromTheBoardTopsOutByLandingPoint) {
  struct {
    float pos;
    int top;
  } cases[] = {{0, 72}, {0.5f, 35}, {1, -2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pos);
    cPlayer player = jumper();
    player.setPos(50, 204);
    float xSpeed = 1, ySpeed = 0;
    calcBounceSpeed(xSpeed, ySpeed, c.pos);
    std::vector<int> path;
    for (int frame = 0; frame < 40; ++frame) {
      calcSpeed(xSpeed, ySpeed, player);
      path.push_back(static_cast<int>(player.getYPos()));
    }
    EXPECT_EQ(*std::min_element(path.begin(), path.end()), c.top);
    if (c.pos == 0) {
      EXPECT_EQ(std::vector<int>(path.begin(), path.begin() + 3),
                (std::vector<int>{193, 182, 172}));
    }
  }
}

// ---- board ----

struct Game {
  float xSpeed, ySpeed;
  bool alive = true;
  bool isGrumo = true;
};

TEST_F(Objects, BoardCatchesOnItsLoweredHalfEndsIncluded) {
  // Board 50 wide at (140, 221), 17-pixel jumper: its centre is x + 8.
  struct {
    bool tilted;
    int x;
    float xSpeed;
    bool lands;
    float pos;
  } cases[] = {
      {false, 131, 3, false, 0}, {false, 132, 3, true, 1},  {false, 157, 3, true, 0},
      {false, 158, 3, false, 0}, {true, 156, -3, false, 0}, {true, 157, -3, true, 0},
      {true, 182, -3, true, 1},  {true, 183, -3, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "tilted " << c.tilted << " x " << c.x);
    seam::reset();
    cSproingy board(sheet, 0, 0, 50, 18, 140, 221);
    if (c.tilted) board.flipBoard();
    cPlayer player = jumper();
    player.setPos(c.x, 212);
    Game g{c.xSpeed, 5};
    auto drawn = drawnBy(
        screen, [&] { board.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo); });
    // The tilt it came in with is what this frame shows.
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].from, (Origin{c.tilted ? 50 : 0, 0}));
    EXPECT_EQ(drawn[0].w, 50);
    EXPECT_EQ(drawn[0].h, 18);
    EXPECT_EQ(drawn[0].x, 140);
    EXPECT_EQ(drawn[0].y, 221);

    if (c.lands) {
      EXPECT_EQ(played(), std::vector<FSOUND_SAMPLE*>{studs});
      EXPECT_EQ(player.getXPos(), c.tilted ? 140 : 173);
      EXPECT_EQ(player.getYPos(), 204);
      EXPECT_TRUE(player.isAlive());
      EXPECT_TRUE(g.alive);
      EXPECT_FALSE(g.isGrumo);
      float sideways = 4 * c.pos + 0.1f;
      EXPECT_FLOAT_EQ(g.xSpeed, c.xSpeed > 0 ? sideways : -sideways);
      EXPECT_FLOAT_EQ(g.ySpeed, -11.1f - 3 * c.pos);
    } else {
      EXPECT_EQ(played(), std::vector<FSOUND_SAMPLE*>{splat});
      EXPECT_EQ(player.getXPos(), c.x);
      EXPECT_EQ(player.getYPos(), 222);
      EXPECT_FALSE(player.isAlive());
      EXPECT_FALSE(g.alive);
      EXPECT_TRUE(g.isGrumo);
      EXPECT_EQ(g.xSpeed, c.xSpeed);
      EXPECT_EQ(g.ySpeed, 5);
    }
    // A landing tips the board, a miss leaves it; nothing fires on the next frame.
    auto next = drawnBy(
        screen, [&] { board.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo); });
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].from.x, (c.tilted != c.lands) ? 50 : 0);
    EXPECT_EQ(seam::sounds().size(), 1u);
  }
}

TEST_F(Objects, BoardContactLineIsEightPixelsDownWhateverTheDirection) {
  cSproingy board(sheet, 0, 0, 50, 18, 140, 221);
  cPlayer player = jumper();
  Game g{3, -5};
  player.setPos(150, 211);
  board.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo);
  EXPECT_TRUE(seam::sounds().empty());
  EXPECT_EQ(player.getYPos(), 211);
  EXPECT_FLOAT_EQ(g.ySpeed, -5);

  player.setPos(150, 212);
  board.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo);
  EXPECT_EQ(played(), std::vector<FSOUND_SAMPLE*>{studs});
  EXPECT_EQ(player.getYPos(), 204);
}

TEST_F(Objects, DeadJumperOnTheGroundTriggersNothing) {
  cSproingy board(sheet, 0, 0, 50, 18, 140, 221);
  cPlayer player = jumper();
  player.setPos(300, 222);
  player.kill();
  Game g{3, 5, false, true};
  auto drawn =
      drawnBy(screen, [&] { board.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo); });
  EXPECT_EQ(drawn.size(), 1u);
  EXPECT_TRUE(seam::sounds().empty());
  EXPECT_EQ(player.getXPos(), 300);
  EXPECT_EQ(player.getYPos(), 222);
  EXPECT_FALSE(g.alive);
  EXPECT_TRUE(g.isGrumo);
  EXPECT_EQ(g.ySpeed, 5);
}

TEST_F(Objects, TippingAndLandingsSwapTheHalfAndOnlyLandingsToggleTheName) {
  cSproingy board(sheet, 0, 0, 50, 18, 140, 221);
  cPlayer player = jumper();
  Game g{3, 5};
  board.setXPos(100);  // halves 100..125 and 125..150
  board.flipBoard();
  player.setPos(142, 212);  // centre 150, right end
  board.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo);
  EXPECT_FALSE(g.isGrumo);
  EXPECT_EQ(player.getXPos(), 100);

  player.setPos(92, 212);  // centre 100, left end: the landing tipped it back
  board.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo);
  EXPECT_TRUE(g.isGrumo);
  EXPECT_EQ(player.getXPos(), 133);
  EXPECT_EQ(player.getYPos(), 204);

  // Tipped by hand back to the left half: the right end now splats.
  board.flipBoard();
  player.setPos(142, 212);
  board.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo);
  EXPECT_TRUE(g.isGrumo);
  EXPECT_FALSE(g.alive);
  EXPECT_EQ(played(), (std::vector<FSOUND_SAMPLE*>{studs, studs, splat}));
}

TEST_F(Objects, OddBoardWidthReachesPastTheOuterEnd) {
  cSproingy board(sheet, 0, 0, 51, 18, 140, 221);
  board.flipBoard();
  cPlayer player = jumper();
  player.setPos(183, 212);  // centre 191, right end of 165..191
  Game g{3, 5};
  auto drawn =
      drawnBy(screen, [&] { board.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo); });
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].from, (Origin{51, 0}));
  EXPECT_EQ(drawn[0].w, 51);
  EXPECT_FLOAT_EQ(g.ySpeed, -14.22f);  // pos 26 / 25
  EXPECT_FLOAT_EQ(g.xSpeed, 4.26f);
  EXPECT_EQ(player.getXPos(), 140);
}

TEST_F(Objects, BoardsWithoutImagesOrHalvesStillPlay) {
  cPlayer player = jumper();
  Game g{3, 5};
  cSproingy blank(nullptr, 0, 0, 50, 18, 140, 221);
  player.setPos(132, 212);
  auto drawn =
      drawnBy(screen, [&] { blank.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo); });
  EXPECT_TRUE(drawn.empty());
  EXPECT_EQ(player.getXPos(), 173);

  // One pixel wide: no halves to measure along, so the throw is the gentlest.
  cSproingy sliver(sheet, 0, 0, 1, 18, 140, 221);
  player.setPos(132, 212);
  sliver.draw(screen, player, g.xSpeed, g.ySpeed, g.alive, g.isGrumo);
  EXPECT_EQ(player.getXPos(), 124);
  EXPECT_FLOAT_EQ(g.ySpeed, -11.1f);
  EXPECT_FLOAT_EQ(g.xSpeed, 0.1f);
}

// ---- balloons ----

class ObjectsBalloon : public Objects {
 protected:
  // Row 1 of the game's sheet: 16-pixel frames at y 16, the burst from x 64.
  void make(int x, int speed) {
    balloon.init(sheet, 0, 16, 16, 16, 4, 250, x, 40, 10, 11, -20, 320, speed);
  }
  std::vector<Drawn> draw(cPlayer& player, int& result) {
    return drawnBy(screen, [&] { result = balloon.draw(screen, player); });
  }
  cBalloon balloon;
};

TEST_F(ObjectsBalloon, WrapOnlyPastTheLimits) {
  struct {
    int start, speed;
    std::vector<int> path;
  } cases[] = {{318, 2, {320, -18, -16}}, {-18, -2, {-20, 318, 316}}};
  cPlayer player = jumper();
  player.setPos(100, 200);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    make(c.start, c.speed);
    for (int want : c.path) {
      int hit = -1;
      auto drawn = draw(player, hit);
      ASSERT_EQ(drawn.size(), 1u);
      EXPECT_EQ(drawn[0].x, want);
      EXPECT_EQ(drawn[0].from, (Origin{0, 16}));
      EXPECT_EQ(hit, 0);
    }
  }
}

TEST_F(ObjectsBalloon, TouchCountsSharedEdges) {
  // After this frame's move the box is x 100..110, y 40..51.
  struct {
    int x, y, hit;
  } cases[] = {{110, 45, 1}, {111, 45, 0}, {83, 45, 1},  {82, 45, 0},  {100, 51, 1},
               {100, 52, 0}, {100, 23, 1}, {100, 22, 0}, {110, 51, 1}, {111, 52, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    make(99, 1);
    cPlayer player = jumper();
    player.setPos(c.x, c.y);
    EXPECT_EQ(balloon.draw(screen, player), c.hit);
  }
}

TEST_F(ObjectsBalloon, BurstShowsThreeFramesWhereItWasHitThenStaysGoneUntilFixed) {
  make(98, 2);
  cPlayer player = jumper();
  player.setPos(100, 40);
  player.kill();      // a lying jumper pops balloons too
  seam::setNow(100);  // the burst clock has run since init: its third frame is due
  // The jumper stays on the path: one report, three bursts at the hit place, then nothing.
  auto popsAt = [&](int hitX) {
    int hits = 0;
    for (int frame = 0; frame < 5; ++frame) {
      SCOPED_TRACE(frame);
      int hit = -1;
      auto drawn = draw(player, hit);
      hits += hit;
      EXPECT_EQ(hit, frame == 0 ? 1 : 0);
      if (frame < 3) {
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].from, (Origin{96, 16}));
        EXPECT_EQ(drawn[0].x, hitX);
        EXPECT_EQ(drawn[0].y, 40);
      } else {
        EXPECT_TRUE(drawn.empty());
      }
    }
    EXPECT_EQ(hits, 1);
  };
  popsAt(100);
  // Back where the row has carried it meanwhile, and poppable again.
  balloon.fix();
  popsAt(110);

  balloon.fix();
  player.setPos(100, 200);
  int hit = -1;
  auto drawn = draw(player, hit);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(hit, 0);
  EXPECT_EQ(drawn[0].from, (Origin{0, 16}));
  EXPECT_EQ(drawn[0].x, 120);
}

}  // namespace

// The jumper, the board and the balloons on the virtual clock, with blits and
// sounds recorded by the seam.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "balloon.h"
#include "main.h"
#include "player.h"
#include "seam.h"
#include "sproingy.h"

namespace {

// Sheet x, sheet y, width, height, screen x, screen y of one drawn image.
using Drawn = std::array<int, 6>;
using Images = std::vector<Drawn>;
using Sounds = std::vector<FSOUND_SAMPLE*>;

// Sheet pixels have red x and green y, so a cut image's first pixel tells where it came from.
template <class Draw>
Images drawnBy(SDL_Surface* screen, Draw draw) {
  SDL_Flip(screen);
  draw();
  Images out;
  for (const seam::Blit& b : seam::frameBlits()) {
    Uint8 x, y, unused;
    SDL_GetRGB(*static_cast<Uint32*>(b.src->pixels), b.src->format, &x, &y, &unused);
    out.push_back({x, y, b.src->w, b.src->h, b.dstRect.x, b.dstRect.y});
  }
  return out;
}

class Objects : public ::testing::Test {
 protected:
  void SetUp() override {
    screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    ASSERT_NE(screen, nullptr);
    seam::reset();
    if (!studs) {
      ASSERT_TRUE(FSOUND_Init(44100, 64, 0));
      studs = FSOUND_Sample_Load(FSOUND_FREE, GRUMO_DATA_DIR "/sound/studs.wav", FSOUND_2D, 0, 0);
      splat = FSOUND_Sample_Load(FSOUND_FREE, GRUMO_DATA_DIR "/sound/splat.wav", FSOUND_2D, 0, 0);
    }
    ASSERT_TRUE(studs && splat);
    sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, 200, 48, 32, 0xff0000, 0xff00, 0xff, 0);
    for (int y = 0; y < sheet->h; ++y)
      for (int x = 0; x < sheet->w; ++x)
        static_cast<Uint32*>(sheet->pixels)[y * sheet->pitch / 4 + x] =
            SDL_MapRGB(sheet->format, x, y, 7);
  }
  void TearDown() override { SDL_FreeSurface(sheet); }

  cPlayer jumper(int x, int y, int frames = 5) {
    cPlayer player(sheet, 0, 0, 17, 17, frames);
    player.setPos(x, y);
    return player;
  }
  Sounds played() {
    Sounds out;
    for (const seam::Sound& s : seam::sounds()) out.push_back(s.sample);
    return out;
  }

  SDL_Surface* screen = nullptr;
  SDL_Surface* sheet = nullptr;
};

TEST_F(Objects, JumperShowsTheCrashStripWhileDeadAndBothClocksRunFromConstruction) {
  cPlayer player = jumper(-3, 210);
  // Flight frames last 130 ms, the fourth 170; crash frames 110, cut from x 85 on.
  const int steps[][3] = {{0, 0, 85},     {120, 0, 102},  {250, 17, 119}, {380, 34, 136},
                          {500, 51, 153}, {540, 51, 153}, {600, 68, 85}};
  for (const auto& [at, flightX, crashX] : steps) {
    SCOPED_TRACE(at);
    seam::setNow(at);
    player.live();
    EXPECT_EQ(drawnBy(screen, [&] { player.draw(screen); }),
              (Images{{flightX, 0, 17, 17, -3, 210}}));
    player.kill();
    EXPECT_EQ(drawnBy(screen, [&] { player.draw(screen); }),
              (Images{{crashX, 0, 17, 17, -3, 210}}));
  }
  // Under four frames there is no long fourth frame to set.
  cPlayer few = jumper(0, 0, 2);
  EXPECT_EQ(drawnBy(screen, [&] { few.draw(screen); }).size(), 1u);
}

TEST_F(Objects, MotionStepWallsFloorAndWholePixels) {
  // x, y, xSpeed, ySpeed before and after one step. Truncating towards zero takes x 2 to -2,
  // which the next step reflects.
  const float cases[][8] = {
      {-3, 100, -2, 0, 5, 100, 2, 0.5f},          {0, 100, -2, 0, -2, 100, -2, 0.5f},
      {303, 100, 3, 0, 300, 100, -3, 0.5f},       {308, 100, 3, 0, 295, 100, -3, 0.5f},
      {302, 100, 3, 0, 305, 100, 3, 0.5f},        {-305, 100, -1, 0, 300, 100, -1, 0.5f},
      {100, 235, 0, 0, 100, 235, 0, 0.5f},        {100, 236, 0, 3, 100, 221, 0, -14.5f},
      {100, 204, 0, -11.1f, 100, 193, 0, -10.6f}, {100, 100, 0.1f, 0, 100, 100, 0.1f, 0.5f},
      {100, 100, -0.1f, 0, 99, 100, -0.1f, 0.5f}, {2, 100, -4.1f, 0, -2, 100, -4.1f, 0.5f},
      {-2, 100, -4.1f, 0, 6, 100, 4.1f, 0.5f},
  };
  for (const auto& [x, y, xSpeed, ySpeed, wantX, wantY, wantXSpeed, wantYSpeed] : cases) {
    SCOPED_TRACE(testing::Message() << x << "," << y << " moving " << xSpeed << "," << ySpeed);
    cPlayer player = jumper(x, y);
    float xs = xSpeed, ys = ySpeed;
    calcSpeed(xs, ys, player);
    EXPECT_EQ(player.getXPos(), wantX);
    EXPECT_EQ(player.getYPos(), wantY);
    EXPECT_FLOAT_EQ(xs, wantXSpeed);
    EXPECT_FLOAT_EQ(ys, wantYSpeed);
  }
}

TEST_F(Objects, BounceGrowsTowardsTheOuterEndKeepsDirectionAndSetsTheHeight) {
  // pos, incoming xSpeed, xSpeed, ySpeed. Exact: float arithmetic ends a step off at 0.2.
  const float cases[][4] = {{0, 3, 0.1f, -11.1f},   {0.5f, 3, 2.1f, -12.6f},
                            {1, 3, 4.1f, -14.1f},   {1, -3, -4.1f, -14.1f},
                            {0, 0, -0.1f, -11.1f},  {0.5f, 0, -2.1f, -12.6f},
                            {0.2f, 1, 0.9f, -11.7f}};
  for (const auto& [pos, incoming, wantX, wantY] : cases) {
    SCOPED_TRACE(testing::Message() << "pos " << pos << " incoming " << incoming);
    float xSpeed = incoming, ySpeed = 7;
    calcBounceSpeed(xSpeed, ySpeed, pos);
    EXPECT_FLOAT_EQ(xSpeed, wantX);
    EXPECT_EQ(ySpeed, wantY);
  }
  const std::pair<float, int> throws[] = {{0, 72}, {0.5f, 35}, {1, -2}};
  for (const auto& [pos, top] : throws) {
    cPlayer player = jumper(50, 204);
    float xSpeed = 1, ySpeed = 0;
    calcBounceSpeed(xSpeed, ySpeed, pos);
    int highest = 204;
    for (int frame = 0; frame < 40; ++frame) {
      calcSpeed(xSpeed, ySpeed, player);
      highest = std::min(highest, static_cast<int>(player.getYPos()));
    }
    EXPECT_EQ(highest, top) << pos;
  }
}

TEST_F(Objects, BoardCatchesOnItsRaisedHalfEndsIncludedAndTipsOnALanding) {
  enum Outcome { Lands, Splats, Nothing, StaysDead };
  // The board sits at (140, 221); the jumper's centre is x + 8 and contact starts at y 212.
  const struct {
    bool tilted;
    int w, x, y;
    Outcome outcome;
    float pos = 0;
  } cases[] = {
      {false, 50, 131, 212, Splats},      {false, 50, 132, 212, Lands, 1},
      {false, 50, 157, 212, Lands, 0},    {false, 50, 158, 212, Splats},
      {true, 50, 156, 212, Splats},       {true, 50, 157, 212, Lands, 0},
      {true, 50, 182, 212, Lands, 1},     {true, 50, 183, 212, Splats},
      {false, 50, 150, 211, Nothing},     {false, 50, 300, 222, StaysDead},
      {true, 51, 183, 212, Lands, 1.04f},  // odd width: centre 191 is past 165 + 25
      {false, 1, 132, 212, Lands, 0},      // no halves to measure along
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "tilted " << c.tilted << " w " << c.w << " at " << c.x << "," << c.y);
    seam::reset();
    // Placed there at construction or moved there, so that both count.
    cSproingy board(sheet, 0, 0, c.w, 18, c.tilted ? 140 : 0, 221);
    if (!c.tilted) board.setXPos(140);
    if (c.tilted) board.flipBoard();
    cPlayer player = jumper(c.x, c.y);
    if (c.outcome == StaysDead) player.kill();
    const bool lands = c.outcome == Lands;
    // Rising, so contact cannot hinge on direction; isGrumo starts both ways so a toggle shows.
    const float xSpeed0 = c.tilted ? -3 : 3;
    float xSpeed = xSpeed0, ySpeed = -5;
    bool alive = c.outcome != StaysDead, isGrumo = c.tilted;
    auto draw = [&] {
      return drawnBy(screen, [&] { board.draw(screen, player, xSpeed, ySpeed, alive, isGrumo); });
    };
    EXPECT_EQ(draw(), (Images{{c.tilted ? c.w : 0, 0, c.w, 18, 140, 221}}));
    EXPECT_EQ(isGrumo, c.tilted != lands);
    if (lands) {
      EXPECT_EQ(played(), Sounds{studs});
      EXPECT_EQ(player.getXPos(), c.tilted ? 140 : 140 + c.w - 17);
      EXPECT_EQ(player.getYPos(), 204);
      EXPECT_TRUE(alive && player.isAlive());
      EXPECT_FLOAT_EQ(xSpeed, (4 * c.pos + 0.1f) * xSpeed0 / 3);
      EXPECT_FLOAT_EQ(ySpeed, -11.1f - 3 * c.pos);
    } else {
      const bool splats = c.outcome == Splats;
      EXPECT_EQ(played(), splats ? Sounds{splat} : Sounds{});
      EXPECT_EQ(player.getXPos(), c.x);
      EXPECT_EQ(player.getYPos(), splats ? 222 : c.y);
      EXPECT_EQ(alive, c.outcome == Nothing);
      EXPECT_EQ(player.isAlive(), alive);
      EXPECT_EQ(xSpeed, xSpeed0);
      EXPECT_EQ(ySpeed, -5);
    }
    // The next frame shows the new tilt and fires nothing.
    const Images next = draw();
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0][0], c.tilted != lands ? c.w : 0);
    EXPECT_EQ(seam::sounds().size(), c.outcome == Lands || c.outcome == Splats ? 1u : 0u);
  }
}

class ObjectsBalloon : public Objects {
 protected:
  // Row 1 of the game's sheet: 16-pixel frames at y 16, the burst from x 64; a 10 x 11 box.
  void make(int x, int speed) {
    balloon.init(sheet, 0, 16, 16, 16, 4, 250, x, 40, 10, 11, -20, 320, speed);
  }
  Images draw(cPlayer& player, int& hit) {
    return drawnBy(screen, [&] { hit = balloon.draw(screen, player); });
  }
  cBalloon balloon;
};

TEST_F(ObjectsBalloon, WrapsOnlyPastTheLimits) {
  cPlayer player = jumper(100, 200);
  const int cases[][5] = {{318, 2, 320, -18, -16}, {-18, -2, -20, 318, 316}};
  for (const auto& c : cases) {
    make(c[0], c[1]);
    for (int step = 2; step < 5; ++step) {
      int hit = -1;
      EXPECT_EQ(draw(player, hit), (Images{{0, 16, 16, 16, c[step], 40}})) << c[0];
      EXPECT_EQ(hit, 0);
    }
  }
}

TEST_F(ObjectsBalloon, TouchCountsSharedEdges) {
  // After this frame's move the box is x 100..110, y 40..51.
  const int cases[][3] = {{110, 45, 1}, {111, 45, 0}, {83, 45, 1},  {82, 45, 0},  {100, 51, 1},
                          {100, 52, 0}, {100, 23, 1}, {100, 22, 0}, {110, 51, 1}, {111, 52, 0}};
  for (const auto& [x, y, hit] : cases) {
    make(99, 1);
    EXPECT_EQ(balloon.draw(screen, jumper(x, y)), hit) << x << "," << y;
  }
}

TEST_F(ObjectsBalloon, BurstShowsThreeFramesWhereItWasHitThenStaysGoneUntilFixed) {
  make(98, 2);
  cPlayer player = jumper(100, 40);
  player.kill();      // a lying jumper pops balloons too
  seam::setNow(100);  // the burst clock has run since init: its third frame is due
  // The jumper stays on the path: one report, three bursts at the hit place, then nothing.
  for (int hitX : {100, 110}) {
    for (int frame = 0; frame < 5; ++frame) {
      int hit = -1;
      const Images drawn = draw(player, hit);
      EXPECT_EQ(hit, frame == 0 ? 1 : 0) << frame;
      EXPECT_EQ(drawn, (frame < 3 ? Images{{96, 16, 16, 16, hitX, 40}} : Images{})) << frame;
    }
    // Back where the row has carried it meanwhile, and poppable again.
    balloon.fix();
  }
  player.setPos(100, 200);
  int hit = -1;
  EXPECT_EQ(draw(player, hit), (Images{{0, 16, 16, 16, 120, 40}}));
  EXPECT_EQ(hit, 0);
}

}  // namespace

// The rules of the field and the objects' motion and contacts, driven directly:
// a table for each rule.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>

#include "SDLFunctions.h"
#include "main.h"
#include "seam.h"

namespace {

SDL_Surface *screen, *balloonSheet, *jumperSheet, *boardSheet;
cFont font;

FSOUND_SAMPLE* sample(const std::string& name) {
  return FSOUND_Sample_Load(FSOUND_FREE, (GRUMO_DATA_DIR "/sound/" + name).c_str(), FSOUND_2D, 0,
                            0);
}

// What one frame drawn by `draw` showed.
seam::View shows(const std::function<void()>& draw) {
  SDL_Flip(screen);
  draw();
  return seam::frame();
}

class Rules : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    ASSERT_TRUE(screen && FSOUND_Init(44100, 64, 0));
    pop = sample("pop.wav"), splat = sample("splat.wav"), studs = sample("studs.wav");
    win = sample("win.wav");
    balloonSheet = loadBMP(GRUMO_DATA_DIR "/gfx/balloon.bmp");
    jumperSheet = loadBMP(GRUMO_DATA_DIR "/gfx/fatman.bmp");
    boardSheet = loadBMP(GRUMO_DATA_DIR "/gfx/board.bmp");
    static int widths[cFont::numGlyphs];
    createList(widths);
    font.init(GRUMO_DATA_DIR "/gfx/font.bmp", widths, 8, 255, 0, 255);
  }
  void SetUp() override {
    seam::reset();
    field = std::make_unique<cPlayField>(balloonSheet, jumperSheet, boardSheet);
  }
  // Pops the top row's first balloon (3 points) and lets its burst end.
  void popOne() {
    field->player.setPos(0, 20);
    for (int frame = 0; frame < 3; ++frame) drawBalloons(*field, screen);
  }
  size_t balloonsShown() {
    return shows([&] { drawBalloons(*field, screen); }).balloons.size();
  }
  std::unique_ptr<cPlayField> field;
};

TEST_F(Rules, MotionReflectsOffTheWallsFallsAndKeepsWholePixels) {
  // x, y, xSpeed, ySpeed before the step; the same after it.
  const float cases[][8] = {
      {-3, 100, -2, 0, 5, 100, 2, 0.5},       {0, 100, -2, 0, -2, 100, -2, 0.5},
      {303, 100, 1, 0, 302, 100, -1, 0.5},    {308, 100, 2, 0, 296, 100, -2, 0.5},
      {100, 235, 0, 0, 100, 235, 0, 0.5},     {100, 236, 0, 3, 100, 221, 0, -14.5},
      {9, 204, 0, -11.1f, 9, 193, 0, -10.6f}, {9, 100, 0.1f, 0, 9, 100, 0.1f, 0.5},
      {9, 100, -0.1f, 0, 8, 100, -0.1f, 0.5}, {2, 100, -4.1f, 0, -2, 100, -4.1f, 0.5},
      {-2, 100, -4.1f, 0, 6, 100, 4.1f, 0.5},
  };
  for (const auto& c : cases) {
    cPlayer& player = field->player;
    player.setPos(static_cast<int>(c[0]), static_cast<int>(c[1]));
    float xSpeed = c[2], ySpeed = c[3];
    calcSpeed(xSpeed, ySpeed, player);
    SCOPED_TRACE(::testing::Message() << c[0] << "," << c[1] << " speed " << c[2] << "," << c[3]);
    EXPECT_EQ(player.getXPos(), c[4]);
    EXPECT_EQ(player.getYPos(), c[5]);
    EXPECT_FLOAT_EQ(xSpeed, c[6]);
    EXPECT_FLOAT_EQ(ySpeed, c[7]);
  }
}

TEST_F(Rules, TheBoardCatchesOnItsRaisedHalfAndThrowsHarderTowardsTheEnd) {
  enum { none, lands, splats };
  // Tipped, jumper x and y, alive; outcome, jumper x and y, xSpeed and ySpeed after.
  // The board lies at (140, 221), 50 wide; the jumper's centre is x + 8.
  const float cases[][9] = {{0, 132, 212, 1, lands, 173, 204, 4.1f, -14.1f},
                            {0, 157, 212, 1, lands, 173, 204, .1f, -11.1f},
                            {0, 145, 230, 1, lands, 173, 204, 2.02f, -12.54f},
                            {0, 158, 212, 1, splats, 158, 222, 3, -2},
                            {0, 131, 212, 1, splats, 131, 222, 3, -2},
                            {1, 157, 212, 1, lands, 140, 204, .1f, -11.1f},
                            {1, 182, 212, 1, lands, 140, 204, 4.1f, -14.1f},
                            {1, 156, 212, 1, splats, 156, 222, 3, -2},
                            {1, 183, 212, 1, splats, 183, 222, 3, -2},
                            {0, 150, 211, 1, none, 150, 211, 3, -2},
                            {0, 150, 222, 0, none, 150, 222, 3, -2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "tipped " << c[0] << " at " << c[1] << "," << c[2]);
    SetUp();
    cPlayer& player = field->player;
    if (c[0] != 0) field->board.flipBoard();
    player.setPos(static_cast<int>(c[1]), static_cast<int>(c[2]));
    if (c[3] == 0) player.kill();
    float xSpeed = 3, ySpeed = -2;
    bool alive = c[3] != 0, isGrumo = true;
    auto draw = [&] { field->board.draw(screen, player, xSpeed, ySpeed, alive, isGrumo); };
    const seam::View shown = shows(draw);
    EXPECT_EQ(shown.boards.at(0).x, 140);
    EXPECT_TRUE(seam::cutFrom(shown.boards[0].image, boardSheet, c[0] != 0 ? 50 : 0, 0));
    EXPECT_EQ(player.getXPos(), c[5]);
    EXPECT_EQ(player.getYPos(), c[6]);
    EXPECT_FLOAT_EQ(xSpeed, c[7]);
    EXPECT_FLOAT_EQ(ySpeed, c[8]);
    EXPECT_EQ(seam::sounds(studs), c[4] == lands);
    EXPECT_EQ(seam::sounds(splat), c[4] == splats);
    EXPECT_EQ(isGrumo, c[4] != lands);
    EXPECT_EQ(alive, c[4] != splats && c[3] != 0);
    EXPECT_EQ(player.isAlive(), alive);
    // Only a landing tips the board: the next frame shows the other image.
    EXPECT_EQ(shows(draw).boards.at(0).image == shown.boards[0].image, c[4] != lands);
  }
  float xSpeed = 0, ySpeed = 0;
  calcBounceSpeed(xSpeed, ySpeed, 1.04f);  // an odd board's far end; no sideways speed goes left
  EXPECT_FLOAT_EQ(xSpeed, -4.26f);
  EXPECT_FLOAT_EQ(ySpeed, -14.22f);
}

TEST_F(Rules, ArrowsSlideTheBoardWithinTheScreen) {
  // boardPos, Left held, Right held; boardPos after.
  const int cases[][4] = {{190, 1, 0, 185}, {0, 1, 0, 0},     {3, 1, 0, 0},
                          {270, 0, 1, 270}, {268, 0, 1, 270}, {190, 1, 1, 190},
                          {0, 1, 1, 5},     {190, 0, 1, 195}, {190, 0, 0, 190}};
  for (const auto& c : cases) {
    Uint8 keys[SDLK_LAST] = {};
    keys[SDLK_LEFT] = static_cast<Uint8>(c[1]), keys[SDLK_RIGHT] = static_cast<Uint8>(c[2]);
    field->boardPos = c[0];
    controlBoard(keys, *field);
    EXPECT_EQ(field->boardPos, c[3]) << c[0] << " " << c[1] << c[2];
    float speed = 0;
    const seam::View shown = shows([&] {
      field->board.draw(screen, field->player, speed, speed, field->alive, field->isGrumo);
    });
    EXPECT_EQ(shown.boards.at(0).x, c[3]);
  }
}

TEST_F(Rules, BalloonsScoreByRowAndEveryHitCounts) {
  // Jumper x and y; points and pops. Rows are at y 20, 40 and 60 and have
  // drifted 2 pixels before they are tested.
  const int cases[][4] = {
      {0, 20, 3, 1}, {0, 40, 2, 1}, {12, 60, 1, 1}, {0, 25, 5, 2}, {9, 99, 0, 0}};
  for (const auto& c : cases) {
    SetUp();
    field->player.setPos(c[0], c[1]);
    field->player.kill();  // a lying jumper pops balloons too
    drawBalloons(*field, screen);
    EXPECT_EQ(field->score, c[2]) << c[0] << "," << c[1];
    EXPECT_EQ(field->balloonsLeft, 51 - c[3]);
    EXPECT_EQ(seam::sounds(pop), c[3]);
  }
}

TEST_F(Rules, AClearedSetComesBackWithALifeALevelAndAShorterPeriodDownTo20) {
  popOne();
  field->player.setPos(150, 150);
  long pause = 40;
  clearSet(*field, pause);  // one balloon is still up
  EXPECT_EQ(pause, 40);
  EXPECT_EQ(balloonsShown(), 50u);
  const long periods[] = {35, 30, 25, 20, 20, 20};
  for (int set = 1; set <= 6; ++set) {
    field->balloonsLeft = 0;
    clearSet(*field, pause);
    EXPECT_EQ(pause, periods[set - 1]);
    EXPECT_EQ(field->level, set);
    EXPECT_EQ(field->lives, 3 + set);
    EXPECT_EQ(field->balloonsLeft, 51);
    EXPECT_EQ(seam::sounds(win), set);
  }
  EXPECT_EQ(balloonsShown(), 51u);
  EXPECT_EQ(field->score, 3);
}

TEST_F(Rules, ADeadJumperWaitsForSpaceToContinueOrStartANewGame) {
  const std::string death = "Aj vad doed du aer. Tryck paa space foer att fortsaetta.";
  const std::string gameOver = "Nu ar du inte saa kaxig va?!?";
  const std::string again = "Tryck space foer en ny omgaang eller esc foer att avsluta.";
  // Lives, Space held; lives after.
  const int cases[][3] = {{2, 0, 2}, {2, 1, 1}, {1, 1, 0}, {0, 0, 0}, {0, 1, 3}};
  for (const auto& [lives, space, livesAfter] : cases) {
    SCOPED_TRACE(::testing::Message() << lives << " lives, space " << space);
    SetUp();
    popOne();
    field->player.setPos(77, 222);
    field->player.kill();
    field->alive = false;
    field->lives = lives;
    Uint8 keys[SDLK_LAST] = {};
    keys[SDLK_SPACE] = static_cast<Uint8>(space);
    const seam::View shown = shows([&] { handleDeath(*field, keys, font, screen); });
    EXPECT_EQ(shown.textAt(40, 100), lives > 0 ? death : gameOver);
    EXPECT_EQ(shown.textAt(40, 120), lives > 0 ? "" : again);
    EXPECT_EQ(field->lives, livesAfter);
    EXPECT_EQ(field->alive, space);
    EXPECT_EQ(field->player.isAlive(), space);
    EXPECT_EQ(field->player.getXPos(), 77);
    EXPECT_EQ(field->player.getYPos(), space ? 210 : 222);
    EXPECT_FLOAT_EQ(field->ySpeed, space ? -10 : -5);
    const bool newGame = space && lives == 0;
    EXPECT_EQ(field->score, newGame ? 0 : 3);
    EXPECT_EQ(field->balloonsLeft, newGame ? 51 : 50);
    EXPECT_EQ(balloonsShown(), newGame ? 51u : 50u);
  }
  SetUp();  // a live jumper is left alone
  Uint8 keys[SDLK_LAST] = {};
  keys[SDLK_SPACE] = 1;
  EXPECT_TRUE(shows([&] { handleDeath(*field, keys, font, screen); }).glyphs.empty());
  EXPECT_EQ(field->lives, 3);
}

TEST_F(Rules, BalloonsDriftWrapAndBurstWhereTheyWereHit) {
  cBalloon balloon;
  cPlayer& player = field->player;
  auto make = [&](int x, int speed) {
    balloon.init(balloonSheet, 0, 16, 16, 16, 4, 250, x, 40, 10, 11, -20, 320, speed);
  };
  auto place = [&] { return shows([&] { balloon.draw(screen, player); }).balloons; };
  // Start x, speed; x after each of three frames: wrapped only once past the limits.
  const int drift[][5] = {{318, 2, 320, -18, -16}, {-18, -2, -20, 318, 316}};
  player.setPos(100, 200);
  for (const auto& c : drift) {
    make(c[0], c[1]);
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(place().at(0).x, c[2 + frame]);
  }
  // Jumper x, y, hit: after its move the box is x 100..110, y 40..51, edges included.
  const int touch[][3] = {{110, 45, 1}, {111, 45, 0}, {83, 45, 1},  {82, 45, 0},  {100, 51, 1},
                          {100, 52, 0}, {100, 23, 1}, {100, 22, 0}, {110, 51, 1}, {111, 52, 0}};
  for (const auto& [x, y, hit] : touch) {
    make(99, 1);
    player.setPos(x, y);
    EXPECT_EQ(balloon.draw(screen, player), hit) << x << "," << y;
  }
  // Hit once; the burst strip shows three frames where it was hit, then nothing until fixed.
  make(98, 2);
  player.setPos(100, 40);
  for (int frame = 0; frame < 5; ++frame) {
    int hit = -1;
    const auto shown = shows([&] { hit = balloon.draw(screen, player); }).balloons;
    EXPECT_EQ(hit, frame == 0);
    ASSERT_EQ(shown.size(), frame < 3 ? 1u : 0u) << frame;
    for (const seam::Placed& burst : shown)
      EXPECT_TRUE(burst.x == 100 && seam::cutFrom(burst.image, balloonSheet, 64, 16));
  }
  balloon.fix();
  player.setPos(100, 200);
  const auto back = place();
  EXPECT_TRUE(back.at(0).x == 110 && seam::cutFrom(back[0].image, balloonSheet, 0, 16));
}

TEST_F(Rules, TheJumperFliesAndCrashesOnItsOwnClocks) {
  cPlayer player(jumperSheet, 0, 0, 17, 17, 5);
  // Tick; sheet x of the flight and the crash frame shown. Flight frames last
  // 130 ms, the fourth 170; crash frames 110, from x 85 on.
  const int steps[][3] = {{0, 0, 85},    {130, 0, 102}, {131, 17, 102}, {391, 51, 136},
                          {560, 51, 85}, {561, 68, 85}, {600, 68, 85}};
  for (const auto& [at, flightX, crashX] : steps) {
    seam::reset();
    seam::advance(at);
    for (bool alive : {true, false}) {
      alive ? player.live() : player.kill();
      const seam::View shown = shows([&] { player.draw(screen); });
      EXPECT_TRUE(
          seam::cutFrom(shown.jumpers.at(0).image, jumperSheet, alive ? flightX : crashX, 0))
          << "tick " << at << (alive ? " flying" : " crashed");
    }
  }
}

TEST(Numbers, AreWrittenInDecimalWithASignOnlyWhenNegative) {
  const std::pair<long, const char*> cases[] = {{0, "0"},
                                                {-5, "-5"},
                                                {12345678, "12345678"},
                                                {LONG_MAX, "9223372036854775807"},
                                                {LONG_MIN, "-9223372036854775808"}};
  for (const auto& [value, text] : cases) {
    char print[printSize];
    formatNumber(value, print);
    EXPECT_STREQ(print, text);
  }
}

}  // namespace

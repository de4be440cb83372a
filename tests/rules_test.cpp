// The rules of the field and the objects' motion and contacts, driven directly:
// a table for each rule.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "SDLFunctions.h"
#include "main.h"
#include "seam.h"

namespace {

SDL_Surface* screen;
SDL_Surface *balloonSheet, *jumperSheet, *boardSheet;
cFont font;

SDL_Surface* image(const std::string& name) { return loadBMP((GRUMO_DATA_DIR "/" + name).c_str()); }
FSOUND_SAMPLE* sample(const std::string& name) {
  return FSOUND_Sample_Load(FSOUND_FREE, (GRUMO_DATA_DIR "/" + name).c_str(), FSOUND_2D, 0, 0);
}

class Rules : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    ASSERT_TRUE(screen && FSOUND_Init(44100, 64, 0));
    pop = sample("sound/pop.wav"), splat = sample("sound/splat.wav");
    studs = sample("sound/studs.wav"), win = sample("sound/win.wav");
    balloonSheet = image("gfx/balloon.bmp"), jumperSheet = image("gfx/fatman.bmp");
    boardSheet = image("gfx/board.bmp");
    static int widths[cFont::numGlyphs];
    createList(widths);
    font.init(GRUMO_DATA_DIR "/gfx/font.bmp", widths, 8, 255, 0, 255);
  }
  void SetUp() override {
    seam::reset();
    field = std::make_unique<cPlayField>(balloonSheet, jumperSheet, boardSheet);
  }
  // How many balloons (or bursts) the next frame shows.
  int balloonsShown() {
    SDL_Flip(screen);
    drawBalloons(*field, screen);
    return static_cast<int>(seam::frame().balloons.size());
  }
  std::unique_ptr<cPlayField> field;
};

TEST_F(Rules, MotionReflectsOffTheWallsFallsAndKeepsWholePixels) {
  // x, y, xSpeed, ySpeed before the step; the same after it.
  const float cases[][8] = {
      {-3, 100, -2, 0, 5, 100, 2, 0.5},           {0, 100, -2, 0, -2, 100, -2, 0.5},
      {303, 100, 1, 0, 302, 100, -1, 0.5},        {308, 100, 2, 0, 296, 100, -2, 0.5},
      {100, 235, 0, 0, 100, 235, 0, 0.5},         {100, 236, 0, 3, 100, 221, 0, -14.5},
      {100, 204, 0, -11.1f, 100, 193, 0, -10.6f}, {100, 100, 0.1f, 0, 100, 100, 0.1f, 0.5},
      {100, 100, -0.1f, 0, 99, 100, -0.1f, 0.5},  {2, 100, -4.1f, 0, -2, 100, -4.1f, 0.5},
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

TEST_F(Rules, BoardCatchesOnItsRaisedHalfAndThrowsHarderTowardsTheEnd) {
  enum { none, lands, splats };
  // Tipped, jumper x and y, alive; outcome, jumper x and y, xSpeed and ySpeed after.
  // The board lies at (140, 221), 50 wide; the jumper's centre is x + 8.
  const float cases[][9] = {
      {0, 132, 212, 1, lands, 173, 204, 4.1f, -14.1f},
      {0, 157, 212, 1, lands, 173, 204, 0.1f, -11.1f},
      {0, 145, 230, 1, lands, 173, 204, 2.02f, -12.54f},
      {0, 158, 212, 1, splats, 158, 222, 3, -2},
      {0, 131, 212, 1, splats, 131, 222, 3, -2},
      {1, 157, 212, 1, lands, 140, 204, 0.1f, -11.1f},
      {1, 182, 212, 1, lands, 140, 204, 4.1f, -14.1f},
      {1, 156, 212, 1, splats, 156, 222, 3, -2},
      {1, 183, 212, 1, splats, 183, 222, 3, -2},
      {0, 150, 211, 1, none, 150, 211, 3, -2},
      {0, 150, 222, 0, none, 150, 222, 3, -2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "tipped " << c[0] << " at " << c[1] << "," << c[2]);
    SetUp();
    cSproingy& board = field->board;
    cPlayer& player = field->player;
    if (c[0] != 0) board.flipBoard();
    player.setPos(static_cast<int>(c[1]), static_cast<int>(c[2]));
    if (c[3] == 0) player.kill();
    float xSpeed = 3, ySpeed = -2;
    bool alive = c[3] != 0, isGrumo = true;
    SDL_Flip(screen);
    board.draw(screen, player, xSpeed, ySpeed, alive, isGrumo);
    const seam::View shown = seam::frame();
    ASSERT_EQ(shown.boards.size(), 1u);
    EXPECT_EQ(shown.boards[0].x, 140);
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
    // A landing tips the board: the next frame shows the other image.
    SDL_Flip(screen);
    board.draw(screen, player, xSpeed, ySpeed, alive, isGrumo);
    EXPECT_EQ(seam::frame().boards[0].image == shown.boards[0].image, c[4] != lands);
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
    keys[SDLK_LEFT] = static_cast<Uint8>(c[1]);
    keys[SDLK_RIGHT] = static_cast<Uint8>(c[2]);
    field->boardPos = c[0];
    controlBoard(keys, *field);
    EXPECT_EQ(field->boardPos, c[3]) << c[0] << " " << c[1] << c[2];
    float xSpeed = 0, ySpeed = 0;
    SDL_Flip(screen);
    field->board.draw(screen, field->player, xSpeed, ySpeed, field->alive, field->isGrumo);
    EXPECT_EQ(seam::frame().boards.at(0).x, c[3]);
  }
}

TEST_F(Rules, BalloonsScoreByRowAndEveryHitCounts) {
  // Jumper x and y; points and pops in that frame. Row 0 is at y 20, row 1 at
  // y 40, row 2 at y 60; each has drifted 2 pixels before it is tested.
  const int cases[][4] = {
      {0, 20, 3, 1}, {0, 40, 2, 1}, {12, 60, 1, 1}, {0, 25, 5, 2}, {150, 150, 0, 0}};
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
  field->player.setPos(0, 20);
  for (int frame = 0; frame < 4; ++frame) drawBalloons(*field, screen);
  field->player.setPos(150, 150);
  ASSERT_EQ(balloonsShown(), 50);
  long pause = 40;
  clearSet(*field, pause);
  EXPECT_EQ(pause, 40);  // one balloon is still up
  EXPECT_EQ(seam::sounds(win), 0);
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
  EXPECT_EQ(balloonsShown(), 51);
  EXPECT_EQ(field->score, 3);
}

TEST_F(Rules, ADeadJumperWaitsForSpaceToContinueOrStartANewGame) {
  // Lives, Space held; lives after, message row 1 and 2.
  struct Case {
    int lives;
    bool space;
    int livesAfter;
    const char *first, *second;
  };
  const char* death = "Aj vad doed du aer. Tryck paa space foer att fortsaetta.";
  const char* gameOver = "Nu ar du inte saa kaxig va?!?";
  const char* again = "Tryck space foer en ny omgaang eller esc foer att avsluta.";
  const Case cases[] = {{2, false, 2, death, ""},
                        {2, true, 1, death, ""},
                        {1, true, 0, death, ""},
                        {0, false, 0, gameOver, again},
                        {0, true, 3, gameOver, again}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.lives << " lives, space " << c.space);
    SetUp();
    field->player.setPos(0, 20);
    for (int frame = 0; frame < 3; ++frame) drawBalloons(*field, screen);  // one burst, 3 points
    field->player.setPos(77, 222);
    field->player.kill();
    field->alive = false;
    field->lives = c.lives;
    Uint8 keys[SDLK_LAST] = {};
    keys[SDLK_SPACE] = c.space;
    SDL_Flip(screen);
    handleDeath(*field, keys, font, screen);
    const seam::View shown = seam::frame();
    EXPECT_EQ(shown.textAt(40, 100), c.first);
    EXPECT_EQ(shown.textAt(40, 120), c.second);
    EXPECT_EQ(field->lives, c.livesAfter);
    EXPECT_EQ(field->alive, c.space);
    EXPECT_EQ(field->player.isAlive(), c.space);
    EXPECT_EQ(field->player.getXPos(), 77);
    EXPECT_EQ(field->player.getYPos(), c.space ? 210 : 222);
    EXPECT_FLOAT_EQ(field->ySpeed, c.space ? -10 : -5);
    const bool newGame = c.space && c.lives == 0;
    EXPECT_EQ(field->score, newGame ? 0 : 3);
    EXPECT_EQ(field->balloonsLeft, newGame ? 51 : 50);
    EXPECT_EQ(balloonsShown(), newGame ? 51 : 50);
  }
  SetUp();  // a live jumper is left alone
  Uint8 keys[SDLK_LAST] = {};
  keys[SDLK_SPACE] = 1;
  SDL_Flip(screen);
  handleDeath(*field, keys, font, screen);
  EXPECT_EQ(field->lives, 3);
  EXPECT_TRUE(seam::frame().glyphs.empty());
}

TEST_F(Rules, BalloonsDriftWrapAndBurstWhereTheyWereHit) {
  cBalloon balloon;
  // Start x, speed; x after each of three frames. Wraps only once past the limits.
  const int drift[][5] = {{318, 2, 320, -18, -16}, {-18, -2, -20, 318, 316}};
  field->player.setPos(100, 200);
  for (const auto& c : drift) {
    balloon.init(balloonSheet, 0, 16, 16, 16, 4, 250, c[0], 40, 10, 11, -20, 320, c[1]);
    for (int frame = 0; frame < 3; ++frame) {
      SDL_Flip(screen);
      EXPECT_EQ(balloon.draw(screen, field->player), 0);
      EXPECT_EQ(seam::frame().balloons.at(0).x, c[2 + frame]);
    }
  }
  // Jumper x, y, hit: after its move the box is x 100..110, y 40..51, edges included.
  const int touch[][3] = {{110, 45, 1}, {111, 45, 0}, {83, 45, 1},  {82, 45, 0},  {100, 51, 1},
                          {100, 52, 0}, {100, 23, 1}, {100, 22, 0}, {110, 51, 1}, {111, 52, 0}};
  for (const auto& [x, y, hit] : touch) {
    balloon.init(balloonSheet, 0, 16, 16, 16, 4, 250, 99, 40, 10, 11, -20, 320, 1);
    field->player.setPos(x, y);
    EXPECT_EQ(balloon.draw(screen, field->player), hit) << x << "," << y;
  }
  // Hit once; the burst strip shows three frames where it was hit, then nothing until fixed.
  balloon.init(balloonSheet, 0, 16, 16, 16, 4, 250, 98, 40, 10, 11, -20, 320, 2);
  field->player.setPos(100, 40);
  for (int frame = 0; frame < 5; ++frame) {
    SDL_Flip(screen);
    EXPECT_EQ(balloon.draw(screen, field->player), frame == 0);
    const seam::View shown = seam::frame();
    ASSERT_EQ(shown.balloons.size(), frame < 3 ? 1u : 0u) << frame;
    if (frame >= 3) continue;
    EXPECT_EQ(shown.balloons[0].x, 100);
    EXPECT_TRUE(seam::cutFrom(shown.balloons[0].image, balloonSheet, 64, 16));
  }
  balloon.fix();
  field->player.setPos(100, 200);
  SDL_Flip(screen);
  balloon.draw(screen, field->player);
  EXPECT_EQ(seam::frame().balloons.at(0).x, 110);
  EXPECT_TRUE(seam::cutFrom(seam::frame().balloons[0].image, balloonSheet, 0, 16));
}

TEST_F(Rules, TheJumperFliesAndCrashesOnItsOwnClocks) {
  cPlayer player(jumperSheet, 0, 0, 17, 17, 5);
  EXPECT_EQ(player.getXPos(), 100);
  // Tick; sheet x of the flight and the crash frame shown. Flight frames last
  // 130 ms, the fourth 170; crash frames 110, from x 85 on.
  const int steps[][3] = {{0, 0, 85},    {130, 0, 102}, {131, 17, 102}, {391, 51, 136},
                          {560, 51, 85}, {561, 68, 85}, {600, 68, 85}};
  for (const auto& [at, flightX, crashX] : steps) {
    seam::advance(at - seam::now());
    for (bool alive : {true, false}) {
      alive ? player.live() : player.kill();
      SDL_Flip(screen);
      player.draw(screen);
      EXPECT_TRUE(seam::cutFrom(seam::frame().jumpers.at(0).image, jumperSheet,
                                alive ? flightX : crashX, 0))
          << "tick " << at << (alive ? " flying" : " crashed");
    }
  }
}

TEST(Numbers, AreWrittenInDecimalWithASignOnlyWhenNegative) {
  const std::pair<long, const char*> cases[] = {{0, "0"},
                                                {7, "7"},
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

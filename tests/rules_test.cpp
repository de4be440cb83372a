// The rules of the field, its objects and the media library: a table each, a row's outcome a line.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <tuple>

#include "SDLFunctions.h"
#include "main.h"
#include "seam.h"

namespace {

using seam::say;
SDL_Surface *screen, *balloonSheet, *jumperSheet, *boardSheet;
cFont font;
const std::string death = "Aj vad doed du aer. Tryck paa space foer att fortsaetta.";
const std::string gameOver = "Nu ar du inte saa kaxig va?!?";
const std::string again = "Tryck space foer en ny omgaang eller esc foer att avsluta.",
                  sounds = GRUMO_DATA_DIR "/sound/";

seam::View shows(const std::function<void()>& draw) {
  SDL_Flip(screen);
  draw();
  return seam::frame();
}

Uint32 pixel(int x, int y) {
  return static_cast<Uint32*>(screen->pixels)[y * screen->pitch / 4 + x];
}

class Rules : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    screen = SDL_SetVideoMode(320, 240, 32, SDL_SWSURFACE);
    ASSERT_TRUE(screen && FSOUND_Init(44100, 64, 0));
    for (auto [sample, name] :
         {std::pair{&pop, "pop"}, {&splat, "splat"}, {&studs, "studs"}, {&win, "win"}})
      *sample = FSOUND_Sample_Load(FSOUND_FREE, (sounds + name + ".wav").c_str(), 0, 0, 0);
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
  const std::pair<std::array<float, 4>, const char*> cases[] = {
      {{-3, 100, -2, 0}, "5 100 2 0.5 "},      {{0, 100, -2, 0}, "-2 100 -2 0.5 "},
      {{303, 100, 1, 0}, "302 100 -1 0.5 "},   {{308, 100, 2, 0}, "296 100 -2 0.5 "},
      {{9, 235, 0, 0}, "9 235 0 0.5 "},        {{9, 236, 0, 3}, "9 221 0 -14.5 "},
      {{9, 204, 0, -11.1f}, "9 193 0 -10.6 "}, {{9, 100, 0.1f, 0}, "9 100 0.1 0.5 "},
      {{9, 100, -0.1f, 0}, "8 100 -0.1 0.5 "}, {{2, 100, -4.1f, 0}, "-2 100 -4.1 0.5 "},
      {{-2, 100, -4.1f, 0}, "6 100 4.1 0.5 "}};
  for (const auto& [c, after] : cases) {
    cPlayer& player = field->player;
    player.setPos(static_cast<int>(c[0]), static_cast<int>(c[1]));
    float xSpeed = c[2], ySpeed = c[3];
    calcSpeed(xSpeed, ySpeed, player);
    EXPECT_EQ(say(player.getXPos(), player.getYPos(), xSpeed, ySpeed), after)
        << say(c[0], c[1], c[2], c[3]);
  }
}

TEST_F(Rules, TheBoardCatchesOnItsRaisedHalfAndThrowsHarderTowardsTheEnd) {
  // Tipped, x, y, alive; sound, x, y, speeds, isGrumo, alive, tips. The board is 50 at (140, 221).
  const std::pair<std::array<int, 4>, const char*> cases[] = {
      {{0, 132, 212, 1}, "studs 173 204 4.1 -14.1 0 1 1 "},
      {{0, 157, 212, 1}, "studs 173 204 0.1 -11.1 0 1 1 "},
      {{0, 145, 230, 1}, "studs 173 204 2.02 -12.54 0 1 1 "},
      {{0, 158, 212, 1}, "splat 158 222 3 -2 1 0 0 "},
      {{0, 131, 212, 1}, "splat 131 222 3 -2 1 0 0 "},
      {{1, 157, 212, 1}, "studs 140 204 0.1 -11.1 0 1 1 "},
      {{1, 182, 212, 1}, "studs 140 204 4.1 -14.1 0 1 1 "},
      {{1, 156, 212, 1}, "splat 156 222 3 -2 1 0 0 "},
      {{1, 183, 212, 1}, "splat 183 222 3 -2 1 0 0 "},
      {{0, 150, 211, 1}, "- 150 211 3 -2 1 1 0 "},
      {{0, 150, 222, 0}, "- 150 222 3 -2 1 0 0 "}};
  for (const auto& [c, after] : cases) {
    SetUp();
    cPlayer& player = field->player;
    if (c[0]) field->board.flipBoard();
    player.setPos(c[1], c[2]);
    if (!c[3]) player.kill();
    float xSpeed = 3, ySpeed = -2;
    bool alive = c[3], isGrumo = true;
    auto draw = [&] { field->board.draw(screen, player, xSpeed, ySpeed, alive, isGrumo); };
    const seam::View shown = shows(draw);
    EXPECT_TRUE(seam::cutFrom(shown.boards.at(0).image, boardSheet, c[0] ? 50 : 0, 0));
    EXPECT_EQ(alive, player.isAlive());
    const char* sound = seam::sounds(studs) ? "studs" : seam::sounds(splat) ? "splat" : "-";
    const bool tips = shows(draw).boards.at(0).image != shown.boards[0].image;
    EXPECT_EQ(say(sound, player.getXPos(), player.getYPos(), xSpeed, ySpeed, isGrumo, alive, tips),
              after)
        << say(c[0], c[1], c[2], c[3]);
  }
  float xSpeed = 0, ySpeed = 0;
  calcBounceSpeed(xSpeed, ySpeed, 1.04f);  // an odd board's far end; no sideways speed goes left
  EXPECT_EQ(say(xSpeed, ySpeed), "-4.26 -14.22 ");
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
    float speed = 0;
    auto draw = [&] {
      field->board.draw(screen, field->player, speed, speed, field->alive, field->isGrumo);
    };
    EXPECT_EQ(say(field->boardPos, shows(draw).boards.at(0).x), say(c[3], c[3]))
        << say(c[0], c[1], c[2]);
  }
}

TEST_F(Rules, BalloonsScoreByRowAndEveryHitCounts) {
  // Jumper x and y; points and pops. Rows at y 20, 40, 60 drift 2 before the test.
  const int cases[][4] = {
      {0, 20, 3, 1}, {0, 40, 2, 1}, {12, 60, 1, 1}, {0, 25, 5, 2}, {9, 99, 0, 0}};
  for (const auto& c : cases) {
    SetUp();
    field->player.setPos(c[0], c[1]);
    field->player.kill();  // a lying jumper pops balloons too
    drawBalloons(*field, screen);
    EXPECT_EQ(say(field->score, 51 - field->balloonsLeft, seam::sounds(pop)),
              say(c[2], c[3], c[3]));
  }
}

TEST_F(Rules, AClearedSetComesBackWithALifeALevelAndAShorterPeriodDownTo20) {
  popOne();
  field->player.setPos(150, 150);
  long pause = 40;
  clearSet(*field, pause);  // one balloon is still up
  EXPECT_EQ(say(pause, balloonsShown(), seam::sounds(win)), "40 50 0 ");
  const long periods[] = {35, 30, 25, 20, 20, 20};
  for (int set = 1; set <= 6; ++set) {
    field->balloonsLeft = 0;
    clearSet(*field, pause);
    EXPECT_EQ(say(pause, field->level, field->lives, field->balloonsLeft, seam::sounds(win)),
              say(periods[set - 1], set, 3 + set, 51, set));
  }
  EXPECT_EQ(say(balloonsShown(), field->score), "51 3 ");
}

TEST_F(Rules, ADeadJumperWaitsForSpaceToContinueOrStartANewGame) {
  // Lives, Space held; the messages, lives, both alive flags, x, y, ySpeed, score, balloons
  // left and shown, level. A continue mends nothing; a new game all but the level.
  const std::pair<std::array<int, 2>, std::string> cases[] = {
      {{2, 0}, say(death, "", 2, 0, 0, 77, 222, -5, 3, 50, 50, 4)},
      {{2, 1}, say(death, "", 1, 1, 1, 77, 210, -10, 3, 50, 50, 4)},
      {{1, 1}, say(death, "", 0, 1, 1, 77, 210, -10, 3, 50, 50, 4)},
      {{0, 0}, say(gameOver, again, 0, 0, 0, 77, 222, -5, 3, 50, 50, 4)},
      {{0, 1}, say(gameOver, again, 3, 1, 1, 77, 210, -10, 0, 51, 51, 4)}};
  for (const auto& [c, after] : cases) {
    SetUp();
    popOne();
    field->player.setPos(77, 222);
    field->player.kill();
    field->alive = false, field->lives = c[0], field->level = 4;
    Uint8 keys[SDLK_LAST] = {};
    keys[SDLK_SPACE] = static_cast<Uint8>(c[1]);
    const seam::View shown = shows([&] { handleDeath(*field, keys, font, screen); });
    EXPECT_EQ(say(shown.textAt(40, 100), shown.textAt(40, 120), field->lives, field->alive,
                  field->player.isAlive(), field->player.getXPos(), field->player.getYPos(),
                  field->ySpeed, field->score, field->balloonsLeft, balloonsShown(), field->level),
              after);
  }
}

TEST_F(Rules, BalloonsDriftWrapAndBurstWhereTheyWereHit) {
  cBalloon balloon;
  cPlayer& player = field->player;
  auto make = [&](int x, int speed) {
    balloon.init(balloonSheet, 0, 16, 16, 16, 4, 250, x, 40, 10, 11, -20, 320, speed);
  };
  int hit = -1;
  auto place = [&] { return shows([&] { hit = balloon.draw(screen, player); }).balloons; };
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
  for (const auto& [x, y, touches] : touch) {
    make(99, 1);
    player.setPos(x, y);
    EXPECT_EQ(balloon.draw(screen, player), touches) << x << "," << y;
  }
  // Hit once, the burst shows three frames where hit, then nothing till fixed (its clock ran).
  make(98, 2);
  player.setPos(100, 40);
  seam::advance(100);
  for (int frame = 0; frame < 5; ++frame) {
    const auto shown = place();
    EXPECT_EQ(say(hit, shown.size()), say(frame == 0, frame < 3 ? 1 : 0));
    for (const seam::Placed& burst : shown)
      EXPECT_TRUE(burst.x == 100 && seam::cutFrom(burst.image, balloonSheet, 96, 16));
  }
  balloon.fix();
  player.setPos(100, 200);
  const auto back = place();
  EXPECT_TRUE(back.at(0).x == 110 && seam::cutFrom(back[0].image, balloonSheet, 0, 16));
}

TEST_F(Rules, SpritesShowEachFrameForItsPauseOnTheirOwnClocks) {
  cPlayer player(jumperSheet, 0, 0, 17, 17, 5);
  cSprite sprite;
  sprite.init(jumperSheet, 17, 0, 17, 17, 3);  // frames from x 17, 34 and 51
  sprite.setAllPause(100);
  sprite.setPause(1, 0);  // still shown for 1 ms
  seam::advance(50);
  sprite.start();
  cSprite still = sprite;  // a stopped copy keeps its frame
  still.stop();
  // Tick; sheet x of the jumper's flight frame (130 ms, the fourth 170), its
  // crash frame (110 ms, from x 85 on), the sprite's and the stopped copy's.
  const int steps[][4] = {{130, 0, 102, 17},  {151, 17, 102, 34}, {152, 17, 102, 51},
                          {252, 17, 119, 17}, {391, 51, 136, 51}, {560, 51, 85, 51},
                          {561, 68, 85, 51},  {600, 68, 85, 51}};
  for (const auto& [at, flightX, crashX, spriteX] : steps) {
    seam::reset();
    seam::advance(at);
    const seam::View shown = shows([&] {
      player.draw(screen);
      player.kill();
      player.draw(screen);
      player.live();
      sprite.draw(screen, 0, 0);
      still.draw(screen, 0, 0);
    });
    const int expected[] = {flightX, crashX, spriteX, 17};
    for (int i = 0; i < 4; ++i)
      EXPECT_TRUE(seam::cutFrom(shown.jumpers.at(i).image, jumperSheet, expected[i], 0))
          << "tick " << at << " image " << i;
  }
  // Copies share their pictures; a frame set by hand shows at once.
  auto shownBy = [&](cSprite& s) { return shows([&] { s.draw(screen, 0, 0); }).jumpers; };
  still.setImage(2, jumperSheet);
  EXPECT_TRUE(seam::cutFrom(shownBy(sprite).at(0).image, jumperSheet, 0, 0));
  sprite.setFrame(0);
  EXPECT_TRUE(seam::cutFrom(shownBy(sprite).at(0).image, jumperSheet, 17, 0));
}

TEST_F(Rules, CutImagesAreClearWhereTheSheetIsMagentaWhateverItsDepth) {
  // Depth and masks of the sheet.
  const Uint32 formats[][4] = {
      {16, 0xf800, 0x07e0, 0x1f}, {24, 0xff0000, 0xff00, 0xff}, {32, 0xff0000, 0xff00, 0xff}};
  for (const auto& f : formats) {
    SDL_Surface* sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 8, f[0], f[1], f[2], f[3], 0);
    SDL_FillRect(sheet, nullptr, SDL_MapRGB(sheet->format, 255, 0, 255));
    SDL_Rect dot = makeRect(11, 2, 1, 1), nearly = makeRect(12, 2, 1, 1);
    SDL_FillRect(sheet, &dot, SDL_MapRGB(sheet->format, 255, 255, 255));
    SDL_FillRect(sheet, &nearly, SDL_MapRGB(sheet->format, 255, 0, 200));  // only magenta is clear
    SDL_Surface* cut = cutImage(sheet, 8, 0, 8, 8);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->flags & (SDL_SRCCOLORKEY | SDL_RLEACCEL), Uint32(SDL_SRCCOLORKEY));
    SDL_FillRect(screen, nullptr, 0);
    drawBMP(cut, screen, 0, 0);
    std::string drawn;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) drawn += pixel(x, y) ? '#' : '.';
    EXPECT_EQ(drawn, std::string(19, '.') + "##" + std::string(43, '.')) << f[0] << " bits";
    SDL_FreeSurface(cut);
    SDL_FreeSurface(sheet);
  }
}

TEST_F(Rules, ThePenMovesByEachGlyphsWidthPlusOneAndTextBoxesWrapWords) {
  // Widths: A 4, b 3, space 3, c 3, ? 4; a byte without a glyph shows as '?'.
  const seam::View written = shows([] { font.writeString(screen, "Ab c\n~9", 10, 20); });
  std::string pen;
  for (const seam::Glyph& g : written.glyphs) pen += say(g.letter, g.x, g.y);
  EXPECT_EQ(pen, "A 10 20 b 15 20 c 23 20 ? 10 30 9 15 30 ");
  EXPECT_EQ(
      say(font.getStringWidth("A b", 3), font.getStringWidth("~", 1), font.getStringWidth("", 0),
          font.getWidth(' '), font.getWidth('\n'), font.writeLetter(screen, 'm', 1, 2)),
      "12 4 -1 3 -1 5 ");
  // Text, width, rows; undrawn rest, rows written, each word's first letter ("aaa" is 14 wide).
  const std::string long40(40, 'a');
  const std::tuple<const char*, int, int, const char*> boxes[] = {
      {"aaa bbb ccc", 40, 5, "-1 1 a 0 0 b 18 0 c 0 10 "},
      {"aaa bbb ccc", 20, 2, "7 0 a 0 0 b 0 10 "},
      {"aaa bbb", 29, 1, "-1 0 a 0 0 b 18 0 "},
      {"  aaa\n\nbbb", 300, 5, "-1 1 a 0 0 b 0 10 "},
      {long40.c_str(), 1000, 1, "-1 0 a 0 0 a 158 0 "},
      {long40.c_str(), 100, 2, "31 0 a 0 10 "}};
  for (const auto& [text, w, rows, after] : boxes) {
    int rest = 0, written = -1;
    const seam::View shown =
        shows([&] { rest = font.textbox(screen, text, 0, 0, w, rows, written); });
    std::string words = say(rest, written);
    for (size_t i = 0; i < shown.glyphs.size(); ++i) {
      const seam::Glyph &g = shown.glyphs[i], *last = i ? &shown.glyphs[i - 1] : nullptr;
      if (!last || g.y != last->y || g.x != last->x + font.getWidth(last->letter) + 1)
        words += say(g.letter, g.x, g.y);
    }
    EXPECT_EQ(words, after) << text;
  }
}

TEST_F(Rules, TheFreeHelpersWriteNumbersAndFillBoxes) {
  char print[printSize];
  std::string all;
  for (long value : {0L, -5L, 12345678L, LONG_MAX, LONG_MIN})
    formatNumber(value, print), all += say(print);
  EXPECT_EQ(all, "0 -5 12345678 9223372036854775807 -9223372036854775808 ");
  SDL_FillRect(screen, nullptr, 0);
  box(screen, 2, 3, 4, 5);
  const Uint32 blue = SDL_MapRGB(screen->format, 60, 60, 200);
  EXPECT_EQ(say(pixel(2, 3), pixel(5, 7), pixel(6, 7), pixel(5, 8)), say(blue, blue, 0, 0));
}

}  // namespace

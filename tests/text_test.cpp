// Everything the game writes, checked on screen against the fonts on their own.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "autopilot.h"
#include "main.h"
#include "observe.h"
#include "screen.h"
#include "seam.h"

namespace {

using seam::View;

TEST(Numbers, areWrittenInDecimalForAnyLong) {
  char print[printSize];
  const std::vector<std::pair<long, const char*>> cases = {{0, "0"},
                                                           {7, "7"},
                                                           {-1, "-1"},
                                                           {1000000, "1000000"},
                                                           {12345678, "12345678"},
                                                           {LONG_MAX, "9223372036854775807"},
                                                           {LONG_MIN, "-9223372036854775808"}};
  for (const auto& [value, text] : cases) {
    std::memset(print, '#', sizeof print);
    formatNumber(value, print);
    EXPECT_STREQ(print, text);
  }
}

TEST(Credits, textKeepsItsShape) {
  std::string text = creditsText;
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  lines.push_back(text.substr(start));
  ASSERT_EQ(lines.size(), 6u);
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    ASSERT_FALSE(lines[i].empty());
    EXPECT_NE(lines[i].back(), ' ') << "line " << i << " must end on a word";
  }
  size_t word = 0;
  for (char c : text) {
    bool gap = c == ' ' || c == '\n';
    EXPECT_TRUE(gap || seam::glyphWidth(c) > 0) << "no glyph for '" << c << "'";
    word = gap ? 0 : word + 1;
    EXPECT_LE(word, 31u);
  }
  EXPECT_NE(text.find("SDL"), std::string::npos);
  // Laid out in the box: twelve rows of the twenty, the whole text drawn.
  SDL_Surface* scratch = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 32, 0, 0, 0, 0);
  int rows = -1;
  EXPECT_EQ(seam::gameFont(0).textbox(scratch, creditsText, 20, 20, 280, 20, rows), -1);
  EXPECT_EQ(rows, 11);
  SDL_FreeSurface(scratch);
}

TEST(Text, firstFrameShowsTheScoresAndTheShortLabel) {
  std::vector<std::string> problems;
  View first;
  seam::playGame([&](int) {
    first = seam::observeFrame();
    SDL_Surface* screen = SDL_GetVideoSurface();
    int jx = first.jumper().x;
    int jy = first.jumper().y;
    const std::vector<std::tuple<const char*, int, int>> texts = {
        {"Lives:", 280, 8}, {"3", 308, 8}, {"Score:", 5, 2},          {"0", 38, 2},
        {"Level:", 5, 12},  {"0", 38, 12}, {"Grumo", jx - 7, jy - 10}};
    for (const auto& [text, x, y] : texts)
      problems.push_back(seam::textOnScreen(screen, first, 0, text, x, y));
    return false;
  });
  for (const std::string& problem : problems) EXPECT_EQ(problem, "");
  EXPECT_EQ(first.textAt(280, 8), "Lives: 3");
  EXPECT_EQ(first.textAt(5, 2), "Score:");
  EXPECT_EQ(first.textAt(38, 12), "0");
  EXPECT_EQ(first.sheetAt(280, 8), first.sheetAt(first.jumper().x - 7, first.jumper().y - 10));
}

TEST(Text, theLabelSwitchesOnEveryLandingAndFollowsTheJumper) {
  seam::Autopilot pilot(0.5f);
  struct Seen {
    int flip;
    std::string label;
    std::string onScreen;
    SDL_Surface* sheet;
  };
  std::vector<int> landings;
  std::vector<Seen> seen;
  SDL_Surface* plainSheet = nullptr;
  seam::playGame([&](int flip) {
    View view = seam::observeFrame();
    if (!plainSheet) plainSheet = view.sheetAt(280, 8);
    int jx = view.jumper().x;
    int jy = view.jumper().y;
    bool afterLanding = !landings.empty() && flip == landings.back() + 1;
    if (afterLanding) {
      bool longLabel = landings.size() % 2 == 1;
      const char* label = longLabel ? "Grumos onda tvillinbror" : "Grumo";
      int x = longLabel ? jx - 40 : jx - 7;
      seen.push_back(
          {flip, view.textAt(x, jy - 10),
           seam::textOnScreen(SDL_GetVideoSurface(), view, longLabel ? 1 : 0, label, x, jy - 10),
           view.sheetAt(x, jy - 10)});
    }
    if (seam::countSounds(studs, flip, flip + 1) > 0) landings.push_back(flip);
    pilot.steer(view);
    return seen.size() < 3 && flip < 5000;
  });
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].label, "Grumos onda tvillinbror");
  EXPECT_EQ(seen[0].onScreen, "");
  EXPECT_NE(seen[0].sheet, plainSheet);
  EXPECT_EQ(seen[1].label, "Grumo");
  EXPECT_EQ(seen[1].onScreen, "");
  EXPECT_EQ(seen[1].sheet, plainSheet);
  EXPECT_EQ(seen[2].label, "Grumos onda tvillinbror");
}

TEST(Text, aLabelOffTheLeftEdgeIsClippedNotMoved) {
  seam::Autopilot pilot(0.9f);
  std::string problem = "the label never reached the left edge";
  int labelX = 0;
  seam::playGame([&](int flip) {
    View view = seam::observeFrame();
    int jx = view.jumper().x;
    int y = view.jumper().y - 10;
    bool shortLabel = view.textAt(jx - 7, y) == "Grumo";
    int x = shortLabel ? jx - 7 : jx - 40;
    if (x < 0 && y > 0) {
      labelX = x;
      problem = seam::textOnScreen(SDL_GetVideoSurface(), view, shortLabel ? 0 : 1,
                                   shortLabel ? "Grumo" : "Grumos onda tvillinbror", x, y);
      return false;
    }
    pilot.steer(view);
    return flip < 20000;
  });
  EXPECT_LT(labelX, 0);
  EXPECT_EQ(problem, "");
}

TEST(Text, deathAndGameOverMessages) {
  std::vector<std::string> problems;
  int deaths = 0;
  bool sawDeath = false;
  bool sawGameOver = false;
  const char* gameOver1 = "Nu ar du inte saa kaxig va?!?";
  const char* gameOver2 = "Tryck space foer en ny omgaang eller esc foer att avsluta.";
  const char* death = "Aj vad doed du aer. Tryck paa space foer att fortsaetta.";
  seam::playGame([&](int flip) {
    View view = seam::observeFrame();
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (seam::countSounds(splat, flip, flip + 1)) ++deaths;
    bool dead = view.jumper().y == 222;
    if (dead && deaths <= 3 && !view.textAt(40, 100).empty()) {
      EXPECT_EQ(view.textAt(40, 100), death);
      problems.push_back(seam::textOnScreen(screen, view, 0, death, 40, 100));
      sawDeath = true;
      seam::press(SDLK_SPACE);
    } else {
      seam::release(SDLK_SPACE);
    }
    if (dead && deaths == 4 && !view.textAt(40, 100).empty()) {
      EXPECT_EQ(view.textAt(40, 100), gameOver1);
      EXPECT_EQ(view.textAt(40, 110), "");
      EXPECT_EQ(view.textAt(40, 120), gameOver2);
      problems.push_back(seam::textOnScreen(screen, view, 0, gameOver1, 40, 100));
      problems.push_back(seam::textOnScreen(screen, view, 0, gameOver2, 40, 120));
      sawGameOver = true;
      return false;
    }
    // Keep the board away from the jumper.
    seam::hold(SDLK_LEFT, view.jumper().x >= 160);
    seam::hold(SDLK_RIGHT, view.jumper().x < 160);
    return flip < 20000;
  });
  EXPECT_TRUE(sawDeath);
  EXPECT_TRUE(sawGameOver);
  for (const std::string& problem : problems) EXPECT_EQ(problem, "");
}

TEST(Credits, escapeShowsThemUntilEscapeIsPressedAnew) {
  int creditFrames = 0;
  std::string problem = "not shown";
  int lowestRow = 0;
  int highestRow = 1000;
  int result = seam::runGame([&](SDL_Surface* screen, int flip) {
    View view = seam::observeFrame();
    if (flip == 5) seam::press(SDLK_ESCAPE);
    if (flip < 7) return;
    ++creditFrames;
    if (flip == 7) {
      problem = seam::sameAsOnItsOwn(screen, view, [](SDL_Surface* target) {
        seam::gameFont(0).textbox(target, creditsText, 20, 20, 280, 20);
      });
      for (const seam::Glyph& g : view.glyphs) {
        lowestRow = std::max(lowestRow, g.y);
        highestRow = std::min(highestRow, g.y);
      }
    }
    // Other keys, releases and the window-close event change nothing.
    if (flip == 8) seam::release(SDLK_ESCAPE);
    if (flip == 9) seam::press(SDLK_SPACE);
    if (flip == 10) seam::press(SDLK_LEFT);
    if (flip == 11) {
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      seam::queueEvent(quit);
    }
    if (flip == 30) seam::press(SDLK_ESCAPE);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(highestRow, 20);
  EXPECT_EQ(lowestRow, 130);
  EXPECT_EQ(creditFrames, 25);
  EXPECT_EQ(seam::delays().size(), 7u) << "the credits never wait";
}

}  // namespace

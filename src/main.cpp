#include "main.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "SDLFunctions.h"
#include "pictures.h"

FSOUND_STREAM* mp3 = nullptr;
FSOUND_SAMPLE* pop = nullptr;
FSOUND_SAMPLE* splat = nullptr;
FSOUND_SAMPLE* studs = nullptr;
FSOUND_SAMPLE* win = nullptr;

const long slowestPause = 40;
const long fastestPause = 20;

namespace {

// Six lines, each newline right after a word so that every line starts a row
// of the credits box; the runs of spaces fold into single gaps there.
const char* const creditsText =
    "Grumo Sproing\n"
    "Programming: Knasterbult - Olle Fjaderfanig\n"
    "Graphics:     Pixelgrott - Mia Ritsk\n"
    "Guest coding: Bitbjoern (Kaffekoderiet) - Sixten Kvastskaftsson\n"
    "    Written in the autumn of 2026 in C++ with SDL and SDL mixer.    Every pixel and every "
    "beep was made by us.\n"
    "Greetings to the Tuesday pizza club, to everyone at the Sprattelbacken youth club and to all "
    "who ever fell off a seesaw.    Thanks to Mormor Gredelin for the loan of her kitchen table, "
    "to the cat Pannkaka for sitting on the keyboard, and to you for playing!    Pop them all, "
    "catch Grumo and beware of his evil twin brother.    See you soon!    ";

const int setSize = columns * rows;

const char* const deathMessage = "Aj vad doed du aer. Tryck paa space foer att fortsaetta.";
const char* const gameOverMessage =
    "Nu ar du inte saa kaxig va?!?\n\nTryck space foer en ny omgaang eller esc foer att avsluta.";

// A sprite sheet, or the backdrop: rows of frames of one size. A row of a
// sheet holds an object's two strips, or the board's two tilts, side by side.
struct cSheet {
  const char* path;
  int frameWidth;
  int frameHeight;
  int frames;
  int rows;
};

const cSheet backdropImage = {"gfx/background.bmp", screenWidth, screenHeight, 1, 1};
const cSheet balloonSheet = {"gfx/balloon.bmp", 16, 16, 8, 3};
const cSheet jumperSheet = {"gfx/fatman.bmp", 17, 17, 10, 1};
const cSheet boardSheet = {"gfx/board.bmp", 50, 18, 2, 1};

SDL_Surface* openDisplay() {
  SDL_Surface* screen = SDL_SetVideoMode(screenWidth, screenHeight, screenDepth,
                                         SDL_HWSURFACE | SDL_DOUBLEBUF | SDL_FULLSCREEN);
  if (!screen) videoModeFailed(SDL_GetError());
  return screen;
}

FSOUND_SAMPLE* loadSample(const char* path) {
  FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, path, FSOUND_2D, 0, 0);
  if (!sample) fatal("FSOUND_Sample_Load(%s) failed!\n", path);
  return sample;
}

void startSound() {
  if (!FSOUND_Init(44100, 64, 0)) fatal("FSOUNT_Init() failed!\n");
  mp3 = FSOUND_Stream_Open("sound/music.mp3", FSOUND_LOOP_NORMAL, 0, 0);
  if (!mp3) fatal("FSOUND_Stream_Open() failed!\n");
  pop = loadSample("sound/pop.wav");
  splat = loadSample("sound/splat.wav");
  studs = loadSample("sound/studs.wav");
  win = loadSample("sound/win.wav");
}

// An image that is missing, unreadable or too small for what is cut from it
// would leave the game drawing nothing or garbage, so start-up stops instead.
SDL_Surface* loadSheet(const cSheet& sheet) {
  SDL_Surface* image = loadBMP(sheet.path);
  if (!image) fatal("Unable to load %s: %s\n", sheet.path, SDL_GetError());
  const int minWidth = sheet.frameWidth * sheet.frames;
  const int minHeight = sheet.frameHeight * sheet.rows;
  if (image->w < minWidth || image->h < minHeight)
    fatal("Unable to use %s: it is %dx%d pixels, at least %dx%d are needed\n", sheet.path, image->w,
          image->h, minWidth, minHeight);
  return image;
}

void loadFont(cFont& font, const char* path, int* fontList) {
  font.init(path, fontList, 8, keyRed, keyGreen, keyBlue);
  if (font.isUsable()) return;
  // The loader's own reason comes first; the size only when it is the problem.
  if (!loadBMP(path)) fatal("Unable to load %s: %s\n", path, SDL_GetError());
  fatal("Unable to load %s as a glyph sheet of at least %dx8 pixels\n", path, cFont::numGlyphs * 8);
}

}  // namespace

void fatal(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::exit(1);
}

void videoModeFailed(const char* why) {
  fatal("Unable to set the %dx%dx%d video mode: %s\n", screenWidth, screenHeight, screenDepth, why);
}

cPlayField::cPlayField(SDL_Surface* balloonImage, SDL_Surface* playerImage, SDL_Surface* boardImage)
    : player(playerImage, 0, 0, jumperSheet.frameWidth, jumperSheet.frameHeight,
             jumperSheet.frames / 2),
      board(boardImage, 0, 0, boardSheet.frameWidth, boardSheet.frameHeight, 140, 221) {
  // Rows 0 and 2 drift right, row 1 left; row 2 sits half a spacing over.
  const int speed[rows] = {2, -2, 2};
  const int shift[rows] = {0, 0, 10};
  const int size = balloonSheet.frameWidth;
  for (int row = 0; row < rows; ++row)
    for (int c = 0; c < columns; ++c)
      balloon[c][row].init(balloonImage, 0, size * row, size, size, balloonSheet.frames / 2, 250,
                           20 * c + shift[row], 20 + 20 * row, 10, 11, -20, screenWidth,
                           speed[row]);
  xSpeed = 3.0f;
  ySpeed = -5.0f;
  const float xPos = 100.0f;
  const float yPos = 100.0f;
  player.setPos(static_cast<int>(xPos), static_cast<int>(yPos));
  boardPos = 190;
  alive = true;
  lives = 3;
  score = 0;
  level = 0;
  balloonsLeft = setSize;
  isGrumo = true;
}

namespace {

void fixAll(cPlayField& field) {
  for (int row = 0; row < rows; ++row)
    for (int c = 0; c < columns; ++c) field.balloon[c][row].fix();
}

void handleEvents(bool& done, cSproingy& board) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type != SDL_KEYDOWN) continue;
    if (event.key.keysym.sym == SDLK_ESCAPE) done = true;
    if (event.key.keysym.sym == SDLK_SPACE) board.flipBoard();
  }
}

}  // namespace

void controlBoard(const Uint8* keys, cPlayField& field) {
  if (keys[SDLK_LEFT]) {
    if (field.boardPos > 0) field.boardPos -= 5;
    if (field.boardPos < 0) field.boardPos = 0;
  }
  if (keys[SDLK_RIGHT]) {
    if (field.boardPos < screenWidth) field.boardPos += 5;
    if (field.boardPos + field.board.getWidth() > screenWidth)
      field.boardPos = screenWidth - field.board.getWidth();
  }
  field.board.setXPos(field.boardPos);
}

void clearSet(cPlayField& field, long& pause) {
  if (field.balloonsLeft != 0) return;
  field.balloonsLeft = setSize;
  ++field.level;
  ++field.lives;
  FSOUND_PlaySound(FSOUND_FREE, win);
  if (pause > fastestPause) pause -= 5;
  fixAll(field);
}

namespace {

void throwUpAgain(cPlayField& field) {
  field.ySpeed = -10.0f;
  field.player.live();
  field.alive = true;
  field.player.setYPos(210);
}

}  // namespace

void handleDeath(cPlayField& field, const Uint8* keys, cFont& font, SDL_Surface* screen) {
  if (field.alive) return;
  if (field.lives > 0) {
    font.writeString(screen, deathMessage, 40, 100);
    if (!keys[SDLK_SPACE]) return;
    --field.lives;
    throwUpAgain(field);
  } else {
    font.writeString(screen, gameOverMessage, 40, 100);
    if (!keys[SDLK_SPACE]) return;
    field.balloonsLeft = setSize;
    field.score = 0;
    field.lives = 3;
    throwUpAgain(field);
    fixAll(field);
  }
}

namespace {

void drawNumber(cFont& font, SDL_Surface* screen, const char* label, long value, int x, int y,
                int numberX) {
  char print[printSize];
  formatNumber(value, print);
  font.writeString(screen, label, x, y);
  font.writeString(screen, print, numberX, y);
}

void drawScore(cPlayField& field, cFont* font, SDL_Surface* screen) {
  drawNumber(font[0], screen, "Lives:", field.lives, 280, 8, 308);
  drawNumber(font[0], screen, "Score:", field.score, 5, 2, 38);
  drawNumber(font[0], screen, "Level:", field.level, 5, 12, 38);
}

// The name over the jumper follows it, dead or alive, and changes on every landing.
void drawNameLabel(cPlayField& field, cFont* font, SDL_Surface* screen) {
  float px = field.player.getXPos();
  float py = field.player.getYPos();
  if (field.isGrumo)
    font[0].writeString(screen, "Grumo", static_cast<int>(px - 7.0f), static_cast<int>(py - 10.0f));
  else
    font[1].writeString(screen, "Grumos onda tvillinbror", static_cast<int>(px - 40.0f),
                        static_cast<int>(py - 10.0f));
}

}  // namespace

void drawBalloons(cPlayField& field, SDL_Surface* screen) {
  for (int row = 0; row < rows; ++row) {
    for (int c = 0; c < columns; ++c) {
      if (!field.balloon[c][row].draw(screen, field.player)) continue;
      field.score += 3 - row;
      --field.balloonsLeft;
      FSOUND_PlaySound(FSOUND_FREE, pop);
    }
  }
}

namespace {

// Waits out what is left of the period; a late frame is not made up later.
void waitOutPeriod(long loopStart, long pause) {
  int loopTime = static_cast<int>(SDL_GetTicks() - loopStart);
  if (loopTime < pause) SDL_Delay(static_cast<Uint32>(pause - loopTime));
}

void runFrame(cPlayField& field, SDL_Surface* screen, SDL_Surface* background, cFont* font,
              bool& done, long& pause) {
  long loopStart = SDL_GetTicks();
  handleEvents(done, field.board);
  Uint8* keys = SDL_GetKeyState(nullptr);
  controlBoard(keys, field);
  if (field.alive) calcSpeed(field.xSpeed, field.ySpeed, field.player);
  drawBMP(background, screen, 0, 0);
  clearSet(field, pause);
  handleDeath(field, keys, font[0], screen);
  drawScore(field, font, screen);
  drawNameLabel(field, font, screen);
  drawBalloons(field, screen);
  field.board.draw(screen, field.player, field.xSpeed, field.ySpeed, field.alive, field.isGrumo);
  field.player.draw(screen);
  SDL_Flip(screen);
  waitOutPeriod(loopStart, pause);
}

void showCredits(SDL_Surface* screen, SDL_Surface* background, cFont& font, bool& done) {
  done = false;
  while (!done) {
    long loopStart = SDL_GetTicks();
    SDL_Event event;
    while (SDL_PollEvent(&event))
      if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) done = true;
    drawBMP(background, screen, 0, 0);
    font.textbox(screen, creditsText, 20, 20, 280, 20);
    SDL_Flip(screen);
    // A still picture is redrawn no faster than the fastest game, not as fast as a core can.
    waitOutPeriod(loopStart, fastestPause);
  }
}

}  // namespace

void formatNumber(long value, char* print) {
  // Digits are produced from the low end; working in unsigned keeps the most
  // negative value from overflowing when its sign is dropped.
  unsigned long magnitude = value < 0 ? 0UL - static_cast<unsigned long>(value) : value;
  char digits[printSize];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  int length = 0;
  if (value < 0) print[length++] = '-';
  while (count > 0) print[length++] = digits[--count];
  print[length] = '\0';
}

void calcSpeed(float& xSpeed, float& ySpeed, cPlayer& player) {
  float x = player.getXPos();
  float y = player.getYPos();
  int width = player.getWidth();
  if (x < 0) {
    xSpeed = -xSpeed;
    x = -x;
  }
  // Mirror the overshoot so the jumper ends as far inside as it went out.
  if (x + width >= screenWidth) {
    xSpeed = -xSpeed;
    x = screenWidth - width - ((x + width) - screenWidth);
  }
  // Never reached in play (the board ends every fall first), but keeps a stray jumper on screen.
  if (y > 235) ySpeed = -15;
  ySpeed = ySpeed + 0.5f;
  x = x + xSpeed;
  y = y + ySpeed;
  // Whole pixels only: the fractions of the position are dropped every step.
  player.setPos(static_cast<int>(x), static_cast<int>(y));
}

void createList(int* symbolwidth) {
  static const int widths[cFont::numGlyphs] = {
      4, 4, 4, 4, 4, 4, 5, 4, 1, 4, 4, 4, 5,  // A-M
      5, 5, 4, 5, 4, 4, 5, 5, 5, 5, 5, 5, 5,  // N-Z
      4, 3, 3, 3, 3, 3, 4, 4, 1, 3, 4, 3, 5,  // a-m
      4, 4, 3, 4, 3, 4, 5, 4, 5, 5, 5, 5, 3,  // n-z
      1, 4, 2, 1, 2, 2, 3, 3, 5, 3, 1, 3,     // ! ? , . ( ) + - / " : =
      4, 2, 4, 4, 3, 3, 4, 4, 4, 4};          // 0-9
  for (int i = 0; i < cFont::numGlyphs; ++i) symbolwidth[i] = widths[i];
}

void box(SDL_Surface* screen, int x, int y, int w, int h) {
  SDL_Rect rect = makeRect(x, y, w, h);
  SDL_FillRect(screen, &rect, SDL_MapRGB(screen->format, 60, 60, 200));
}

int SDL_main(int /*argc*/, char** /*argv*/) {
  SDL_Surface* screen = openDisplay();
  SDL_ShowCursor(SDL_DISABLE);
  startSound();

  int fontList[cFont::numGlyphs];
  createList(fontList);
  cFont font[2];
  loadFont(font[0], "gfx/font.bmp", fontList);
  loadFont(font[1], "gfx/font2.bmp", fontList);

  SDL_Surface* background = loadSheet(backdropImage);
  SDL_Surface* balloonImage = loadSheet(balloonSheet);
  SDL_Surface* playerImage = loadSheet(jumperSheet);
  SDL_Surface* boardImage = loadSheet(boardSheet);
  cPlayField field(balloonImage, playerImage, boardImage);

  bool done = false;
  long pause = slowestPause;
  FSOUND_Stream_Play(FSOUND_FREE, mp3);
  while (!done) runFrame(field, screen, background, font, done, pause);

  showCredits(screen, background, font[0], done);
  return 0;
}

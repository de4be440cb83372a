#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

// The same start as the game's own entry: SDL with no subsystem, shut down at exit.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  SDL_Init(SDL_INIT_NOPARACHUTE);
  std::atexit(SDL_Quit);
  return RUN_ALL_TESTS();
}

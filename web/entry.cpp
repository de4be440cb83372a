// Process entry of the browser build: what the desktop's entry does, plus
// telling the page that the game is over.
#include <SDL.h>

#include "main.h"

extern "C" void web_game_ended(int status);
extern "C" void web_refuse_unload();
extern "C" void web_take_keys();

int main(int argc, char** argv) {
  // Also where the browser's SDL starts listening to the keyboard.
  web_refuse_unload();
  SDL_Init(SDL_INIT_NOPARACHUTE);
  // Now that it listens, the page's keys may reach the game.
  web_take_keys();
  const int status = SDL_main(argc, argv);
  // Leaving the process stops the sound on the desktop; a page stays.
  SDL_Quit();
  web_game_ended(status);
  return status;
}

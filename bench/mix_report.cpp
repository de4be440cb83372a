// Prints the figures of the game's sound that mix_test holds it to.
// Run with SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "mix_figures.h"

int main() {
  SDL_Init(SDL_INIT_NOPARACHUTE);
  std::atexit(SDL_Quit);
  const char* names[] = {"pop.wav", "splat.wav", "studs.wav", "win.wav", "pop.wav"};
  const int copies[] = {1, 1, 1, 1, 4};
  std::vector<std::pair<const char*, int>> effects;
  for (int i = 0; i < 5; ++i) effects.push_back({names[i], copies[i]});
  const std::vector<mix::Rise> rises = mix::rises(effects);
  std::printf("dB over the music  at 9 places in 10  median\n");
  for (int i = 0; i < 5; ++i)
    std::printf("%-9s x%d %20.1f %7.1f\n", names[i], copies[i], rises[i].tenth, rises[i].median);
  const auto print = [](const char* what, const mix::Stretch& s) {
    std::printf("%s: %.2f dBFS, peak %d, %d samples clipped, %d bent by the limiter\n", what,
                s.dbfs, s.peak, s.clipped, s.bent);
  };
  print("24 pile-ups", mix::pileUps(24, [](const std::set<int>&) {}));
  const mix::Minute minute = mix::busyMinute();
  std::printf("a busy minute: %d pops, %d landings, %d splats, %d wins\n", minute.pops,
              minute.landings, minute.splats, minute.wins);
  print("a busy minute", minute.sound);
  return 0;
}

// What a frame and the start-up cost, measured on the shipped SDL_main through
// the test seam: the flip is not done (it is the display's cost, not the
// game's) and the frame wait passes on a virtual clock.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

#include "seam.h"

namespace {

using Clock = std::chrono::steady_clock;

// One iteration per frame of a running game: 51 balloons, the text, the
// board and the jumper.
void BM_Frame(benchmark::State& state) {
  bool running = true;
  seam::play([&](int, const seam::View&) { return running = running && state.KeepRunning(); },
             1 << 30);
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond);

// From entering SDL_main to the first flip: display, sound, every file loaded
// and every object built.
void BM_StartUp(benchmark::State& state) {
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    seam::play([&](int, const seam::View&) {
      state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
      return false;
    });
  }
}
BENCHMARK(BM_StartUp)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  SDL_Init(SDL_INIT_NOPARACHUTE);
  std::atexit(SDL_Quit);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

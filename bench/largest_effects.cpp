// Start-up with the largest effects the game accepts: four of them, each at
// the longest length, highest rate, most channels and widest samples, from a
// data folder made beside this benchmark. Reports the time to the first
// frame and the peak memory of the process.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "seam.h"

namespace fs = std::filesystem;

namespace {

const int seconds = 5, rate = 384000, channels = 8;

std::string le(unsigned long value, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

// 64-bit float samples, a tone in every channel, written a second at a time.
void writeLargest(const fs::path& path) {
  const unsigned long frameBytes = channels * 8, dataBytes = frameBytes * rate * seconds;
  std::ofstream out(path, std::ios::binary);
  out << "RIFF" << le(4 + 8 + 16 + 8 + dataBytes, 4) << "WAVEfmt " << le(16, 4) << le(3, 2)
      << le(channels, 2) << le(rate, 4) << le(rate * frameBytes, 4) << le(frameBytes, 2)
      << le(64, 2) << "data" << le(dataBytes, 4);
  std::vector<double> second(static_cast<size_t>(rate) * channels);
  for (size_t i = 0; i < second.size(); ++i)
    second[i] = 0.5 * std::sin(2 * M_PI * 440 * static_cast<double>(i / channels) / rate);
  for (int s = 0; s < seconds; ++s)
    out.write(reinterpret_cast<const char*>(second.data()),
              static_cast<std::streamsize>(second.size() * sizeof(double)));
}

void makeData() {
  const fs::path data = GRUMO_LARGEST_DATA;
  fs::remove_all(data);
  fs::copy(GRUMO_SOURCE_DATA, data, fs::copy_options::recursive);
  setenv("GRUMO_SEAM_DATA", GRUMO_LARGEST_DATA, 1);
  const fs::path first = data / "sound/pop.wav";
  fs::remove(first);
  writeLargest(first);
  for (const char* name : {"splat.wav", "studs.wav", "win.wav"}) {
    fs::remove(data / "sound" / name);
    fs::create_hard_link(first, data / "sound" / name);
  }
}

long peakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string word;
  long kilobytes = 0;
  while (status >> word && word != "VmHWM:") continue;
  return status >> kilobytes ? kilobytes : 0;
}

void BM_StartUpWithLargestEffects(benchmark::State& state) {
  std::ofstream("/proc/self/clear_refs") << "5";  // the peak from here on, not the maker's
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    // The script runs at every flip up to the end; only the first is timed
    // (SetIterationTime adds up).
    seam::play([&](int flip, const seam::View&) {
      const auto took = std::chrono::steady_clock::now() - start;
      if (flip == 0) state.SetIterationTime(std::chrono::duration<double>(took).count());
      return false;
    });
  }
  // Each start keeps what it loaded, as the game does: the first run's peak is the game's.
  state.counters["peak_MB"] = peakKilobytes() / 1024.0;
}
BENCHMARK(BM_StartUpWithLargestEffects)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  makeData();
  SDL_Init(SDL_INIT_NOPARACHUTE);
  std::atexit(SDL_Quit);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(GRUMO_LARGEST_DATA);
  return 0;
}

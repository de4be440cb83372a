// The limiter in the browser: a wave shaper on the mix, whose curve is the
// desktop's limited() sampled over everything the headroom lets through.
#include <vector>

#include "sound_rules.h"

extern "C" int web_limit_mix(const float* curve, int points);

bool installLimiter() {
  // Odd, so that silence falls on a point of its own and stays silent.
  constexpr int kPoints = 4097;
  // The browser's mix has the headroom too: -1..1 there is -kHeadroom..kHeadroom in full scale.
  std::vector<float> curve(kPoints);
  for (int i = 0; i < kPoints; ++i)
    curve[i] = limited(kHeadroom * (2.0f * i / (kPoints - 1) - 1.0f));
  return web_limit_mix(curve.data(), kPoints) != 0;
}

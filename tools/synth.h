// Oscillators shared by the effects and the tune.
#ifndef GRUMO_TOOLS_SYNTH_H
#define GRUMO_TOOLS_SYNTH_H

#include <cmath>

constexpr double kTau = 6.28318530717958647692;

inline double midiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// PolyBLEP correction: takes the aliasing edge off a naive step so high notes
// don't whistle.
inline double blep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

// Pulse wave at phase 0..1 with the given duty cycle; dt is the phase step.
inline double pulse(double phase, double dt, double duty) {
  double v = phase < duty ? 1.0 : -1.0;
  v += blep(phase, dt);
  double down = phase - duty;
  if (down < 0) down += 1.0;
  v -= blep(down, dt);
  return v - (2.0 * duty - 1.0);  // no DC offset
}

inline double triangle(double phase) { return 4.0 * std::fabs(phase - 0.5) - 1.0; }

#endif

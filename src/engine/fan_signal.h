#pragma once

// The EC unit heaters' fan as the catalogue describes it: the control signal (0..10 V)
// sets the motor speed, and the speed sets the air flow, the sound power and the absorbed
// power, each through a polynomial fitted to the maker's fan tests. The sound polynomial
// was fitted at part-load signals; at the full signal the drive adds 3 dB, an addition
// that fades logarithmically with the signal and is gone at about 1 V.

#include <cstdint>

namespace vestra {

// y = a x^2 + b x + c.
struct FanPolynomial {
  float a = 0, b = 0, c = 0;
};

// Motor speed in rpm at a control signal in volts (the speed polynomial in the signal).
float EcSpeedAtSignal(const FanPolynomial& speedOfSignal, float volts);

// Air flow in m3/s at a motor speed in rpm (the catalogue polynomial gives m3/h).
float EcAirFlowAtSpeed(const FanPolynomial& flowOfSpeed, float rpm);

// The lowest sound power the maker publishes for these drives, dB(A).
inline constexpr std::int16_t kEcSoundPowerFloor = 20;

struct EcSoundPower {
  std::int16_t lw = 0;   // dB(A), whole decibels
  bool atFloor = false;  // raised to kEcSoundPowerFloor
};

// Sound power at a motor speed and a control signal: the speed polynomial (nearest whole
// dB) plus 3 dB, less the signal correction 3 log10(0.10222 V - 0.0222) / log10(0.08),
// which is 0 at 10 V; never below the floor.
EcSoundPower EcSoundPowerAtSpeed(const FanPolynomial& soundOfSpeed, float rpm, float volts);

// The least absorbed power the drive reports, W (its electronics alone).
inline constexpr std::int16_t kEcMinimumPowerW = 10;

// Absorbed power in whole W at a motor speed: k rpm^n, at least kEcMinimumPowerW.
std::int16_t EcAbsorbedPowerAtSpeed(float k, float n, float rpm);

}  // namespace vestra

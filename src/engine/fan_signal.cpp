#include "engine/fan_signal.h"

#include "engine/auxiliary.h"
#include "engine/numeric.h"

namespace vestra {

float EcSpeedAtSignal(const FanPolynomial& p, float volts) {
  return Sng(p.a * Pow(volts, 2) + p.b * volts + p.c);
}

float EcAirFlowAtSpeed(const FanPolynomial& p, float rpm) {
  return Sng((p.a * Pow(rpm, 2) + p.b * rpm + p.c) / 3600);
}

EcSoundPower EcSoundPowerAtSpeed(const FanPolynomial& p, float rpm, float volts) {
  const std::int16_t lw0 = CInt(p.a * Pow(rpm, 2) + p.b * rpm + p.c);
  EcSoundPower sound;
  sound.lw = CInt((lw0 + 3) - 3.0 * Log10(Sng(0.10222 * volts - 0.0222)) / Log10(0.08f));
  if (sound.lw < kEcSoundPowerFloor) {
    sound.lw = kEcSoundPowerFloor;
    sound.atFloor = true;
  }
  return sound;
}

std::int16_t EcAbsorbedPowerAtSpeed(float k, float n, float rpm) {
  const std::int16_t pin = CInt(k * Pow(rpm, n));
  return pin < kEcMinimumPowerW ? kEcMinimumPowerW : pin;
}

}  // namespace vestra

#include "engine/coil_constants.h"

#include <cmath>
#include <limits>
#include <span>

#include "engine/coil_state.h"
#include "engine/errors.h"

namespace vestra {

namespace {

// An entry a set leaves as the previous set wrote it.
constexpr float kKeep = std::numeric_limits<float>::quiet_NaN();

// Air-side constants of one set by geometry index 0..3.
struct AirSideSet {
  std::array<float, 4> n, m, s, r, t;
};

// One finned-surface entry: geometry g, fin pitch index p, surface A and surface ratio B.
struct SurfaceEntry {
  int g, p;
  float a, b;
};

struct FinPitchEntry {
  int p;
  float pitch;  // tenths of a millimetre
};

constexpr float _ = kKeep;

// Geometry 1 of the unit heaters: a plain velocity power.
constexpr AirSideSet kAirS1{
    {_, 0.32f, _, _}, {_, 0, _, _}, {_, 0, _, _}, {_, 0, _, _}, {_, 0, _, _}};
constexpr AirSideSet kAirS2S3{{0.52f, 0.32f, 0.65f, 0.3f},
                              {0, 0, 0.6f, 0},
                              {-0.025f, -0.025f, -0.025f, 0},
                              {0, 0, 0, -0.165f},
                              {0.23f, 0.23f, 0.23f, -0.1f}};
constexpr AirSideSet kAirS4S6S7{{_, 0.32f, 0.65f, 0.3f},
                                {_, _, 0.6f, 0},
                                {_, _, -0.025f, 0},
                                {_, _, 0, -0.165f},
                                {_, _, 0.23f, -0.1f}};
constexpr AirSideSet kAirS5{
    {_, _, 0.65f, _}, {_, _, 0.6f, _}, {_, _, -0.025f, _}, {_, _, 0, _}, {_, _, 0.23f, _}};
constexpr AirSideSet kAirNone{{_, _, _, _}, {_, _, _, _}, {_, _, _, _}, {_, _, _, _}, {_, _, _, _}};
constexpr AirSideSet kAirS9{{_, _, 0.65f, 0.3f},
                            {_, _, 0.6f, 0},
                            {_, _, -0.025f, 0},
                            {_, _, 0, -0.165f},
                            {_, _, 0.23f, -0.1f}};

constexpr SurfaceEntry kSurfaceS1[] = {{1, 3, 18.8f, 15.93f},
                                       {1, 4, 16.04f, 13.59f},
                                       {1, 5, 12.8f, 10.85f},
                                       {1, 6, 11.52f, 9.76f},
                                       {1, 7, 10.04f, 8.5f}};
constexpr SurfaceEntry kSurfaceS2[] = {{1, 1, 29.184f, 24.72f}, {1, 2, 26.112f, 22.128f}};
constexpr SurfaceEntry kSurfaceS3[] = {
    {0, 1, 12.86f, 11.13f}, {0, 2, 11.41f, 9.87f}, {0, 3, 9.95f, 8.61f},  {1, 1, 24.32f, 20.6f},
    {1, 2, 21.76f, 18.44f}, {1, 3, 18.8f, 15.93f}, {2, 1, 24.32f, 20.6f}, {2, 2, 21.76f, 18.44f},
    {2, 3, 18.8f, 15.93f},  {3, 1, 28.85f, 24.8f}, {3, 2, 25.4f, 21.85f}, {3, 3, 21.95f, 18.9f},
    {3, 4, 18.5f, 15.95f}};
constexpr SurfaceEntry kSurfaceS4[] = {
    {1, 2, 21.76f, 18.44f}, {1, 3, 18.8f, 15.93f}, {2, 2, 21.76f, 18.44f}, {2, 3, 18.8f, 15.93f},
    {3, 1, 28.85f, 24.8f},  {3, 2, 25.4f, 21.85f}, {3, 3, 21.95f, 18.9f},  {3, 4, 18.5f, 15.95f}};
constexpr SurfaceEntry kSurfaceS5[] = {
    {2, 1, 36.48f, 30.9f}, {2, 2, 21.76f, 18.44f}, {2, 3, 18.8f, 15.93f}};
constexpr SurfaceEntry kSurfaceS6S7[] = {
    {1, 2, 21.76f, 18.44f}, {1, 3, 18.8f, 15.93f}, {1, 4, 16.04f, 13.59f}, {2, 2, 21.76f, 18.44f},
    {2, 3, 18.8f, 15.93f},  {3, 1, 28.85f, 24.8f}, {3, 2, 25.4f, 21.85f},  {3, 3, 21.95f, 18.9f}};
constexpr SurfaceEntry kSurfaceS8[] = {{2, 3, 18.8f, 15.93f}};
constexpr SurfaceEntry kSurfaceS9[] = {
    {2, 2, 21.76f, 18.44f}, {3, 2, 25.4f, 21.85f}, {3, 8, 9.88f, 8.58f}};

constexpr FinPitchEntry kPitchS1[] = {{3, 21}, {4, 25}, {5, 32}, {6, 36}, {7, 42}};
constexpr FinPitchEntry kPitchS2[] = {{1, 13}, {2, 15}};
constexpr FinPitchEntry kPitchS3[] = {{1, 16}, {2, 18}, {3, 21}};
constexpr FinPitchEntry kPitchS4ToS7[] = {{1, 16}, {2, 18}, {3, 21}, {4, 25}};
constexpr FinPitchEntry kPitchS8[] = {{3, 21}};
constexpr FinPitchEntry kPitchS9[] = {{2, 18}, {8, 51}};

struct SetData {
  float prandtlExpCooling;
  const AirSideSet& air;
  std::span<const SurfaceEntry> surface;
  std::span<const FinPitchEntry> pitch;
};

SetData DataOf(CoilSet set) {
  switch (set) {
    case CoilSet::S1:
      return {0.4f, kAirS1, kSurfaceS1, kPitchS1};
    case CoilSet::S2:
      return {0.4f, kAirS2S3, kSurfaceS2, kPitchS2};
    case CoilSet::S3:
      return {0.4f, kAirS2S3, kSurfaceS3, kPitchS3};
    case CoilSet::S4:
      return {0.33f, kAirS4S6S7, kSurfaceS4, kPitchS4ToS7};
    case CoilSet::S5:
      return {0.33f, kAirS5, kSurfaceS5, kPitchS4ToS7};
    case CoilSet::S6:
      return {0.33f, kAirS4S6S7, kSurfaceS6S7, kPitchS4ToS7};
    case CoilSet::S7:
      return {0.33f, kAirS4S6S7, kSurfaceS6S7, kPitchS4ToS7};
    case CoilSet::S8:
      return {0.33f, kAirNone, kSurfaceS8, kPitchS8};
    case CoilSet::S9:
      return {0.33f, kAirS9, kSurfaceS9, kPitchS9};
  }
  Raise(kInvalidArgument);
}

void Write(std::array<float, 4>& target, const std::array<float, 4>& source) {
  for (std::size_t g = 0; g < target.size(); ++g)
    if (!std::isnan(source[g])) target[g] = source[g];
}

}  // namespace

void SelectCoilConstants(CoilConstants& constants, CoilRatingState& state, CoilSet set) {
  const SetData data = DataOf(set);

  // Tube-side film coefficients: laminar Sieder-Tate form, turbulent Dittus-Boelter, with
  // the Blasius friction factor for the pressure drop.
  constants.CoilNuLamCoef = 1.86f;
  constants.CoilNuLamExp = 0.33f;
  constants.CoilNuTurbCoef = 0.023f;
  constants.CoilNuReExp = 0.8f;
  constants.CoilNuPrExp1 = 0.3f;
  constants.CoilNuPrExp0 = data.prandtlExpCooling;
  constants.CoilFrictionCoef = 0.3164f;
  constants.CoilConstA = 0.025f;
  constants.CoilConstB = 0.3f;
  constants.CoilTubeDiam = 0.0094f;
  constants.CoilAirExpAlt = 0.47f;

  Write(constants.GeoAirN, data.air.n);
  Write(constants.GeoAirM, data.air.m);
  Write(constants.GeoAirS, data.air.s);
  Write(constants.GeoAirR, data.air.r);
  Write(constants.GeoAirT, data.air.t);
  for (const SurfaceEntry& e : data.surface) {
    constants.GeoTabA[e.p][e.g] = e.a;
    constants.GeoTabB[e.p][e.g] = e.b;
  }
  for (const FinPitchEntry& e : data.pitch) constants.GeoFinPitch[e.p] = e.pitch;

  if (set == CoilSet::S8) {
    // The VELD coils have one fin geometry whose exponents hold for every model; only
    // the velocity exponent is given per model.
    state.CurAirM = 0.6f;
    state.CurAirS = -0.025f;
    state.CurAirR = 0;
    state.CurAirT = 0.23f;
  }
  constants.selectedSet = set;
}

}  // namespace vestra

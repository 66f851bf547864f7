#include "engine/fluids.h"

#include <gtest/gtest.h>

#include "engine/coil_state.h"

namespace vestra {
namespace {

// Reference values of the water fits, with the tolerance of their printed digits.
TEST(WaterFits, reproduceTheReferenceValuesAt20C) {
  EXPECT_NEAR(WaterCp(20), 4.1877, 0.00005);
  EXPECT_NEAR(WaterDensity(20), 997.75, 0.005);
  EXPECT_NEAR(WaterConductivity(20), 0.6034, 0.00005);
  EXPECT_NEAR(WaterViscosity(20), 0.001012, 0.0000005);
}

TEST(WaterProperties, prandtlNumberOfWaterAt20CIsAbout7) {
  const GlycolTables tables = InitGlycolTables();
  CoilRatingState state;
  UpdateWaterProperties(state, tables, 20, 0);
  EXPECT_NEAR(state.prWater, 7.02, 0.005);
  EXPECT_FLOAT_EQ(state.prWater, state.cpWater * 1000 * state.muWater / state.kWater);
}

TEST(WaterProperties, zeroOrNegativeGlycolTakesThePlainWaterFits) {
  const GlycolTables tables = InitGlycolTables();
  for (const float g : {0.0f, -5.0f}) {
    CoilRatingState state;
    UpdateWaterProperties(state, tables, 20, g);
    EXPECT_EQ(state.cpWater, WaterCp(20)) << g;
    EXPECT_EQ(state.rhoWater, WaterDensity(20)) << g;
    EXPECT_EQ(state.muWater, WaterViscosity(20)) << g;
    EXPECT_EQ(state.kWater, WaterConductivity(20)) << g;
  }
  // The mixture fit at 0 % differs slightly from the water fit.
  EXPECT_NEAR(GlycolCp(tables, 20, 0), 4.1916, 0.00005);
}

TEST(WaterProperties, glycolMixtureTakesTheMixtureFits) {
  const GlycolTables tables = InitGlycolTables();
  CoilRatingState state;
  UpdateWaterProperties(state, tables, 20, 30);
  EXPECT_EQ(state.cpWater, GlycolCp(tables, 20, 30));
  EXPECT_EQ(state.rhoWater, static_cast<float>(GlycolDensity(tables, 20, 30)));
  EXPECT_EQ(state.muWater, static_cast<float>(GlycolViscosity(tables, 20, 30)));
  EXPECT_EQ(state.kWater, static_cast<float>(GlycolConductivity(tables, 20, 30)));
}

TEST(GlycolTables, haveTheSizesAndHalfPeriodsOfTheFits) {
  const GlycolTables tables = InitGlycolTables();
  const struct {
    GlycolTableId id;
    int n;
    float halfPeriod;
  } expected[] = {{kD1, 20, 65}, {kD2, 20, 65}, {kD3, 30, 65}, {kC1, 20, 65}, {kC2, 20, 65},
                  {kC3, 15, 65}, {kK1, 20, 65}, {kK2, 20, 65}, {kK3, 15, 65}, {kV1, 20, 70},
                  {kV2, 20, 70}, {kV3, 20, 70}, {kV4, 20, 70}, {kV5, 20, 70}};
  int coefficients = 0;
  for (const auto& e : expected) {
    EXPECT_EQ(tables[e.id].n, e.n);
    EXPECT_EQ(tables[e.id].halfPeriod, e.halfPeriod);
    EXPECT_EQ(tables[e.id].a.size(), static_cast<std::size_t>(e.n + 1));
    coefficients += e.n + 1 + e.n;
  }
  EXPECT_EQ(coefficients, 574);
}

TEST(GlycolFourierTable, sumsCosineAndSineTermsOverTheHalfPeriod) {
  GlycolFourierTable t;
  t.n = 2;
  t.halfPeriod = 65;
  t.a = {4.0, 1.0, 0.5};
  t.b = {0.0, 3.0, 0.0};
  // g = 0: a0/2 + a1 + a2; g = L/2: a0/2 + b1 - a2 (cos(pi) = -1).
  EXPECT_FLOAT_EQ(t.Evaluate(0), 3.5f);
  EXPECT_NEAR(t.Evaluate(32.5f), 2 + 3 - 0.5, 1e-6);
}

}  // namespace
}  // namespace vestra

#include "engine/fan_duct.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "engine/errors.h"

namespace vestra {
namespace {

// A multi-speed fan: 120 Pa shut-off, free delivery at 1000 m3/h.
constexpr FanCurve kCurve{-0.00008f, -0.04f, 120};

TEST(FanStaticPressure, isTheQuadraticOfTheStep) {
  EXPECT_DOUBLE_EQ(FanStaticPressure(0, kCurve), 120);
  EXPECT_NEAR(FanStaticPressure(500, kCurve), 120 - 20 - 20, 1e-4);
  EXPECT_NEAR(FanStaticPressure(1000, kCurve), 0, 1e-4);
}

TEST(FanFlowAtPressure, findsTheFlowBelowTheFreeDeliveryOfTheCurve) {
  bool found = false;
  const float q = FanFlowAtPressure(80, kCurve, &found);
  EXPECT_TRUE(found);
  EXPECT_NEAR(FanStaticPressure(q, kCurve), 80, 0.001);
  EXPECT_NEAR(q, 500, 0.05);
  // At 0 Pa: the free delivery, searched below the scanned 1010 m3/h.
  const float free = FanFlowAtPressure(0, kCurve, &found);
  EXPECT_TRUE(found);
  EXPECT_NEAR(free, 1000, 0.05);
}

TEST(FanFlowAtPressure, searchesUpTo2000WhenTheCurveNeverFallsBelowZero) {
  // 100 Pa falling by 0.04 Pa per m3/h: zero at 2500, never below it in the scan.
  const FanCurve flat{0, -0.04f, 100};
  bool found = false;
  EXPECT_NEAR(FanFlowAtPressure(30, flat, &found), 1750, 0.05);
  EXPECT_TRUE(found);
  // 10 Pa lies at 2250 m3/h, beyond the search range.
  EXPECT_EQ(FanFlowAtPressure(10, flat, &found), 0.0f);
  EXPECT_FALSE(found);
}

TEST(FanFlowAtPressure, aPressureAboveShutOffIsNotFound) {
  bool found = true;
  EXPECT_EQ(FanFlowAtPressure(150, kCurve, &found), 0.0f);
  EXPECT_FALSE(found);
}

class Accessories : public ::testing::Test {
 protected:
  // A filter on the outlet section and a plenum on the spigots.
  std::array<AccessoryRow, 2> rows{AccessoryRow{12, 2, false}, AccessoryRow{3, 1.5f, true}};
  OutletSection outlet{0.08f, 4};
};

TEST_F(Accessories, aSpigotAccessorySeesTheVelocityInTheSpigots) {
  const AccessoryRow perVelocity{1, 1, true};
  EXPECT_NEAR(AccessoryLoss(perVelocity, outlet, 0.5f), 0.5 / (4 * 0.0314), 1e-5);  // 3.98 m/s
  const AccessoryRow onOutlet{1, 1, false};
  EXPECT_NEAR(AccessoryLoss(onOutlet, outlet, 0.5f), 0.5 / 0.08, 1e-5);
  EXPECT_TRUE(IsSpigotAccessory("S"));
  EXPECT_FALSE(IsSpigotAccessory("s"));
  EXPECT_FALSE(IsSpigotAccessory("S "));
}

TEST_F(Accessories, addAndRemoveTheLossesOfTheTickedRows) {
  const std::array<bool, 2> both{true, true};
  const std::array<bool, 2> second{false, true};
  const double filter = 12 * std::pow(0.4 / 0.08, 2);
  const double plenum = 3 * std::pow(0.4 / (4 * 0.0314), 1.5);
  EXPECT_NEAR(AccessoryPressureAdded(50, outlet, 0.4f, rows, both), 50 + filter + plenum, 1e-3);
  EXPECT_NEAR(AccessoryPressureRemoved(50, outlet, 0.4f, rows, second), 50 - plenum, 1e-3);
  EXPECT_EQ(AccessoryPressureAdded(50, outlet, 0.4f, rows, {}), 50.0f);
}

TEST_F(Accessories, aTickedAccessoryOnAModelWithoutSectionIsADivisionByZero) {
  const OutletSection none{0, 0};
  const std::array<bool, 2> first{true, false};
  const std::array<bool, 2> nothing{false, false};
  EXPECT_EQ(AccessoryPressureAdded(50, none, 0.4f, rows, nothing), 50.0f);
  try {
    AccessoryPressureAdded(50, none, 0.4f, rows, first);
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kDivisionByZero);
  }
  const std::array<bool, 3> beyond{false, false, true};
  try {
    AccessoryPressureAdded(50, outlet, 0.4f, rows, beyond);
    ADD_FAILURE();
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), kSubscriptOutOfRange);
  }
}

TEST_F(Accessories, ductFlowTakesTheLossesOnlyWhenAsked) {
  // A ducted fan: 300 Pa shut-off, free delivery at 3000 m3/h.
  const FanCurve ducted{-0.00002f, -0.04f, 300};
  const std::array<bool, 2> both{true, true};
  bool found = false;
  const float bare = DuctFlowAtPressure(100, ducted, false, outlet, rows, both, &found);
  EXPECT_TRUE(found);
  EXPECT_NEAR(FanStaticPressure(bare, ducted), 100, 0.01);
  const std::array<bool, 2> none{false, false};
  EXPECT_EQ(DuctFlowAtPressure(100, ducted, true, outlet, rows, none), bare);

  const float q = DuctFlowAtPressure(100, ducted, true, outlet, rows, both, &found);
  EXPECT_TRUE(found);
  EXPECT_LT(q, bare);
  EXPECT_NEAR(AccessoryPressureRemoved(static_cast<float>(FanStaticPressure(q, ducted)), outlet,
                                       q / 3600, rows, both),
              100, 0.01);
  EXPECT_EQ(DuctFlowAtPressure(400, ducted, false, outlet, rows, both, &found), 0.0f);
  EXPECT_FALSE(found);
}

TEST(FreeBlowingFlowAtPressure, fallsWithThePressureAndRefusesAStallingFan) {
  const float q = 0.2f;  // m3/s free-blowing
  EXPECT_EQ(FreeBlowingFlowAtPressure(q, 0), q);
  EXPECT_EQ(FreeBlowingFlowAtPressure(q, -5), q);
  // At 10 Pa the factor 1.2 - 0.01 - 0.19 (Q - ln Q); below 10 Pa a straight blend to it.
  const double f10 = 1.2 - 0.01 - 0.19 * (0.2 - std::log(0.2));
  EXPECT_NEAR(*FreeBlowingFlowAtPressure(q, 10), f10 * q, 1e-6);
  EXPECT_NEAR(*FreeBlowingFlowAtPressure(q, 5), (q + f10 * q) / 2, 1e-6);
  EXPECT_LT(*FreeBlowingFlowAtPressure(q, 40), *FreeBlowingFlowAtPressure(q, 20));
  // So much pressure that the factor falls below one half: not offered.
  EXPECT_FALSE(FreeBlowingFlowAtPressure(q, 400).has_value());
  EXPECT_THROW(FreeBlowingFlowAtPressure(0, 20), RuntimeError);  // ln 0
}

}  // namespace
}  // namespace vestra

// Checks of the catalogue the build makes (Vestra.db beside the programs): every series
// loads, the model names follow the rules the screens rely on, and every fan curve is
// one the engine's searches can work with.

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "data/loaders.h"
#include "engine/coil_state.h"
#include "engine/fan_duct.h"
#include "engine/unit_heater.h"

namespace vestra {
namespace {

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// The size number in a model name: the first run of digits after the first blank.
int SizeOf(const std::string& name) {
  const auto blank = name.find(' ');
  const auto digit = name.find_first_of("0123456789", blank);
  return digit == std::string::npos ? -1 : std::stoi(name.substr(digit));
}

class Catalogue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { store_ = new CatalogueStore(VESTRA_CATALOGUE_DB); }
  static void TearDownTestSuite() { delete store_; }

  const ModelTables& Load(Series series) {
    LoadSeriesTable(series, *store_, tables_, constants_, state_, "* Tutto");
    return tables_;
  }

  static CatalogueStore* store_;
  ModelTables tables_;
  CoilConstants constants_;
  CoilRatingState state_;
};
CatalogueStore* Catalogue::store_ = nullptr;

FanCurve CurveOf(const ModelTables& t, int k, int m) {
  return FanCurve{t.TabVA(k, m), t.TabVB(k, m), t.TabVC(k, m)};
}

// The flow at which a curve reaches zero pressure, from the quadratic itself.
double FreeDelivery(const FanCurve& c) {
  if (c.va == 0) return -c.vc / c.vb;
  return (-c.vb - std::sqrt(double(c.vb) * c.vb - 4.0 * c.va * c.vc)) / (2.0 * c.va);
}

double FaceVelocity(const ModelTables& t, int m, double flowM3h) {
  return flowM3h / 3600 / (t.TabLunBat(m) / 1000 * t.TabAltBat(m) / 1000);
}

// UMBRA's available pressure (Pa) at an air flow in m3/h and a control signal in volts,
// each curve coefficient a quadratic in the signal.
double UmbraPressure(const ModelTables& t, int m, double flowM3h, double volts) {
  auto poly = [&](const TableArray<float>& a) {
    return a(1, m) * volts * volts + a(2, m) * volts + a(3, m);
  };
  return poly(t.TabAK) * flowM3h * flowM3h + poly(t.TabBX) * flowM3h + poly(t.TabCY);
}

// The accessory rows of the loaded ducted series, in row order.
std::vector<AccessoryRow> AccessoryRows(const ModelTables& t) {
  std::vector<AccessoryRow> rows;
  for (int i = 1; i <= t.AccCount; ++i) {
    rows.push_back({t.AccCost(i), t.AccEspo(i), IsSpigotAccessory(t.AccOPZBoc(i))});
  }
  return rows;
}

TEST_F(Catalogue, everySeriesLoadsWithinItsCapacity) {
  EXPECT_FALSE(store_->ReadDataVersion().empty());
  for (const SeriesInfo& info : AllSeries()) {
    const ModelTables& t = Load(info.series);
    EXPECT_GE(t.ModelCount, 4) << info.name;
    EXPECT_LE(t.ModelCount, info.capacity) << info.name;
  }
}

TEST_F(Catalogue, modelNamesFollowTheRulesOfTheScreens) {
  for (const SeriesInfo& info : AllSeries()) {
    const ModelTables& t = Load(info.series);
    const std::string series = info.name;
    const bool ducted = series.rfind("KELM", 0) == 0 || series.rfind("ZOPH", 0) == 0;
    const std::string pair = series == "DARNE" ? "4T" : "HX";
    for (int m = 1; m <= t.ModelCount; ++m) {
      const std::string& name = t.TabModello(m);
      SCOPED_TRACE(name);
      // Text order is size order, so "order by modello" lists the range by size.
      if (m > 1) {
        EXPECT_LE(SizeOf(t.TabModello(m - 1)), SizeOf(name));
      }
      if (ducted) {
        EXPECT_FALSE(EndsWith(name, "*"));
        if (EndsWith(name, "HX")) {
          EXPECT_EQ(t.TabModello(m - 1) + "HX", name);  // right after its base model
        }
      } else if (EndsWith(name, pair)) {
        ASSERT_LT(m, t.ModelCount);
        EXPECT_EQ(t.TabModello(m + 1), name + "*");  // the partner follows
      } else if (EndsWith(name, pair + "*")) {
        EXPECT_EQ(t.TabModello(m - 1) + "*", name);
      } else {
        EXPECT_FALSE(EndsWith(name, "*"));
      }
      if (series == "TORVA") {
        EXPECT_TRUE(EndsWith(name, "10p") || EndsWith(name, " 8p") || EndsWith(name, " 6p") ||
                    EndsWith(name, " 4p"));
      }
      if (series == "Q70") {
        EXPECT_NE(std::string("864").find(name.back()), std::string::npos);
      }
    }
  }
}

TEST_F(Catalogue, coilsUseGeometriesTheirConstantSetDescribes) {
  for (const SeriesInfo& info : AllSeries()) {
    if (!info.coilSet) continue;  // Q70 is rated from its nominal output
    const ModelTables& t = Load(info.series);
    for (int m = 1; m <= t.ModelCount; ++m) {
      SCOPED_TRACE(t.TabModello(m));
      const int g = t.TabGeom(m), p = t.TabPasso(m);
      ASSERT_TRUE(g >= 0 && g <= 3 && p >= 0 && p <= 8);
      EXPECT_GT(constants_.GeoTabA[p][g], 0);
      EXPECT_GT(constants_.GeoFinPitch[p], 0);
      EXPECT_GE(t.TabLunBat(m), 300);  // mm
      EXPECT_LE(t.TabLunBat(m), 3000);
      EXPECT_GE(t.TabAltBat(m), 100);
      EXPECT_LE(t.TabAltBat(m), 1000);
      EXPECT_GE(t.TabNR(m), 1);
      EXPECT_GE(t.TabNC(m), 1);
    }
  }
}

// MIRAL and MIRALP are rated on their fan curves at the typed pressure: each speed must
// cross zero below the 2500 m3/h the search scans, fall all the way, and give at 0 Pa a
// flow the coil can take.
TEST_F(Catalogue, fanCoilCurvesAreFoundBySearchAtZeroPressure) {
  struct Case {
    Series series;
    int firstStep, lastStep;
  } cases[] = {{Series::MIRAL, 1, 3},   {Series::MIRALP, 1, 6},   {Series::MIRALEC, 0, 7},
               {Series::PELVOEC, 0, 7}, {Series::KELMBLDC, 0, 7}, {Series::ZOPHBLDC, 0, 7}};
  for (const Case& c : cases) {
    const ModelTables& t = Load(c.series);
    for (int m = 1; m <= t.ModelCount; ++m) {
      SCOPED_TRACE(t.TabModello(m));
      double previous = 0;
      for (int k = c.firstStep; k <= c.lastStep; ++k) {
        const FanCurve curve = CurveOf(t, k, m);
        EXPECT_GT(curve.vc, 0);  // a shut-off pressure
        EXPECT_LE(curve.vb, 0);  // with va < 0: falling everywhere above 0 m3/h
        EXPECT_LT(curve.va, 0);
        const double free = FreeDelivery(curve);
        EXPECT_LT(free, 2500);
        bool found = false;
        const float searched = FanFlowAtPressure(0, curve, &found);
        EXPECT_TRUE(found) << "step " << k;
        EXPECT_NEAR(searched, free, 0.01 * free) << "step " << k;
        EXPECT_GT(free, previous) << "step " << k;  // faster steps move more air
        previous = free;
      }
      const double topVelocity = FaceVelocity(t, m, previous);
      EXPECT_GT(topVelocity, 0.8);
      EXPECT_LT(topVelocity, 3.0);
    }
  }
}

TEST_F(Catalogue, ductedCurvesGiveAWorkingPointAgainst50Pa) {
  const OutletSection noOutlet{};
  for (Series series : {Series::KELM, Series::ZOPH}) {
    const ModelTables& t = Load(series);
    const int taps = series == Series::KELM ? 3 : 7;
    for (int m = 1; m <= t.ModelCount; ++m) {
      SCOPED_TRACE(t.TabModello(m));
      const float lowFree = DuctFlowAtPressure(0, CurveOf(t, 1, m), false, noOutlet, {}, {});
      double previous = 0;
      for (int k = 1; k <= taps; ++k) {
        const FanCurve curve = CurveOf(t, k, m);
        EXPECT_LT(curve.va, 0);
        EXPECT_LE(curve.vb, 0);
        const double free = FreeDelivery(curve);
        EXPECT_LT(free, 7000);
        EXPECT_GT(free, previous);
        previous = free;
        bool found = false;
        const float working = DuctFlowAtPressure(50, curve, false, noOutlet, {}, {}, &found);
        EXPECT_TRUE(found) << "tap " << k;
        EXPECT_GT(working, lowFree / 4) << "tap " << k;  // the screen keeps the point
      }
      EXPECT_GT(t.TabSezione(m), 0);
      EXPECT_GT(t.TabBocche(m), 0);
    }
    EXPECT_EQ(t.AccCount, series == Series::KELM ? 8 : 10);
  }
}

TEST_F(Catalogue, ecStepsRiseInSpeedPowerAndSound) {
  for (Series series : {Series::MIRALEC, Series::PELVOEC, Series::KELMBLDC, Series::ZOPHBLDC}) {
    const ModelTables& t = Load(series);
    for (int m = 1; m <= t.ModelCount; ++m) {
      SCOPED_TRACE(t.TabModello(m));
      double previousPower = 0;
      for (int k = 0; k <= 7; ++k) {
        const double free = FreeDelivery(CurveOf(t, k, m));
        const double power = t.TabPA(k, m) * free * free + t.TabPB(k, m) * free + t.TabPC(k, m);
        EXPECT_GT(power, previousPower) << "step " << k;
        previousPower = power;
        if (k > 0) {
          EXPECT_GT(t.TabG(k, m), t.TabG(k - 1, m));
          EXPECT_GT(t.TabLWA(k, m), t.TabLWA(k - 1, m));
        }
        const double wattsPerLs = power / (free / 3.6);
        EXPECT_GE(wattsPerLs, 0.1) << "step " << k;
        EXPECT_LE(wattsPerLs, 0.5) << "step " << k;
      }
      EXPECT_LT(t.TabMinQa(m), FreeDelivery(CurveOf(t, 0, m)));
      EXPECT_GT(t.TabNlog(m), 0);
    }
  }
}

// UMBRA's fan is a polynomial in the 0-10 V signal: at 10 V it reaches zero pressure at
// the model's largest flow, and a lower signal never gives more pressure.
TEST_F(Catalogue, umbraPolynomialsMeetTheFlowWindow) {
  const ModelTables& t = Load(Series::UMBRA);
  auto poly = [&](const TableArray<float>& a, int m, double v) {
    return a(1, m) * v * v + a(2, m) * v + a(3, m);
  };
  for (int m = 1; m <= t.ModelCount; ++m) {
    SCOPED_TRACE(t.TabModello(m));
    auto pressure = [&](double q, double v) {
      return poly(t.TabAK, m, v) * q * q + poly(t.TabBX, m, v) * q + poly(t.TabCY, m, v);
    };
    const double maxQa = t.TabMaxQa(m);
    EXPECT_NEAR(pressure(maxQa, 10), 0, 1.0);
    EXPECT_LT(t.TabMinQa(m), maxQa);
    for (double v = 0.5; v < 10; v += 0.5) {
      EXPECT_LE(pressure(t.TabMinQa(m), v), pressure(t.TabMinQa(m), v + 0.5));
    }
    const double power = poly(t.TabBB, m, 10) * maxQa + poly(t.TabCC, m, 10);
    EXPECT_GE(power / (maxQa / 3.6), 0.1);
    EXPECT_LE(power / (maxQa / 3.6), 0.5);
    // Sound is read at the free delivery of the chosen signal: at 10 V, MaxQa.
    const double sound =
        t.TabAL(1, m) * maxQa * maxQa + t.TabAL(2, m) * maxQa + t.TabAL(3, m) + t.TabKDB(m);
    EXPECT_GE(sound, 30);
    EXPECT_LE(sound, 70);
  }
}

// A maker publishes sound in whole dB(A): the screens show the table's figure as it
// stands. TORVAEC (a polynomial in the speed) and UMBRA (in the flow) have no table of
// sound powers.
TEST_F(Catalogue, soundPowerIsInWholeDecibelsRisingWithSpeedAndInRange) {
  struct Case {
    Series series;
    int firstStep, lastStep;
    bool withPressure;  // LPA beside LWA
  } cases[] = {{Series::MIRAL, 1, 3, false},   {Series::MIRALP, 1, 6, false},
               {Series::PELVO, 1, 3, false},   {Series::VELD, 1, 3, true},
               {Series::LUMO, 1, 3, true},     {Series::NARTE, 1, 3, true},
               {Series::BRISK, 1, 3, false},   {Series::QUIVO, 1, 4, false},
               {Series::DARNE, 2, 5, false},   {Series::KELM, 1, 3, false},
               {Series::ZOPH, 1, 7, false},    {Series::MIRALEC, 0, 7, false},
               {Series::PELVOEC, 0, 7, false}, {Series::KELMBLDC, 0, 7, false},
               {Series::ZOPHBLDC, 0, 7, false}};
  auto whole = [](float db) { return std::nearbyint(db) == db; };
  for (const Case& c : cases) {
    const ModelTables& t = Load(c.series);
    for (int m = 1; m <= t.ModelCount; ++m) {
      SCOPED_TRACE(t.TabModello(m));
      for (int k = c.firstStep; k <= c.lastStep; ++k) {
        EXPECT_GE(t.TabLWA(k, m), 30);
        EXPECT_LE(t.TabLWA(k, m), 70);
        EXPECT_TRUE(whole(t.TabLWA(k, m))) << "LWA" << k << " " << t.TabLWA(k, m);
        if (c.withPressure) {
          EXPECT_TRUE(whole(t.TabLPA(k, m))) << "LPA" << k << " " << t.TabLPA(k, m);
        }
        if (k > c.firstStep) {
          EXPECT_GT(t.TabLWA(k, m), t.TabLWA(k - 1, m));
        }
      }
    }
  }
  const ModelTables& torva = Load(Series::TORVA);
  for (int m = 1; m <= torva.ModelCount; ++m) {
    EXPECT_GE(torva.TabLWA(m), 30);
    EXPECT_LE(torva.TabLWA(m), 70);
    EXPECT_TRUE(whole(torva.TabLWA(m)) && whole(torva.TabLPA(m))) << torva.TabModello(m);
  }
  const ModelTables& q70 = Load(Series::Q70);
  for (int m = 1; m <= q70.ModelCount; ++m) {
    EXPECT_TRUE(whole(q70.TabLWA(m))) << q70.TabModello(m);
  }
}

// Unit heaters of different sizes leave at different temperatures: each Q70 size's
// leaving air with the 4-pole motor at 70/60 degC and 20 degC air stands apart from the
// others', and its output per m3/h lies in the unit heaters' range.
TEST_F(Catalogue, q70SizesLeaveAtDifferentTemperatures) {
  const ModelTables& t = Load(Series::Q70);
  CoilConstants constants;
  CoilRatingState r;
  SelectCoilConstants(constants, r, CoilSet::S1);  // only the water side's tube
  r.twIn = 70;
  r.taIn = 20;
  r.circuitLength = 6;
  std::vector<std::pair<std::string, float>> leaving;
  for (int m = 1; m <= t.ModelCount; ++m) {
    if (!EndsWith(t.TabModello(m), "-4")) continue;
    r.coilCircuits = t.TabNC(m);
    RateNominalHeater(r, constants, {t.TabPTN(m), t.TabY1(m), t.TabQA(m)}, 60);
    const double perM3h = r.heatCapacity / (t.TabQA(m) * 3600);
    EXPECT_GT(perM3h, 4) << t.TabModello(m);
    EXPECT_LT(perM3h, 11) << t.TabModello(m);
    leaving.emplace_back(t.TabModello(m), r.heatTaOut);
  }
  ASSERT_GE(leaving.size(), 2u);
  for (std::size_t i = 0; i < leaving.size(); ++i) {
    for (std::size_t j = i + 1; j < leaving.size(); ++j) {
      EXPECT_GE(std::fabs(leaving[i].second - leaving[j].second), 0.5)
          << leaving[i].first << " and " << leaving[j].first;
    }
  }
}

// The screen scans the signal from 10 V down in steps of 0.01 V for the first within 0.1
// Pa of the duty. Inside a model's flow window, wherever the fan at 10 V has the
// pressure in reserve (at 0 Pa everywhere, against 50 Pa at least at the smallest flow)
// the scan must end on a signal of 0.5 V or more: a curve that moves more than the band
// between two signals, or a window that starts below what 0.5 V delivers, leaves the
// row without a signal.
TEST_F(Catalogue, umbraSignalScanFindsASignalAcrossTheFlowWindow) {
  const ModelTables& t = Load(Series::UMBRA);
  for (int m = 1; m <= t.ModelCount; ++m) {
    SCOPED_TRACE(t.TabModello(m));
    const int low = t.TabMinQa(m), high = t.TabMaxQa(m);
    EXPECT_GE(UmbraPressure(t, m, low, 10), 50);
    for (int step = 0; step <= 10; ++step) {
      const float flow = static_cast<float>(low + (high - low) * step / 10.0);
      for (const float pressure : {0.0f, 25.0f, 50.0f}) {
        if (UmbraPressure(t, m, flow, 10) < pressure) {
          EXPECT_GT(pressure, 0) << flow << " m3/h";
          continue;
        }
        float signal = 0;
        for (float v = 10; v >= 0.5f; v += -0.01f) {
          if (std::fabs(pressure - UmbraPressure(t, m, flow, v)) < 0.1) {
            signal = v;
            break;
          }
        }
        EXPECT_GE(signal, 0.5f) << flow << " m3/h against " << pressure << " Pa";
      }
    }
  }
}

// Against 50 Pa at its top tap a ducted unit's accessories lose a few Pa (a spigot
// outlet, a plenum) to a few tens (a filter, the additional coil), and with the
// additional coil fitted the unit still works against the 50 Pa.
TEST_F(Catalogue, ductedAccessoriesLoseAFewToAFewTensOfPaAtTheWorkingFlow) {
  for (Series series : {Series::KELM, Series::ZOPH}) {
    const ModelTables& t = Load(series);
    const int top = series == Series::KELM ? 3 : 7;
    const std::vector<AccessoryRow> rows = AccessoryRows(t);
    std::array<bool, 10> additionalCoil{};
    additionalCoil[0] = true;
    const std::span<const bool> hx(additionalCoil.data(), rows.size());
    for (int m = 1; m <= t.ModelCount; ++m) {
      SCOPED_TRACE(t.TabModello(m));
      const OutletSection outlet{t.TabSezione(m), t.TabBocche(m)};
      const FanCurve curve = CurveOf(t, top, m);
      if (EndsWith(t.TabModello(m), "HX")) {
        const float lowFree = DuctFlowAtPressure(0, CurveOf(t, 1, m), false, outlet, {}, {});
        bool found = false;
        const float withCoil = DuctFlowAtPressure(50, curve, true, outlet, rows, hx, &found);
        EXPECT_TRUE(found);
        EXPECT_GT(withCoil, lowFree / 4);
        continue;
      }
      const float flowM3s = DuctFlowAtPressure(50, curve, false, outlet, {}, {}) / 3600;
      for (std::size_t i = 0; i < rows.size(); ++i) {
        const float loss = AccessoryLoss(rows[i], outlet, flowM3s);
        EXPECT_GE(loss, 2) << "row " << i + 1;
        EXPECT_LE(loss, 60) << "row " << i + 1;
      }
    }
  }
}

TEST_F(Catalogue, airFlowsAreInTheUnitsTheScreensRead) {
  // Cassettes and wall units: m3/h in the table, m3/s once loaded.
  for (Series series : {Series::QUIVO, Series::BRISK, Series::LUMO, Series::NARTE}) {
    const ModelTables& t = Load(series);
    for (int m = 1; m <= t.ModelCount; ++m) {
      EXPECT_GT(FaceVelocity(t, m, t.TabQa3(m) * 3600), 0.4) << t.TabModello(m);
      EXPECT_LT(FaceVelocity(t, m, t.TabQa3(m) * 3600), 3.0) << t.TabModello(m);
    }
  }
  const ModelTables& darne = Load(Series::DARNE);  // m3/h as stored
  for (int m = 1; m <= darne.ModelCount; ++m) {
    EXPECT_GT(darne.TabQa4(m), 100);
    EXPECT_GT(darne.TabPotNom(m), 0);
    EXPECT_GT(darne.TabEspon(m), 1);
    EXPECT_GE(darne.TabDeltaL(m), 1);
  }
  const ModelTables& veld = Load(Series::VELD);  // m3/s as stored
  for (int m = 1; m <= veld.ModelCount; ++m) EXPECT_LT(veld.TabQa3(m), 1);
  const ModelTables& q70 = Load(Series::Q70);  // m3/s, 1,000 to 10,000 m3/h
  for (int m = 1; m <= q70.ModelCount; ++m) {
    EXPECT_GE(q70.TabQA(m) * 3600, 1000);
    EXPECT_LE(q70.TabQA(m) * 3600, 10000);
  }
  const ModelTables& torva = Load(Series::TORVA);  // m3/h
  for (int m = 1; m <= torva.ModelCount; ++m) {
    EXPECT_GE(torva.TabQa1(m), 1000);
    EXPECT_LE(torva.TabQa1(m), 10000);
  }
}

}  // namespace
}  // namespace vestra

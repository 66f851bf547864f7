// Checks of the catalogue the build makes (Vestra.db beside the programs): every series
// loads, the model names follow the rules the screens rely on, and every fan curve is
// one the engine's searches can work with.

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <string>

#include "data/loaders.h"
#include "engine/coil_state.h"
#include "engine/fan_duct.h"

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

TEST_F(Catalogue, soundPowerRisesWithSpeedAndStaysInRange) {
  struct Case {
    Series series;
    int firstStep, lastStep;
  } cases[] = {{Series::MIRAL, 1, 3}, {Series::MIRALP, 1, 6}, {Series::PELVO, 1, 3},
               {Series::VELD, 1, 3},  {Series::LUMO, 1, 3},   {Series::NARTE, 1, 3},
               {Series::BRISK, 1, 3}, {Series::QUIVO, 1, 4},  {Series::DARNE, 2, 5},
               {Series::KELM, 1, 3},  {Series::ZOPH, 1, 7},   {Series::MIRALEC, 0, 7}};
  for (const Case& c : cases) {
    const ModelTables& t = Load(c.series);
    for (int m = 1; m <= t.ModelCount; ++m) {
      SCOPED_TRACE(t.TabModello(m));
      for (int k = c.firstStep; k <= c.lastStep; ++k) {
        EXPECT_GE(t.TabLWA(k, m), 30);
        EXPECT_LE(t.TabLWA(k, m), 70);
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

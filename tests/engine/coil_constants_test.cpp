#include "engine/coil_constants.h"

#include <gtest/gtest.h>

#include "engine/coil_state.h"

namespace vestra {
namespace {

TEST(CoilConstants, surfaceTablesAreIndexedByPitchThenGeometry) {
  CoilConstants c;
  CoilRatingState s;
  SelectCoilConstants(c, s, CoilSet::S3);
  // Entries listed as (geometry, pitch): (0,3) 9.95/8.61, (3,1) 28.85/24.8, (3,4) 18.5/15.95.
  EXPECT_EQ(c.GeoTabA[3][0], 9.95f);
  EXPECT_EQ(c.GeoTabB[3][0], 8.61f);
  EXPECT_EQ(c.GeoTabA[1][3], 28.85f);
  EXPECT_EQ(c.GeoTabB[1][3], 24.8f);
  EXPECT_EQ(c.GeoTabA[4][3], 18.5f);
  EXPECT_EQ(c.GeoTabA[0][3], 0.0f);  // (3,0) is not an entry of any set
  EXPECT_EQ(c.GeoFinPitch[1], 16.0f);
  EXPECT_EQ(c.GeoFinPitch[3], 21.0f);
  EXPECT_EQ(c.GeoFinPitch[4], 0.0f);
}

TEST(CoilConstants, entriesASetDoesNotWriteKeepThePreviousSet) {
  CoilConstants c;
  CoilRatingState s;
  EXPECT_EQ(c.GeoTabA[1][0], 0.0f);  // nothing before the first selection
  EXPECT_FALSE(c.selectedSet.has_value());

  SelectCoilConstants(c, s, CoilSet::S3);
  EXPECT_EQ(c.CoilNuPrExp0, 0.4f);
  SelectCoilConstants(c, s, CoilSet::S8);
  EXPECT_EQ(c.CoilNuPrExp0, 0.33f);
  EXPECT_EQ(c.GeoTabA[3][2], 18.8f);   // S8 writes (2,3)
  EXPECT_EQ(c.GeoTabA[1][0], 12.86f);  // (0,1) is still S3's
  EXPECT_EQ(c.GeoTabA[4][3], 18.5f);   // (3,4) is still S3's
  EXPECT_EQ(c.GeoAirN[0], 0.52f);      // S8 writes no geometry air constants
  EXPECT_EQ(c.GeoFinPitch[1], 16.0f);  // S8 writes p3 only
  EXPECT_EQ(c.selectedSet, CoilSet::S8);

  // S1 writes geometry 1 only; S9 writes geometries 2 and 3 only.
  SelectCoilConstants(c, s, CoilSet::S2);
  SelectCoilConstants(c, s, CoilSet::S1);
  EXPECT_EQ(c.GeoAirN, (std::array<float, 4>{0.52f, 0.32f, 0.65f, 0.3f}));
  EXPECT_EQ(c.GeoAirT, (std::array<float, 4>{0.23f, 0.0f, 0.23f, -0.1f}));
  EXPECT_EQ(c.GeoAirS, (std::array<float, 4>{-0.025f, 0.0f, -0.025f, 0.0f}));
  SelectCoilConstants(c, s, CoilSet::S9);
  EXPECT_EQ(c.GeoAirN[1], 0.32f);
  EXPECT_EQ(c.GeoFinPitch[8], 51.0f);
  EXPECT_EQ(c.GeoTabA[8][3], 9.88f);
  EXPECT_EQ(c.GeoTabB[8][3], 8.58f);
  EXPECT_EQ(c.GeoTabA[5][1], 12.8f);  // S1's (1,5)
}

TEST(CoilConstants, everySetWritesTheScalarsAndOnlyS8TheRecordExponents) {
  for (int i = 1; i <= 9; ++i) {
    const CoilSet set = static_cast<CoilSet>(i);
    CoilConstants c;
    CoilRatingState s;
    s.CurAirM = s.CurAirS = s.CurAirR = s.CurAirT = 7;
    SelectCoilConstants(c, s, set);
    EXPECT_EQ(c.CoilNuLamCoef, 1.86f) << i;
    EXPECT_EQ(c.CoilNuLamExp, 0.33f) << i;
    EXPECT_EQ(c.CoilNuTurbCoef, 0.023f) << i;
    EXPECT_EQ(c.CoilNuReExp, 0.8f) << i;
    EXPECT_EQ(c.CoilNuPrExp1, 0.3f) << i;
    EXPECT_EQ(c.CoilNuPrExp0, i <= 3 ? 0.4f : 0.33f) << i;
    EXPECT_EQ(c.CoilFrictionCoef, 0.3164f) << i;
    EXPECT_EQ(c.CoilConstA, 0.025f) << i;
    EXPECT_EQ(c.CoilConstB, 0.3f) << i;
    EXPECT_EQ(c.CoilTubeDiam, 0.0094f) << i;
    EXPECT_EQ(c.CoilAirExpAlt, 0.47f) << i;
    if (set == CoilSet::S8) {
      EXPECT_EQ(s.CurAirM, 0.6f);
      EXPECT_EQ(s.CurAirS, -0.025f);
      EXPECT_EQ(s.CurAirR, 0.0f);
      EXPECT_EQ(s.CurAirT, 0.23f);
    } else {
      EXPECT_EQ(s.CurAirM, 7.0f) << i;
    }
  }
}

}  // namespace
}  // namespace vestra

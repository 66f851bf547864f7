// The ethylene glycol fits against the reference property grids: every grid value to
// the digits printed, and no oscillation anywhere on a 1 % x 1 degC mesh.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "engine/fluids.h"

namespace vestra {
namespace {

constexpr std::array<int, 7> kGridG = {0, 10, 20, 30, 40, 50, 60};
constexpr std::array<int, 6> kGridT = {-10, 0, 20, 40, 60, 80};
constexpr int kRows = static_cast<int>(kGridG.size());
constexpr int kCols = static_cast<int>(kGridT.size());

// A property in the unit its grid is printed in.
using Property = double (*)(const GlycolTables&, float t, float g);

double CpKj(const GlycolTables& tables, float t, float g) {
  return GlycolCp(tables, t, g);
}
double DensityKgM3(const GlycolTables& tables, float t, float g) {
  return GlycolDensity(tables, t, g);
}
double ConductivityWmK(const GlycolTables& tables, float t, float g) {
  return GlycolConductivity(tables, t, g);
}
double ViscosityMPas(const GlycolTables& tables, float t, float g) {
  return GlycolViscosity(tables, t, g) * 1000;
}

// One reference grid, values as printed (rows g = 0..60 %, columns t = -10..80 degC).
struct PropertyGrid {
  const char* name;
  Property property;
  const char* printed[kRows][kCols];
};

const PropertyGrid kGrids[] = {
    {"cp",
     CpKj,
     {{"4.2412", "4.2212", "4.1916", "4.1750", "4.1708", "4.1783"},
      {"4.0863", "4.0930", "4.1004", "4.1036", "4.1068", "4.1143"},
      {"3.8816", "3.8996", "3.9327", "3.9631", "3.9929", "4.0237"},
      {"3.6410", "3.6659", "3.7144", "3.7618", "3.8085", "3.8552"},
      {"3.3702", "3.4168", "3.5029", "3.5811", "3.6527", "3.7194"},
      {"3.1075", "3.1747", "3.2950", "3.3991", "3.4899", "3.5705"},
      {"2.8830", "2.9559", "3.0877", "3.2032", "3.3053", "3.3966"}}},
    {"density",
     DensityKgM3,
     {{"1002.3", "1001.9", "998.9", "993.0", "984.6", "973.6"},
      {"1022.8", "1019.8", "1012.7", "1003.9", "993.4", "980.9"},
      {"1037.1", "1034.1", "1026.9", "1018.0", "1007.3", "995.0"},
      {"1051.2", "1047.6", "1039.2", "1029.5", "1018.3", "1005.5"},
      {"1065.3", "1061.4", "1052.4", "1041.9", "1030.0", "1016.6"},
      {"1080.0", "1075.4", "1065.1", "1053.6", "1040.8", "1026.9"},
      {"1093.9", "1088.8", "1077.8", "1065.7", "1052.4", "1038.0"}}},
    {"conductivity",
     ConductivityWmK,
     {{"0.5604", "0.5742", "0.6014", "0.6285", "0.6554", "0.6822"},
      {"0.5343", "0.5418", "0.5572", "0.5729", "0.5889", "0.6051"},
      {"0.5092", "0.5148", "0.5252", "0.5349", "0.5441", "0.5530"},
      {"0.4851", "0.4868", "0.4901", "0.4933", "0.4966", "0.4998"},
      {"0.4561", "0.4561", "0.4559", "0.4557", "0.4555", "0.4552"},
      {"0.4253", "0.4242", "0.4218", "0.4193", "0.4168", "0.4143"},
      {"0.3966", "0.3940", "0.3887", "0.3832", "0.3777", "0.3722"}}},
    {"viscosity",  // mPa s
     ViscosityMPas,
     {{"2.590", "1.771", "0.9883", "0.6398", "0.4522", "0.3397"},
      {"3.418", "2.338", "1.283", "0.8196", "0.5782", "0.4351"},
      {"4.726", "3.160", "1.674", "1.035", "0.7052", "0.5145"},
      {"6.597", "4.337", "2.199", "1.310", "0.8723", "0.6275"},
      {"9.320", "5.997", "2.937", "1.700", "1.103", "0.7745"},
      {"13.43", "8.315", "3.854", "2.161", "1.381", "0.9603"},
      {"19.10", "11.56", "5.198", "2.838", "1.763", "1.194"}}},
};

// A printed grid value and half a unit of its last digit: the rounding it carries.
struct Printed {
  double value;
  double half;
};

void PrintTo(const PropertyGrid& grid, std::ostream* os) {
  *os << grid.name;
}

Printed Parse(const char* text) {
  const char* point = std::strchr(text, '.');
  const int decimals = point ? static_cast<int>(std::strlen(point + 1)) : 0;
  return {std::strtod(text, nullptr), 0.5 * std::pow(10.0, -decimals)};
}

class GlycolFit : public ::testing::TestWithParam<PropertyGrid> {
 protected:
  double Fit(int t, int g) const {
    return GetParam().property(tables_, static_cast<float>(t), static_cast<float>(g));
  }
  Printed Node(int row, int col) const { return Parse(GetParam().printed[row][col]); }

  // Checks the fit along one grid line (a row at fixed g or a column at fixed t) at
  // every whole step between its nodes: `at` gives the nodes' positions on the line,
  // `fit` evaluates the fit at a position. The printed values are rounded, so every
  // bound allows half a unit of their last digit.
  //  - Where the grid line runs one way, the fit runs the same way and stays within the
  //    two nodes' values. A flat step (conductivity at 40 %, -10 to 0 degC) counts as
  //    part of the run around it: the fit may not turn back there by more than the
  //    rounding either.
  //  - Where the grid line turns at a node (water cp has its minimum near 57 degC, so
  //    the row at 0 % turns at the 60 degC node), the extremum lies somewhere in the two
  //    cells around the node and goes beyond the node's value. There the fit must turn
  //    exactly once and stay between the outer nodes and the vertex of the parabola
  //    through the three nodes: a single, physically sized extremum, and no wiggle.
  template <typename LineFit>
  void CheckLine(const std::string& line, const std::vector<int>& at,
                 const std::vector<Printed>& nodes, LineFit fit) const;

  const GlycolTables tables_ = InitGlycolTables();
};

int Sign(double x) {
  return (x > 0) - (x < 0);
}

constexpr int kMonotone = std::numeric_limits<int>::min();

// Along [from, to] the fit never moves against `direction` (+1 rising, -1 falling) by more
// than `slack` from the furthest value it has reached. Returns the first offending
// position, or kMonotone.
template <typename LineFit>
int FirstReversal(LineFit fit, int from, int to, int direction, double slack) {
  double furthest = fit(from);
  for (int x = from + 1; x <= to; ++x) {
    const double f = fit(x);
    if (direction * (furthest - f) > slack) return x;
    furthest = direction > 0 ? std::max(furthest, f) : std::min(furthest, f);
  }
  return kMonotone;
}

template <typename LineFit>
void GlycolFit::CheckLine(const std::string& line, const std::vector<int>& at,
                          const std::vector<Printed>& nodes, LineFit fit) const {
  const int segments = static_cast<int>(at.size()) - 1;
  std::vector<int> direction(segments);
  for (int i = 0; i < segments; ++i) direction[i] = Sign(nodes[i + 1].value - nodes[i].value);

  // A flat step (equal printed values) takes the direction of its neighbours; the
  // grids have no flat step at a turning point.
  for (int i = 0; i < segments; ++i) {
    if (direction[i] != 0) continue;
    for (int j = 1; j < segments && direction[i] == 0; ++j) {
      if (i - j >= 0 && direction[i - j] != 0) direction[i] = direction[i - j];
      if (i + j < segments && direction[i + j] != 0) direction[i] = direction[i + j];
    }
  }

  // Nodes where the grid line turns: a true extremum lies within the two cells around.
  std::vector<bool> nearTurn(segments, false);
  for (int j = 1; j < segments; ++j) {
    if (direction[j - 1] == direction[j]) continue;
    nearTurn[j - 1] = nearTurn[j] = true;
    const Printed& left = nodes[j - 1];
    const Printed& mid = nodes[j];
    const Printed& right = nodes[j + 1];
    const double slack = std::max({left.half, mid.half, right.half});
    const double h1 = at[j] - at[j - 1];
    const double h2 = at[j + 1] - at[j];
    const double s1 = (mid.value - left.value) / h1;
    const double s2 = (right.value - mid.value) / h2;
    const double curvature = (s2 - s1) / (h1 + h2);  // half the second derivative
    const double slopeAtMid = (s1 * h2 + s2 * h1) / (h1 + h2);
    const double vertexShift = -slopeAtMid / (2 * curvature);
    double overshoot = 0;
    if (at[j] + vertexShift > at[j - 1] && at[j] + vertexShift < at[j + 1])
      overshoot = slopeAtMid * slopeAtMid / (4 * std::abs(curvature));
    const double outer = direction[j - 1] < 0 ? std::max(left.value, right.value)
                                              : std::min(left.value, right.value);
    const double extreme = mid.value - direction[j] * overshoot;  // a minimum lies below
    const double lo = std::min(outer, extreme) - slack;
    const double hi = std::max(outer, extreme) + slack;

    int turn = at[j - 1];
    for (int x = at[j - 1]; x <= at[j + 1]; ++x) {
      const double f = fit(x);
      EXPECT_TRUE(f >= lo && f <= hi) << line << " at " << x << ": " << f << " outside [" << lo
                                      << ", " << hi << "] around the turn at " << at[j];
      if (direction[j - 1] * (fit(turn) - f) < 0) turn = x;  // furthest point reached
    }
    const int back = FirstReversal(fit, at[j - 1], turn, direction[j - 1], slack);
    const int forth = FirstReversal(fit, turn, at[j + 1], direction[j], slack);
    EXPECT_EQ(back, kMonotone) << line << " turns back at " << back << " before " << turn;
    EXPECT_EQ(forth, kMonotone) << line << " turns back at " << forth << " after " << turn;
  }

  // Between nodes away from any turn: monotone, and within the two nodes' values.
  for (int i = 0; i < segments; ++i) {
    if (nearTurn[i]) continue;
    const Printed& p = nodes[i];
    const Printed& q = nodes[i + 1];
    const double slack = std::max(p.half, q.half);
    const double lo = std::min(p.value, q.value) - slack;
    const double hi = std::max(p.value, q.value) + slack;
    for (int x = at[i]; x <= at[i + 1]; ++x) {
      const double f = fit(x);
      EXPECT_TRUE(f >= lo && f <= hi)
          << line << " at " << x << ": " << f << " outside [" << lo << ", " << hi << "]";
    }
    const int reversal = FirstReversal(fit, at[i], at[i + 1], direction[i], slack);
    EXPECT_EQ(reversal, kMonotone) << line << " is not monotone at " << reversal << " between "
                                   << at[i] << " and " << at[i + 1];
  }
}

TEST_P(GlycolFit, reproducesEveryGridValueToThePrintedDigits) {
  for (int row = 0; row < kRows; ++row) {
    for (int col = 0; col < kCols; ++col) {
      const Printed node = Node(row, col);
      const double fit = Fit(kGridT[col], kGridG[row]);
      EXPECT_LE(std::abs(fit - node.value), node.half)
          << GetParam().name << " at g = " << kGridG[row] << " %, t = " << kGridT[col]
          << " degC: fit " << fit << ", grid " << GetParam().printed[row][col];
    }
  }
}

TEST_P(GlycolFit, followsEveryGridRowBetweenItsNodes) {
  const std::vector<int> at(kGridT.begin(), kGridT.end());
  for (int row = 0; row < kRows; ++row) {
    std::vector<Printed> nodes;
    for (int col = 0; col < kCols; ++col) nodes.push_back(Node(row, col));
    const int g = kGridG[row];
    CheckLine(std::string(GetParam().name) + " at g = " + std::to_string(g) + " %", at, nodes,
              [&](int t) { return Fit(t, g); });
  }
}

TEST_P(GlycolFit, followsEveryGridColumnBetweenItsNodes) {
  const std::vector<int> at(kGridG.begin(), kGridG.end());
  for (int col = 0; col < kCols; ++col) {
    std::vector<Printed> nodes;
    for (int row = 0; row < kRows; ++row) nodes.push_back(Node(row, col));
    const int t = kGridT[col];
    CheckLine(std::string(GetParam().name) + " at t = " + std::to_string(t) + " degC", at, nodes,
              [&](int g) { return Fit(t, g); });
  }
}

// Every point of the fine mesh lies within the values at the corners of its grid cell
// (of each cell it borders), give or take the corners' rounding.
TEST_P(GlycolFit, staysWithinTheCornersOfItsCellOnTheFineMesh) {
  int outside = 0;
  for (int g = 0; g <= 60; ++g) {
    for (int t = -10; t <= 80; ++t) {
      const double f = Fit(t, g);
      for (int row = 0; row + 1 < kRows; ++row) {
        if (g < kGridG[row] || g > kGridG[row + 1]) continue;
        for (int col = 0; col + 1 < kCols; ++col) {
          if (t < kGridT[col] || t > kGridT[col + 1]) continue;
          double lo = std::numeric_limits<double>::infinity();
          double hi = -std::numeric_limits<double>::infinity();
          for (int r = row; r <= row + 1; ++r) {
            for (int c = col; c <= col + 1; ++c) {
              const Printed corner = Node(r, c);
              lo = std::min(lo, corner.value - corner.half);
              hi = std::max(hi, corner.value + corner.half);
            }
          }
          if (f < lo || f > hi) {
            ++outside;
            ADD_FAILURE() << GetParam().name << " at g = " << g << " %, t = " << t << " degC: " << f
                          << " outside [" << lo << ", " << hi << "]";
          }
        }
      }
      if (outside > 20) return;  // enough to see the pattern
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Grids, GlycolFit, ::testing::ValuesIn(kGrids),
                         [](const auto& info) { return std::string(info.param.name); });

// The worked values quoted for a 30 % mixture at 20 degC, to the digits quoted.
TEST(GlycolFitReference, thirtyPercentAtTwentyDegrees) {
  const GlycolTables tables = InitGlycolTables();
  EXPECT_NEAR(GlycolCp(tables, 20, 30), 3.714, 0.0005);
  EXPECT_NEAR(GlycolDensity(tables, 20, 30), 1039.2, 0.05);
  EXPECT_NEAR(GlycolConductivity(tables, 20, 30), 0.4901, 0.00005);
  EXPECT_NEAR(GlycolViscosity(tables, 20, 30), 0.002199, 0.0000005);
}

// The mixture fit at 0 % is not the plain-water fit: at 20 degC the two specific heats
// differ in the third decimal, which is why a 0 % share takes the water fits.
TEST(GlycolFitReference, zeroPercentMixtureDiffersFromPlainWater) {
  const GlycolTables tables = InitGlycolTables();
  const float mixture = GlycolCp(tables, 20, 0);
  const float water = WaterCp(20);
  EXPECT_NEAR(mixture, 4.1916, 0.00005);
  EXPECT_NEAR(water, 4.1877, 0.00005);
  EXPECT_GT(mixture - water, 0.003);
}

}  // namespace
}  // namespace vestra

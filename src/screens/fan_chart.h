#pragma once

// The fan curve chart FGrafico of the EC screens: the fan curve of the chosen model at
// one step (the EC fan coils and EC ducted units) or at the full 10 V signal (the
// high-efficiency EC units), the duct curve through the operating point, and the point
// itself, which a spinner moves along the duct curve; every move writes the owner
// screen's air flow and static pressure and calculates it again. The geometry as logic:
// the window paints the primitives of a drawing.

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/fan_duct.h"
#include "screens/rated_row.h"
#include "screens/selection_screen.h"
#include "screens/session.h"

namespace vestra::screens {

// The chart's palette: the 16-colour palette's black, blue, red and grey.
enum class ChartColour { kBlack = 0, kBlue = 1, kRed = 4, kGrey = 8 };

// One thing drawn, in the chart's user coordinates: x the air flow in m3/h, y the
// pressure in tenths of a Pa.
struct ChartPrimitive {
  enum Kind { kLine, kPoint, kCircle, kText };
  Kind kind = kLine;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends; point, circle centre and text place
  double radius = 0;                      // circle, in x units
  std::string text;
  ChartColour colour = ChartColour::kBlack;
  int width = 1;  // pen width, pixels
};

struct ChartDrawing {
  // The user coordinate system: the top-left and the bottom-right corners.
  double left = 0, top = 0, right = 0, bottom = 0;
  std::vector<ChartPrimitive> items;
};

// The fan curve of the chart: a step's quadratic, or the high-efficiency fan's at 10 V.
struct ChartFanCurve {
  double ka = 0, kb = 0, kc = 0;  // Pa against m3/h
  bool signalFan = false;         // the high-efficiency fan (its chart top taken whole)
  double PressurePa(double q) const { return ka * q * q + kb * q + kc; }
};

// The lowest flow the spinner offers, m3/h.
inline constexpr int kChartBottomFlowM3h = 50;

class FanChart {
 public:
  // Opens the chart for the model chosen on the owner screen, at the step its last
  // Calculate chose: the reference point, the meeting point of the two curves, the
  // spinner's range; ChartOpen set and the owner's air-flow field disabled. A message
  // instead when no chart can be drawn (no air flow typed, a model without a fan curve,
  // the air flow beyond the fan's reach).
  static std::variant<FanChart, ScreenMessage> Open(SelectionScreen& owner, Session& session);

  // The spinner moved to an air flow (m3/h): the operating point on the duct curve, its
  // pressure (Pa, whole) written with the flow into the owner's fields, the owner
  // calculated again. Returns the pressure.
  int Change(int airFlowM3h, SelectionScreen& owner);

  // The chart closes: ChartOpen cleared, the owner's air-flow field enabled again.
  void Close(SelectionScreen& owner);

  // The drawing at an operating point.
  ChartDrawing Draw(double pressurePa, double airFlowM3h) const;

  int model() const { return model_; }
  int step() const { return step_; }
  float refFlowM3h() const { return refFlow_; }
  float refPressurePa() const { return refPressure_; }
  double qmax() const { return qmax_; }
  int qmeet() const { return qmeet_; }
  int scrollTop() const { return scrollTop_; }
  int topTenthsPa() const { return top_; }  // H, the chart's top in tenths of a Pa
  const std::string& owner() const { return owner_; }

  // The duct curve's pressure at a flow, Pa.
  double DuctPressurePa(double q) const;

 private:
  FanChart() = default;

  std::string owner_;
  int model_ = 0;
  int step_ = 0;
  ChartFanCurve curve_;
  float refFlow_ = 0, refPressure_ = 0;
  double qmax_ = 0;
  int qmeet_ = 0;
  int scrollTop_ = 0;
  int top_ = 0;
  Session* session_ = nullptr;
};

}  // namespace vestra::screens

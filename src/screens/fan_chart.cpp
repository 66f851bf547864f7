#include "screens/fan_chart.h"

#include <cmath>

#include "app/numbers.h"
#include "app/units.h"
#include "engine/numeric.h"
#include "screens/ducted_screen.h"
#include "screens/ec_screen.h"
#include "screens/field_rules.h"

namespace vestra::screens {

namespace {

// A fixed text of the chart in the two languages the program's fixed texts come in.
std::string Said(const Session& session, const std::string& italian, const std::string& english) {
  return session.settings.LangBase == 100 ? italian : english;
}

std::string WholeText(double value) {
  return std::to_string(CInt(value));
}

// The owner's typed static pressure, Pa (the field is in the display unit).
float TypedPressurePa(const SelectionScreen& owner, const Session& session) {
  const TextBox* field = owner.Field(Control(Ctl::txtpsu));
  if (!field) return 0;
  const FieldNumber n = ReadFieldNumber(*field, session);
  if (n.kind != FieldNumber::kValue) return 0;
  return Sng(n.value / double{ChosenUnit(session.settings, Quantity::kAirPressure).factor});
}

}  // namespace

double FanChart::DuctPressurePa(double q) const {
  const double ratio = q / refFlow_;
  return refPressure_ * ratio * ratio;
}

std::variant<FanChart, ScreenMessage> FanChart::Open(SelectionScreen& owner, Session& session) {
  FanChart chart;
  chart.session_ = &session;
  chart.owner_ = std::string(owner.Name());
  const bool umbra = chart.owner_ == UmbraScreen::kName;
  const ModelTables& t = session.models;
  chart.model_ = owner.Form().cboModel.ListIndex;
  if (chart.model_ < 1 || chart.model_ > t.ModelCount)
    return ScreenMessage{Said(session, "Il grafico mostra il ventilatore di un modello: sceglierlo",
                              "The chart shows one model's fan: choose the model"),
                         Icon::kNone, Control(Ctl::cboModel)};
  const int m = chart.model_;

  // 1. The reference point: the air flow and the static pressure of the calculation.
  const TextBox* flowField = owner.Field(Control(Ctl::txtqatot));
  chart.refFlow_ = flowField ? Sng(PresenceValue(*flowField)) : 0;
  if (const auto* ducted = dynamic_cast<const DuctedEcScreen*>(&owner))
    chart.refPressure_ = ducted->LastStaticPressurePa();
  else
    chart.refPressure_ = TypedPressurePa(owner, session);
  if (!(chart.refFlow_ > 0))
    return ScreenMessage{" Portata aria obbligatori", Icon::kNone, Control(Ctl::txtqatot)};

  // 2. The fan curve and its largest flow at the step of the last calculation.
  // The step is the owner's: when it rated this model last, its row tells the step it chose
  // (another EC screen may have calculated since and moved the shared one).
  chart.step_ = session.chart.ChartStep;
  for (const RatedRow& row : owner.LastCalculation().rows)
    if (row.model == m) chart.step_ = row.chartStep;
  if (umbra) {
    // The high-efficiency fan at the full signal.
    auto at10 = [&](const TableArray<float>& x) {
      return x(1, m) * 100.0 + x(2, m) * 10.0 + x(3, m);
    };
    chart.curve_ = {at10(t.TabAK), at10(t.TabBX), at10(t.TabCY), true};
    chart.qmax_ = t.TabMaxQa(m);
  } else {
    const FanCurve curve{t.TabVA(chart.step_, m), t.TabVB(chart.step_, m), t.TabVC(chart.step_, m)};
    chart.curve_ = {curve.va, curve.vb, curve.vc, false};
    chart.qmax_ = FanFlowAtPressure(0, curve);
  }
  if (!(chart.qmax_ > 0))
    return ScreenMessage{
        Said(session, "La curva del ventilatore di " + t.TabModello(m) + " non dà portata d'aria",
             "The fan curve of " + t.TabModello(m) + " gives no air flow"),
        Icon::kError, std::nullopt};

  // 3. Where the duct curve meets the fan curve, to a two-hundredth of the largest flow.
  const double qfree = chart.qmax_;
  for (int n = 0;; ++n) {
    const double q = 1 + n * qfree / 200;
    if (q > qfree || !(chart.curve_.PressurePa(q) > chart.DuctPressurePa(q))) break;
    chart.qmeet_ = CInt(q);
  }
  // 4. The spinner's top end.
  chart.scrollTop_ = chart.qmeet_;
  if (chart.owner_ == EcFanCoilScreen::kName && chart.refFlow_ > chart.qmeet_)
    chart.scrollTop_ = CInt(qfree);
  if (chart.owner_ == DuctedEcScreen::kName && chart.qmeet_ < chart.refFlow_)
    chart.scrollTop_ = CInt(chart.refFlow_);
  const int start = CInt(chart.refFlow_);
  if (start < kChartBottomFlowM3h)
    return ScreenMessage{
        Said(session,
             "Il grafico parte da " + std::to_string(kChartBottomFlowM3h) + " m3/h: la portata " +
                 WholeText(chart.refFlow_) + " m3/h è più bassa",
             "The chart starts at " + std::to_string(kChartBottomFlowM3h) + " m3/h: the air flow " +
                 WholeText(chart.refFlow_) + " m3/h lies below it"),
        Icon::kError, Control(Ctl::txtqatot)};
  if (start > chart.scrollTop_)
    return ScreenMessage{Said(session,
                              "La portata " + WholeText(chart.refFlow_) +
                                  " m3/h è fuori dalla portata del "
                                  "ventilatore a questo gradino (" +
                                  std::to_string(kChartBottomFlowM3h) + " .. " +
                                  std::to_string(chart.scrollTop_) + " m3/h)",
                              "The air flow " + WholeText(chart.refFlow_) +
                                  " m3/h lies beyond the fan's reach "
                                  "at this step (" +
                                  std::to_string(kChartBottomFlowM3h) + " .. " +
                                  std::to_string(chart.scrollTop_) + " m3/h)"),
                         Icon::kError, Control(Ctl::txtqatot)};

  // The chart's top, in tenths of a Pa.
  const double third = chart.curve_.PressurePa(chart.qmax_ / 3);
  chart.top_ = umbra ? CInt(CInt(third) * 1.1 * 10) : CInt(10 * 1.1 * third);

  // 5. Open: the steps stay the chart's while it is, and the air flow is the spinner's.
  session.chart.ChartOpen = true;
  session.chart.ChartStep = static_cast<std::int16_t>(chart.step_);
  session.chart.ChartRefFlow = chart.refFlow_;
  session.chart.ChartRefPressure = chart.refPressure_;
  if (TextBox* field = owner.Field(Control(Ctl::txtqatot))) field->Enabled = false;
  return chart;
}

int FanChart::Change(int airFlowM3h, SelectionScreen& owner) {
  const double psu = DuctPressurePa(airFlowM3h);
  const int shown = CInt(psu);
  // The owner reads what the chart writes in its own units: m3/h, and its pressure unit.
  const Session& s = *session_;
  const Unit& pressure = ChosenUnit(s.settings, Quantity::kAirPressure);
  if (TextBox* field = owner.Field(Control(Ctl::txtpsu)))
    field->Text = pressure.factor == 1
                      ? std::to_string(shown)
                      : PlainNumberText(Sng(shown * double{pressure.factor}), s.Decimal());
  if (TextBox* field = owner.Field(Control(Ctl::txtqatot)))
    field->Text = std::to_string(airFlowM3h);
  owner.cmdCalcola_Click();
  return shown;
}

void FanChart::Close(SelectionScreen& owner) {
  session_->chart.ChartOpen = false;
  if (TextBox* field = owner.Field(Control(Ctl::txtqatot))) field->Enabled = true;
}

ChartDrawing FanChart::Draw(double psu, double qa) const {
  ChartDrawing d;
  const double qmax = qmax_;
  const double h = top_;
  d.left = -0.1 * qmax;
  d.top = h;
  d.right = 1.1 * qmax;
  d.bottom = -0.1 * h;
  auto line = [&](double x1, double y1, double x2, double y2, ChartColour c, int w) {
    d.items.push_back({ChartPrimitive::kLine, x1, y1, x2, y2, 0, "", c, w});
  };
  auto text = [&](double x, double y, std::string s) {
    d.items.push_back({ChartPrimitive::kText, x, y, x, y, 0, std::move(s), ChartColour::kBlack, 1});
  };
  // Axes.
  line(0, 0, 1.1 * qmax, 0, ChartColour::kBlack, 1);
  line(0, 0, 0, h, ChartColour::kBlack, 1);
  // Pressure grid every 5 Pa, labelled in Pa.
  for (int t = 50; t <= h; t += 50) {
    line(0, t, 1.1 * qmax, t, ChartColour::kGrey, 1);
    text(-0.05 * qmax, t, std::to_string(t / 10));
  }
  // Air-flow grid every 50 m3/h; on a wide chart only the hundreds are labelled.
  const int right = CInt(1.1 * qmax);
  for (int u = 50; u <= right; u += 50) {
    line(u, 0, u, 1.1 * h, ChartColour::kGrey, 1);
    if (qmax <= 600 || u % 100 == 0) text(u - 15, -0.01 * h, std::to_string(u));
  }
  // The fan curve's right two thirds, where the fan works stably.
  for (double q = qmax; q >= qmax / 3; q -= 1) {
    const double p = curve_.PressurePa(q);
    if (p >= 0)
      d.items.push_back(
          {ChartPrimitive::kPoint, q, 10 * p, q, 10 * p, 0, "", ChartColour::kBlack, 3});
  }
  // The duct curve, up to nine tenths of the chart's height.
  for (double q = 0; q <= qmax; q += 1) {
    const double ps = DuctPressurePa(q);
    if (static_cast<float>(10 * ps) < static_cast<float>(0.9 * h))
      d.items.push_back(
          {ChartPrimitive::kPoint, q, 10 * ps, q, 10 * ps, 0, "", ChartColour::kRed, 3});
  }
  // The operating point.
  d.items.push_back(
      {ChartPrimitive::kCircle, qa, 10 * psu, qa, 10 * psu, qmax / 100, "", ChartColour::kBlue, 3});
  return d;
}

}  // namespace vestra::screens

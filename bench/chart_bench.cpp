// One step of the fan curve chart's spinner, as holding its arrow down repeats it: the
// owner's Calculate of the chosen model, the chart's geometry and its drawing painted
// into an off-screen image of the window's size.
// Run: build/bin/vestra-bench --benchmark_filter=Chart

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <memory>
#include <stdexcept>

#include "engine/numeric.h"
#include "screens/controls.h"
#include "screens/dispatch.h"
#include "screens/fan_chart.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/ui/chart_painter.h"

namespace {

using namespace vestra;
using namespace vestra::screens;

class SilentUi : public ScreenUi {
 public:
  void ShowMessage(const std::string& text, Icon) override { throw std::runtime_error(text); }
  void SetFocus(ControlRef) override {}
  void SetClipboardText(const std::string&) override {}
};

// Text is painted with the toolkit's fonts, which need an application (no display).
void EnsurePainting() {
  static int argc = 1;
  static char name[] = "vestra-bench";
  static char* argv[] = {name, nullptr};
  static std::unique_ptr<QGuiApplication> app;
  if (!app) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
}

void BM_ChartSpinnerStep(benchmark::State& state, const char* series, const char* flow,
                         const char* pressure) {
  EnsurePainting();
  auto session = std::make_unique<Session>();
  session->settings.LangBase = 100;
  session->settings.DecimalSeparator = ".";
  session->store = std::make_unique<CatalogueStore>(VESTRA_CATALOGUE_DB);
  SilentUi ui;
  const std::unique_ptr<SelectionScreen> screen = DispatchSeries(*session, ui, *FindSeries(series));
  screen->Form().cboModel.ListIndex = 1;
  screen->Field(Control(Ctl::txtqatot))->Text = flow;
  screen->Field(Control(Ctl::txtpsu))->Text = pressure;
  screen->cmdCalcola_Click();
  auto opened = FanChart::Open(*screen, *session);
  if (auto* message = std::get_if<ScreenMessage>(&opened)) {
    state.SkipWithError(message->text.c_str());
    return;
  }
  FanChart& chart = std::get<FanChart>(opened);
  QImage image(640, 480, QImage::Format_ARGB32_Premultiplied);
  const int start = CInt(chart.refFlowM3h());
  int step = 0;
  for (auto _ : state) {
    const int q = start - (step++ % 2);  // down one and back up, as the arrow repeats
    chart.Change(q, *screen);
    QPainter painter(&image);
    ui::PaintChart(painter, image.rect(), chart.Draw(chart.DuctPressurePa(q), q));
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["rows"] = static_cast<double>(screen->LastCalculation().rows.size());
}
BENCHMARK_CAPTURE(BM_ChartSpinnerStep, MIRALEC, "MIRALEC", "200", "10")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ChartSpinnerStep, KELMBLDC, "KELMBLDC", "400", "50")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ChartSpinnerStep, UMBRA, "UMBRA", "250", "20")->Unit(benchmark::kMillisecond);

}  // namespace

// The standard screen's Calculate of the largest series at every speed: TORVAEC, whose
// tables are sized for 91 models, at its 18 fan signals; the ducted units at every tap;
// and the load of a series.
// Run: build/bin/vestra-bench --benchmark_filter=Screen

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>

#include "screens/controls.h"
#include "screens/dispatch.h"
#include "screens/selection_screen.h"
#include "screens/series_traits.h"
#include "screens/session.h"
#include "screens/standard_screen.h"

namespace {

using namespace vestra;
using namespace vestra::screens;

class SilentUi : public ScreenUi {
 public:
  void ShowMessage(const std::string& text, Icon) override { throw std::runtime_error(text); }
  void SetFocus(ControlRef) override {}
  void SetClipboardText(const std::string&) override {}
};

std::unique_ptr<Session> OpenSession() {
  auto session = std::make_unique<Session>();
  session->settings.LangBase = 100;
  session->settings.DecimalSeparator = ".";
  session->store = std::make_unique<CatalogueStore>(VESTRA_CATALOGUE_DB);
  return session;
}

// Copies the catalogue's models over until the table holds `count` of them, so that the
// Calculate rates as many models as the largest series is dimensioned for.
template <typename T>
void Repeat(TableArray<T>& array, int loaded, int count) {
  if (array.Rank() == 1) {
    for (int m = loaded + 1; m <= count; ++m) array.Store(m, array((m - 1) % loaded + 1));
  } else if (array.Rank() == 2) {
    for (int m = loaded + 1; m <= count; ++m)
      for (int k = 0; k <= array.KUpper(); ++k) array.Store(k, m, array(k, (m - 1) % loaded + 1));
  }
}

void BM_ScreenCalculateTorvaecEverySignal(benchmark::State& state) {
  auto session = OpenSession();
  SilentUi ui;
  const std::unique_ptr<SelectionScreen> opened =
      DispatchSeries(*session, ui, *FindSeries("TORVAEC"));
  auto& screen = static_cast<StandardScreen&>(*opened);
  ModelTables& t = session->models;
  const int loaded = t.ModelCount;
  constexpr int kModels = 91;
  Repeat(t.TabModello, loaded, kModels);
  Repeat(t.TabGeom, loaded, kModels);
  Repeat(t.TabPasso, loaded, kModels);
  Repeat(t.TabLunBat, loaded, kModels);
  Repeat(t.TabAltBat, loaded, kModels);
  Repeat(t.TabNR, loaded, kModels);
  Repeat(t.TabNC, loaded, kModels);
  Repeat(t.TabC100, loaded, kModels);
  Repeat(t.TabCC30, loaded, kModels);
  Repeat(t.TabFC30, loaded, kModels);
  Repeat(t.TabFCC50, loaded, kModels);
  for (auto* variant : {&t.TabVRA, &t.TabVRB, &t.TabVRC, &t.TabQAA, &t.TabQAB, &t.TabQAC, &t.TabPAK,
                        &t.TabPAN, &t.TabLWB, &t.TabLWC})
    Repeat(*variant, loaded, kModels);
  Repeat(t.TabLWA, loaded, kModels);
  t.ModelCount = kModels;
  screen.form.cboVel.ListIndex = 0;
  for (auto _ : state) {
    screen.cmdCalcola_Click();
    benchmark::DoNotOptimize(screen.form.Grd.Rows.data());
  }
  state.counters["rows"] = static_cast<double>(screen.ModelRowCount());
}
BENCHMARK(BM_ScreenCalculateTorvaecEverySignal)->Unit(benchmark::kMillisecond);

// The ducted units: every model at every tap against 50 Pa with two accessories and a
// mix of fresh air.
void BM_ScreenCalculateDuctedEveryTap(benchmark::State& state, const char* series) {
  auto session = OpenSession();
  SilentUi ui;
  const std::unique_ptr<SelectionScreen> screen = DispatchSeries(*session, ui, *FindSeries(series));
  ComboBox& speeds = *screen->Combo(Control(Ctl::cboVel));
  speeds.ListIndex = 0;
  screen->Field(Control(Ctl::txtpsu))->Text = "50";
  screen->Check(Control(Ctl::chkAcc, 2))->Value = true;
  screen->Check(Control(Ctl::chkAcc, 5))->Value = true;
  screen->ScrollBar_Change(Control(Ctl::Scrollfreddo), 30);
  for (auto _ : state) {
    screen->cmdCalcola_Click();
    benchmark::DoNotOptimize(screen->Form().Grd.Rows.data());
  }
  state.counters["rows"] = static_cast<double>(screen->ModelRowCount());
}
BENCHMARK_CAPTURE(BM_ScreenCalculateDuctedEveryTap, KELM, "KELM")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScreenCalculateDuctedEveryTap, ZOPH, "ZOPH")->Unit(benchmark::kMillisecond);

// The EC screens: every model at a required air flow against a static pressure.
void BM_ScreenCalculateEcEveryModel(benchmark::State& state, const char* series,
                                    const char* pressure) {
  auto session = OpenSession();
  SilentUi ui;
  const std::unique_ptr<SelectionScreen> screen = DispatchSeries(*session, ui, *FindSeries(series));
  screen->Field(Control(Ctl::txtqatot))->Text = "400";
  screen->Field(Control(Ctl::txtpsu))->Text = pressure;
  for (auto _ : state) {
    screen->cmdCalcola_Click();
    benchmark::DoNotOptimize(screen->Form().Grd.Rows.data());
  }
  state.counters["rows"] = static_cast<double>(screen->ModelRowCount());
}
BENCHMARK_CAPTURE(BM_ScreenCalculateEcEveryModel, MIRALEC, "MIRALEC", "50")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScreenCalculateEcEveryModel, UMBRA, "UMBRA", "50")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScreenCalculateEcEveryModel, KELMBLDC, "KELMBLDC", "50")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScreenCalculateEcEveryModel, ZOPHBLDC, "ZOPHBLDC", "50")
    ->Unit(benchmark::kMillisecond);

void BM_ScreenLoadSeries(benchmark::State& state) {
  auto session = OpenSession();
  SilentUi ui;
  const SeriesTraits& traits = *FindSeries("MIRAL");
  PrepareDispatch(*session, traits);
  StandardScreen screen(*session, ui, traits);
  screen.Form_Load();
  for (auto _ : state) screen.LoadModels();
  state.counters["models"] = session->models.ModelCount;
}
BENCHMARK(BM_ScreenLoadSeries)->Unit(benchmark::kMillisecond);

}  // namespace

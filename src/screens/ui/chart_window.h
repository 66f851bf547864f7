#pragma once

// The fan curve chart's window FGrafico ("Grafico curva motore"): the chart, and beneath
// it the air flow, the spinner VScroll2 that moves the operating point along the duct
// curve and the pressure there. Every move writes the owner screen's air flow and static
// pressure and calculates it again; closing the window gives the owner back its air flow.

#include <QWidget>
#include <functional>

#include "screens/fan_chart.h"

class QLabel;
class QScrollBar;

namespace vestra::ui {

class ScreenWindow;

class ChartView : public QWidget {
 public:
  explicit ChartView(QWidget* parent = nullptr);
  void Show(screens::ChartDrawing drawing);
  const screens::ChartDrawing& drawing() const { return drawing_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  screens::ChartDrawing drawing_;
};

class ChartWindow : public QWidget {
 public:
  static constexpr const char* kName = "FGrafico";

  // Opened by the owner's chart button; the chart already opened on the owner's screen.
  ChartWindow(ScreenWindow& owner, screens::FanChart chart, QWidget* parent = nullptr);
  ~ChartWindow() override;

  QScrollBar* Spinner() const { return spinner_; }
  // The spinner's air flow, m3/h, and its range: from 50 m3/h at the bottom up to the
  // largest flow offered at the top.
  int Flow() const;
  int TopFlow() const;
  int BottomFlow() const;
  QLabel* FlowLabel() const { return lblQa_; }
  QLabel* PressureLabel() const { return lblPSU_; }
  ChartView* View() const { return view_; }
  const screens::FanChart& chart() const { return chart_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // VScroll2_Change: the new operating point, the drawing, the owner calculated again.
  void Change(int airFlowM3h);

  ScreenWindow& owner_;
  screens::FanChart chart_;
  ChartView* view_ = nullptr;
  QScrollBar* spinner_ = nullptr;
  QLabel* lblQa_ = nullptr;
  QLabel* lblPSU_ = nullptr;
  bool closed_ = false;
};

}  // namespace vestra::ui

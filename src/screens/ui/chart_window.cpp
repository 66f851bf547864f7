#include "screens/ui/chart_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include "engine/numeric.h"
#include "screens/ui/chart_painter.h"
#include "screens/ui/screen_window.h"

namespace vestra::ui {

ChartView::ChartView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pctCurva"));
  setMinimumSize(480, 360);
  setAutoFillBackground(true);
}

void ChartView::Show(screens::ChartDrawing drawing) {
  drawing_ = std::move(drawing);
  update();
}

void ChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintChart(painter, rect(), drawing_);
}

void ChartView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  auto image = [this] {
    QImage picture(size() * devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(devicePixelRatioF());
    QPainter painter(&picture);
    PaintChart(painter, rect(), drawing_);
    return picture;
  };
  menu.addAction(tr("Copy"), this, [image] { QGuiApplication::clipboard()->setImage(image()); });
  menu.addAction(tr("Save as PNG..."), this, [this, image] {
    const QString file = QFileDialog::getSaveFileName(this, tr("Save the chart"), QString(),
                                                      QStringLiteral("PNG (*.png)"));
    if (!file.isEmpty()) image().save(file, "PNG");
  });
  menu.exec(event->globalPos());
}

ChartWindow::ChartWindow(ScreenWindow& owner, screens::FanChart chart, QWidget* parent)
    : QWidget(parent, Qt::Tool), owner_(owner), chart_(std::move(chart)) {
  setObjectName(QString::fromLatin1(kName));
  setProperty("vestraWindow", true);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Grafico curva motore"));

  view_ = new ChartView;
  lblQa_ = new QLabel;
  lblQa_->setObjectName(QStringLiteral("lblQa"));
  lblPSU_ = new QLabel;
  lblPSU_->setObjectName(QStringLiteral("lblPSU"));
  for (QLabel* l : {lblQa_, lblPSU_}) {
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
  }
  // A short vertical spinner running upside down: its top holds the largest flow, its up
  // arrow raises the flow. A scroll bar's top is its minimum, so it runs over the flows
  // negated.
  spinner_ = new QScrollBar(Qt::Vertical);
  spinner_->setObjectName(QStringLiteral("VScroll2"));
  spinner_->setRange(-chart_.scrollTop(), -screens::kChartBottomFlowM3h);
  spinner_->setSingleStep(1);
  spinner_->setPageStep(10);
  spinner_->setFixedHeight(spinner_->sizeHint().width() * 3);

  auto* below = new QHBoxLayout;
  below->addStretch(1);
  below->addWidget(lblQa_);
  below->addWidget(new QLabel(QStringLiteral("m3/h")));
  below->addSpacing(12);
  below->addWidget(spinner_);
  below->addSpacing(12);
  below->addWidget(lblPSU_);
  below->addWidget(new QLabel(QStringLiteral("Pa")));
  below->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 1);
  layout->addLayout(below);

  // At the right of the screen.
  adjustSize();
  if (const QScreen* screen = owner.QWidget::screen()) {
    const QRect area = screen->availableGeometry();
    move(area.right() - width() - 7, area.top() + 60);
  }
  spinner_->setValue(-CInt(chart_.refFlowM3h()));
  connect(spinner_, &QScrollBar::valueChanged, this, [this](int value) { Change(-value); });
  Change(Flow());
}

int ChartWindow::Flow() const {
  return -spinner_->value();
}
int ChartWindow::TopFlow() const {
  return -spinner_->minimum();
}
int ChartWindow::BottomFlow() const {
  return -spinner_->maximum();
}

ChartWindow::~ChartWindow() {
  if (!closed_) owner_.CloseChart(*this);
}

void ChartWindow::Change(int airFlowM3h) {
  int shown = 0;
  owner_.RunOnScreen(
      [&](screens::SelectionScreen& screen) { shown = chart_.Change(airFlowM3h, screen); });
  lblQa_->setText(QString::number(airFlowM3h));
  lblPSU_->setText(QString::number(shown));
  view_->Show(chart_.Draw(chart_.DuctPressurePa(airFlowM3h), airFlowM3h));
}

void ChartWindow::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    owner_.CloseChart(*this);
  }
  QWidget::closeEvent(event);
}

}  // namespace vestra::ui

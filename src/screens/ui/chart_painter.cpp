#include "screens/ui/chart_painter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

namespace vestra::ui {

namespace {

QColor ColourOf(screens::ChartColour colour) {
  switch (colour) {
    case screens::ChartColour::kBlack:
      return Qt::black;
    case screens::ChartColour::kBlue:
      return QColor(0, 0, 0x80);
    case screens::ChartColour::kRed:
      return QColor(0x80, 0, 0);
    case screens::ChartColour::kGrey:
      return QColor(0x80, 0x80, 0x80);
  }
  return Qt::black;
}

}  // namespace

void PaintChart(QPainter& p, const QRect& area, const screens::ChartDrawing& d) {
  p.save();
  p.fillRect(area, Qt::white);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const double sx = area.width() / (d.right - d.left);
  const double sy = area.height() / (d.bottom - d.top);  // negative: pressure grows upwards
  auto at = [&](double x, double y) {
    return QPointF(area.left() + (x - d.left) * sx, area.top() + (y - d.top) * sy);
  };
  QFont font = p.font();
  font.setPointSizeF(8);
  p.setFont(font);
  for (const screens::ChartPrimitive& item : d.items) {
    const QColor colour = ColourOf(item.colour);
    QPen pen(colour, item.width);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    switch (item.kind) {
      case screens::ChartPrimitive::kLine:
        p.drawLine(at(item.x1, item.y1), at(item.x2, item.y2));
        break;
      case screens::ChartPrimitive::kPoint:
        p.drawPoint(at(item.x1, item.y1));
        break;
      case screens::ChartPrimitive::kCircle: {
        // The radius is in air-flow units: a round circle of that many pixels across.
        const double r = item.radius * sx;
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(at(item.x1, item.y1), r, r);
        break;
      }
      case screens::ChartPrimitive::kText: {
        // The place is the text's top-left corner.
        const QPointF corner = at(item.x1, item.y1);
        const QFontMetricsF metrics(p.font());
        p.setPen(QPen(Qt::black));
        p.drawText(QPointF(corner.x(), corner.y() + metrics.ascent()),
                   QString::fromStdString(item.text));
        break;
      }
    }
  }
  p.restore();
}

bool SaveChartImage(const screens::ChartDrawing& drawing, int width, int height,
                    const QString& file, QString& error) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  PaintChart(painter, image.rect(), drawing);
  painter.end();
  if (!image.save(file, "PNG")) {
    const QFileInfo info(file);
    error = info.absoluteDir().exists() ? QStringLiteral("the file cannot be written")
                                        : QStringLiteral("its folder does not exist");
    return false;
  }
  return true;
}

}  // namespace vestra::ui

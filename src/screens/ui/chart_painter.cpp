#include "screens/ui/chart_painter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QStaticText>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

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

// The grid's labels are a few numbers repainted at every move of the spinner: laid out
// once.
const QStaticText& Label(const std::string& text, const QFont& font) {
  static std::map<std::pair<std::string, QString>, QStaticText> laidOut;
  const auto key = std::make_pair(text, font.key());
  auto it = laidOut.find(key);
  if (it == laidOut.end()) {
    QStaticText label(QString::fromStdString(text));
    label.setTextFormat(Qt::PlainText);
    label.setPerformanceHint(QStaticText::AggressiveCaching);
    label.prepare(QTransform(), font);
    it = laidOut.emplace(key, std::move(label)).first;
  }
  return it->second;
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
  p.setBrush(Qt::NoBrush);
  std::vector<const screens::ChartPrimitive*> texts;
  // Runs of points in one pen (a curve is hundreds of them) go to the painter at once.
  QPolygonF points;
  QPen pointsPen;
  auto flush = [&] {
    if (points.isEmpty()) return;
    p.setPen(pointsPen);
    p.drawPoints(points);
    points.clear();
  };
  auto penOf = [](const screens::ChartPrimitive& item) {
    QPen pen(ColourOf(item.colour), item.width);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
  };
  for (const screens::ChartPrimitive& item : d.items) {
    if (item.kind == screens::ChartPrimitive::kPoint) {
      const QPen pen = penOf(item);
      if (!points.isEmpty() && pen != pointsPen) flush();
      pointsPen = pen;
      points.append(at(item.x1, item.y1));
      continue;
    }
    flush();
    switch (item.kind) {
      case screens::ChartPrimitive::kLine: {
        // Axes and grid run straight across: on whole pixels, without antialiasing, they
        // stay sharp (and cost less).
        const bool straight = item.x1 == item.x2 || item.y1 == item.y2;
        p.setRenderHint(QPainter::Antialiasing, !straight);
        p.setPen(penOf(item));
        const QPointF a = at(item.x1, item.y1), b = at(item.x2, item.y2);
        if (straight)
          p.drawLine(QPointF(std::round(a.x()), std::round(a.y())),
                     QPointF(std::round(b.x()), std::round(b.y())));
        else
          p.drawLine(a, b);
        p.setRenderHint(QPainter::Antialiasing);
        break;
      }
      case screens::ChartPrimitive::kCircle: {
        // The radius is in air-flow units: a round circle of that many pixels across.
        const double r = item.radius * sx;
        p.setPen(penOf(item));
        p.drawEllipse(at(item.x1, item.y1), r, r);
        break;
      }
      case screens::ChartPrimitive::kText:
        texts.push_back(&item);
        break;
      case screens::ChartPrimitive::kPoint:
        break;
    }
  }
  flush();

  // The labels last, the round numbers first: one that would run into a label already
  // written is left out, since on a tall chart the pressure grid's lines lie closer than a
  // line of text.
  std::vector<QRectF> written;
  p.setPen(QPen(Qt::black));
  for (const bool round : {true, false}) {
    for (const screens::ChartPrimitive* item : texts) {
      if ((!item->text.empty() && item->text.back() == '0') != round) continue;
      const QPointF corner = at(item->x1, item->y1);  // the text's top-left corner
      const QStaticText& label = Label(item->text, p.font());
      const QRectF box(corner, label.size());
      if (std::any_of(written.begin(), written.end(),
                      [&](const QRectF& w) { return w.adjusted(-1, -1, 1, 1).intersects(box); }))
        continue;
      written.push_back(box);
      p.drawStaticText(corner, label);
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

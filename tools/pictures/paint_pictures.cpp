// Paints the program's pictures - the flags of the language chooser, the toolbar buttons,
// the maker's logo and the program icon - into PNG files, each at its normal size and at
// twice that size for high-density screens ("name@2x.png", which Qt picks by itself).
// The files are committed under resources/pictures and built into the program; run
// tools/pictures/make_pictures.sh after changing a drawing here.
//
//   vestra_paint_pictures OUTPUT_FOLDER

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QtMath>
#include <cstdio>
#include <functional>

namespace {

using Drawing = std::function<void(QPainter&)>;

// Draws `draw` in a logical canvas of logicalW x logicalH units into an image of w x h
// pixels, antialiased, and saves it.
bool Save(const QString& file, int w, int h, double logicalW, double logicalH,
          const Drawing& draw) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(w / logicalW, h / logicalH);
  draw(p);
  p.end();
  if (!image.save(file)) {
    std::fprintf(stderr, "vestra_paint_pictures: cannot write %s\n", qPrintable(file));
    return false;
  }
  return true;
}

// Both densities of one picture.
bool SaveBoth(const QString& folder, const QString& name, int w, int h, double logicalW,
              double logicalH, const Drawing& draw) {
  return Save(folder + "/" + name + ".png", w, h, logicalW, logicalH, draw) &&
         Save(folder + "/" + name + "@2x.png", 2 * w, 2 * h, logicalW, logicalH, draw);
}

// ---- flags: a 300 x 200 canvas (every flag of the chooser in the same 3:2 frame) -------

constexpr double kFW = 300, kFH = 200;

void Rect(QPainter& p, double x, double y, double w, double h, const QColor& c) {
  p.fillRect(QRectF(x, y, w, h), c);
}

void VerticalTricolour(QPainter& p, const QColor& a, const QColor& b, const QColor& c) {
  Rect(p, 0, 0, kFW / 3, kFH, a);
  Rect(p, kFW / 3, 0, kFW / 3, kFH, b);
  Rect(p, 2 * kFW / 3, 0, kFW / 3 + 0.5, kFH, c);
}

void HorizontalTricolour(QPainter& p, const QColor& a, const QColor& b, const QColor& c) {
  Rect(p, 0, 0, kFW, kFH / 3, a);
  Rect(p, 0, kFH / 3, kFW, kFH / 3, b);
  Rect(p, 0, 2 * kFH / 3, kFW, kFH / 3 + 0.5, c);
}

// A Nordic cross: `hoist` and `bar` are fractions of the length, `top` and `bar height`
// of the height.
void NordicCross(QPainter& p, const QColor& field, const QColor& cross, double unitsLong,
                 double unitsHigh, double crossX, double crossY, double width) {
  Rect(p, 0, 0, kFW, kFH, field);
  const double ux = kFW / unitsLong, uy = kFH / unitsHigh;
  Rect(p, crossX * ux, 0, width * ux, kFH, cross);
  Rect(p, 0, crossY * uy, kFW, width * uy, cross);
}

void UnionFlag(QPainter& p) {
  // Drawn on the flag's own 60 x 30 grid, stretched to the chooser's frame.
  p.save();
  p.scale(kFW / 60, kFH / 30);
  const QColor blue("#012169"), red("#C8102E");
  Rect(p, 0, 0, 60, 30, blue);
  QPainterPath diagonals;
  diagonals.moveTo(0, 0);
  diagonals.lineTo(60, 30);
  diagonals.moveTo(60, 0);
  diagonals.lineTo(0, 30);
  p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::FlatCap));
  p.drawPath(diagonals);
  // The red saltire is counterchanged: in each quarter it lies on the clockwise side.
  QPainterPath quarters;
  quarters.addPolygon(QPolygonF({{30, 15}, {60, 15}, {60, 30}}));
  quarters.addPolygon(QPolygonF({{30, 15}, {30, 30}, {0, 30}}));
  quarters.addPolygon(QPolygonF({{30, 15}, {0, 15}, {0, 0}}));
  quarters.addPolygon(QPolygonF({{30, 15}, {30, 0}, {60, 0}}));
  p.save();
  p.setClipPath(quarters);
  p.setPen(QPen(red, 4, Qt::SolidLine, Qt::FlatCap));
  p.drawPath(diagonals);
  p.restore();
  Rect(p, 25, 0, 10, 30, Qt::white);
  Rect(p, 0, 10, 60, 10, Qt::white);
  Rect(p, 27, 0, 6, 30, red);
  Rect(p, 0, 12, 60, 6, red);
  p.restore();
}

void GreekFlag(QPainter& p) {
  const QColor blue("#0D5EAF");
  const double stripe = kFH / 9;
  for (int i = 0; i < 9; ++i) Rect(p, 0, i * stripe, kFW, stripe + 0.5, i % 2 ? Qt::white : blue);
  const double canton = 5 * stripe;
  Rect(p, 0, 0, canton, canton, blue);
  Rect(p, 2 * stripe, 0, stripe, canton, Qt::white);
  Rect(p, 0, 2 * stripe, canton, stripe, Qt::white);
}

void CzechFlag(QPainter& p) {
  Rect(p, 0, 0, kFW, kFH / 2, Qt::white);
  Rect(p, 0, kFH / 2, kFW, kFH / 2, QColor("#D7141A"));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#11457E"));
  p.drawPolygon(QPolygonF({{0, 0}, {kFW / 2, kFH / 2}, {0, kFH}}));
}

void CroatianFlag(QPainter& p) {
  const QColor red("#FF0000"), blue("#171796");
  HorizontalTricolour(p, red, Qt::white, blue);
  // The chequy shield, red square first, with its crown of five small shields.
  const double sq = 13, left = kFW / 2 - 2.5 * sq, top = 58;
  QPainterPath shield;
  shield.moveTo(left, top);
  shield.lineTo(left + 5 * sq, top);
  shield.lineTo(left + 5 * sq, top + 3.6 * sq);
  shield.cubicTo(left + 5 * sq, top + 5.6 * sq, left + 3.2 * sq, top + 5.9 * sq, left + 2.5 * sq,
                 top + 6.3 * sq);
  shield.cubicTo(left + 1.8 * sq, top + 5.9 * sq, left, top + 5.6 * sq, left, top + 3.6 * sq);
  shield.closeSubpath();
  p.save();
  p.setClipPath(shield);
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 5; ++col)
      Rect(p, left + col * sq, top + row * sq, sq + 0.3, sq + 0.3,
           (row + col) % 2 ? Qt::white : red);
  p.restore();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(red, 1.6));
  p.drawPath(shield);
  const QColor crown[5] = {QColor("#4A90D9"), blue, QColor("#4A90D9"), blue, QColor("#4A90D9")};
  for (int i = 0; i < 5; ++i) {
    const double w = sq, x = left + i * sq, rise = (i == 2 ? 4 : (i == 1 || i == 3) ? 2.5 : 0);
    QPainterPath small;
    small.moveTo(x + 0.6, top - 1);
    small.lineTo(x + 0.6, top - 11 - rise);
    small.lineTo(x + w - 0.6, top - 11 - rise);
    small.lineTo(x + w - 0.6, top - 1);
    small.closeSubpath();
    p.setBrush(crown[i]);
    p.setPen(QPen(red, 1.2));
    p.drawPath(small);
  }
}

void SlovenianFlag(QPainter& p) {
  const QColor blue("#005DA4"), red("#ED1C24");
  HorizontalTricolour(p, Qt::white, blue, red);
  // The arms at the hoist across the white and blue stripes: Triglav in white on blue,
  // two waves beneath, three golden stars above, a red border.
  const double cx = 78, top = 36, w = 44, h = 56;
  QPainterPath shield;
  shield.moveTo(cx - w / 2, top);
  shield.lineTo(cx - w / 2 + 4, top + h * 0.62);
  shield.quadTo(cx - w / 2 + 8, top + h * 0.9, cx, top + h);
  shield.quadTo(cx + w / 2 - 8, top + h * 0.9, cx + w / 2 - 4, top + h * 0.62);
  shield.lineTo(cx + w / 2, top);
  shield.quadTo(cx, top + 8, cx - w / 2, top);
  shield.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(blue);
  p.drawPath(shield);
  p.save();
  p.setClipPath(shield);
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygonF({{cx - w / 2, top + h * 0.72},
                           {cx - 11, top + h * 0.44},
                           {cx - 6, top + h * 0.52},
                           {cx, top + h * 0.30},
                           {cx + 6, top + h * 0.52},
                           {cx + 11, top + h * 0.44},
                           {cx + w / 2, top + h * 0.72},
                           {cx + w / 2, top + h},
                           {cx - w / 2, top + h}}));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(blue, 2.2));
  for (int wave = 0; wave < 2; ++wave) {
    QPainterPath line;
    const double y = top + h * (0.78 + 0.1 * wave);
    line.moveTo(cx - w / 2, y);
    for (int k = 0; k < 4; ++k)
      line.quadTo(cx - w / 2 + (k + 0.5) * w / 4, y + (k % 2 ? 2.5 : -2.5),
                  cx - w / 2 + (k + 1) * w / 4, y);
    p.drawPath(line);
  }
  p.restore();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#FFDD00"));
  for (const QPointF& star :
       {QPointF(cx - 7, top + 9), QPointF(cx + 7, top + 9), QPointF(cx, top + 16)})
    p.drawEllipse(star, 2.6, 2.6);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(red, 2));
  p.drawPath(shield);
}

struct Flag {
  const char* name;
  Drawing draw;
};

bool PaintFlags(const QString& folder) {
  const Flag flags[] = {
      {"00-it",
       [](QPainter& p) { VerticalTricolour(p, QColor("#009246"), Qt::white, QColor("#CE2B37")); }},
      {"01-en", UnionFlag},
      {"02-fr",
       [](QPainter& p) { VerticalTricolour(p, QColor("#002395"), Qt::white, QColor("#ED2939")); }},
      {"03-de",
       [](QPainter& p) {
         HorizontalTricolour(p, Qt::black, QColor("#DD0000"), QColor("#FFCE00"));
       }},
      {"04-es",
       [](QPainter& p) {
         // The civil flag: red, yellow twice as high, red.
         Rect(p, 0, 0, kFW, kFH / 4, QColor("#AA151B"));
         Rect(p, 0, kFH / 4, kFW, kFH / 2, QColor("#F1BF00"));
         Rect(p, 0, 3 * kFH / 4, kFW, kFH / 4 + 0.5, QColor("#AA151B"));
       }},
      {"05-hu",
       [](QPainter& p) {
         HorizontalTricolour(p, QColor("#CE2939"), Qt::white, QColor("#477050"));
       }},
      {"06-el", GreekFlag},
      {"07-cs", CzechFlag},
      {"08-sv",
       [](QPainter& p) { NordicCross(p, QColor("#006AA7"), QColor("#FECC00"), 16, 10, 5, 4, 2); }},
      {"09-ru",
       [](QPainter& p) {
         HorizontalTricolour(p, Qt::white, QColor("#0039A6"), QColor("#D52B1E"));
       }},
      {"10-pl",
       [](QPainter& p) {
         Rect(p, 0, 0, kFW, kFH / 2, Qt::white);
         Rect(p, 0, kFH / 2, kFW, kFH / 2, QColor("#DC143C"));
       }},
      {"11-hr", CroatianFlag},
      // The national flag of Serbia, the tricolour without the arms.
      {"12-sr",
       [](QPainter& p) {
         HorizontalTricolour(p, QColor("#C6363C"), QColor("#0C4076"), Qt::white);
       }},
      {"13-sl", SlovenianFlag},
      {"14-fi", [](QPainter& p) { NordicCross(p, Qt::white, QColor("#002F6C"), 18, 11, 5, 4, 3); }},
  };
  for (const Flag& flag : flags) {
    const Drawing framed = [&flag](QPainter& p) {
      flag.draw(p);
      // A hairline frame, so that white stripes stand out on a white window.
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(QColor(0, 0, 0, 90), 0));
      p.drawRect(QRectF(0, 0, kFW, kFH));
    };
    if (!SaveBoth(folder, flag.name, 72, 48, kFW, kFH, framed)) return false;
  }
  return true;
}

// ---- toolbar buttons: a 64 x 64 canvas, shown at 32 x 32 ---------------------------------

const QColor kInk("#2B3A4A");    // outlines
const QColor kBody("#F2F4F7");   // product casings
const QColor kCool("#2F7FD1");   // the cooling side
const QColor kHeat("#D9492B");   // the heating side
const QColor kBadge("#1F4E79");  // the series badge
const QColor kGrille("#8C99A6");

void Outline(QPainter& p, double width = 2.4) {
  p.setPen(QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void Casing(QPainter& p, const QRectF& r, double radius = 4) {
  Outline(p);
  p.setBrush(kBody);
  p.drawRoundedRect(r, radius, radius);
}

void Slots(QPainter& p, double x0, double x1, double y0, double y1, int count, bool vertical) {
  p.setPen(QPen(kGrille, 2, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < count; ++i) {
    const double t = (i + 0.5) / count;
    if (vertical)
      p.drawLine(QPointF(x0 + t * (x1 - x0), y0), QPointF(x0 + t * (x1 - x0), y1));
    else
      p.drawLine(QPointF(x0, y0 + t * (y1 - y0)), QPointF(x1, y0 + t * (y1 - y0)));
  }
}

void AirArrows(QPainter& p, double x0, double x1, double y, const QColor& colour,
               bool down = false) {
  p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  for (double x = x0; x <= x1 + 0.1; x += (x1 - x0) / 2) {
    const double dir = down ? 1 : -1;
    p.drawLine(QPointF(x, y), QPointF(x, y + dir * 8));
    p.drawLine(QPointF(x - 3, y + dir * 5), QPointF(x, y + dir * 8));
    p.drawLine(QPointF(x + 3, y + dir * 5), QPointF(x, y + dir * 8));
  }
}

void FanRotor(QPainter& p, const QPointF& c, double radius, const QColor& blade) {
  p.setPen(Qt::NoPen);
  p.setBrush(blade);
  for (int i = 0; i < 4; ++i) {
    p.save();
    p.translate(c);
    p.rotate(90 * i + 20);
    QPainterPath b;
    b.moveTo(0, 0);
    b.cubicTo(radius * 0.35, -radius * 0.15, radius * 0.95, -radius * 0.45, radius * 0.9,
              0.05 * radius);
    b.cubicTo(radius * 0.6, radius * 0.25, radius * 0.3, radius * 0.2, 0, 0);
    p.drawPath(b);
    p.restore();
  }
  p.setBrush(kInk);
  p.drawEllipse(c, radius * 0.16, radius * 0.16);
}

// The series badge in the lower right corner: the buttons of one kind of unit differ by it.
void Badge(QPainter& p, const QString& text) {
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(text.size() > 1 ? 15 : 18);
  p.setFont(font);
  const double w = text.size() > 1 ? 27 : 20, h = 20;
  const QRectF r(64 - w - 1, 64 - h - 1, w, h);
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(kBadge);
  p.drawRoundedRect(r, 4, 4);
  p.setPen(Qt::white);
  p.drawText(r, Qt::AlignCenter, text);
}

void UnitHeater(QPainter& p) {
  Casing(p, QRectF(6, 6, 44, 44));
  p.setPen(QPen(kGrille, 1.6));
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(28, 28), 17, 17);
  FanRotor(p, QPointF(28, 28), 15, kHeat);
}

void UnitHeaterLouvres(QPainter& p) {
  Casing(p, QRectF(6, 6, 44, 44));
  p.setPen(QPen(kHeat, 3.2, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 5; ++i) p.drawLine(QPointF(12, 13 + i * 7.5), QPointF(44, 16 + i * 7.5));
}

void FanCoil(QPainter& p, bool tall) {
  const QRectF body = tall ? QRectF(10, 14, 36, 38) : QRectF(4, 22, 50, 28);
  Casing(p, body, 3);
  Slots(p, body.left() + 6, body.right() - 6, body.top() + 4, body.top() + 10, 6, true);
  p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(body.left() + 5, body.bottom()), QPointF(body.left() + 5, body.bottom() + 5));
  p.drawLine(QPointF(body.right() - 5, body.bottom()),
             QPointF(body.right() - 5, body.bottom() + 5));
  AirArrows(p, body.left() + 10, body.right() - 10, body.top() - 3, kCool);
}

void SlimFanCoil(QPainter& p) {
  const QRectF body(4, 26, 50, 20);
  Casing(p, body, 3);
  Slots(p, body.left() + 6, body.right() - 6, body.top() + 4, body.top() + 9, 7, true);
  p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(body.left() + 5, body.bottom()), QPointF(body.left() + 5, body.bottom() + 5));
  p.drawLine(QPointF(body.right() - 5, body.bottom()),
             QPointF(body.right() - 5, body.bottom() + 5));
  AirArrows(p, body.left() + 10, body.right() - 10, body.top() - 3, kCool);
  AirArrows(p, body.left() + 18, body.right() - 18, body.top() - 3, kHeat);
}

void CeilingFanCoil(QPainter& p) {
  p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(2, 8), QPointF(56, 8));
  const QRectF body(6, 12, 46, 22);
  Casing(p, body, 3);
  Slots(p, body.left() + 6, body.right() - 6, body.bottom() - 8, body.bottom() - 3, 6, true);
  AirArrows(p, body.left() + 10, body.right() - 10, body.bottom() + 4, kCool, true);
}

void ThermoVentilatingUnit(QPainter& p) {
  Casing(p, QRectF(6, 12, 38, 36), 3);
  p.setPen(QPen(kGrille, 1.6));
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(25, 30), 12, 12);
  FanRotor(p, QPointF(25, 30), 10, kCool);
  Outline(p);
  p.setBrush(kBody);
  p.drawRect(QRectF(44, 18, 10, 24));
}

void DuctedUnit(QPainter& p) {
  Outline(p);
  p.setBrush(kBody);
  p.drawRect(QRectF(2, 22, 10, 16));
  p.drawRect(QRectF(48, 22, 10, 16));
  Casing(p, QRectF(10, 16, 40, 28), 3);
  Slots(p, 16, 44, 22, 38, 4, false);
  p.setPen(QPen(kCool, 2.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(20, 52), QPointF(40, 52));
  p.drawLine(QPointF(35, 48), QPointF(40, 52));
  p.drawLine(QPointF(35, 56), QPointF(40, 52));
}

void Cassette(QPainter& p, bool round) {
  Casing(p, QRectF(6, 6, 46, 46), 5);
  p.setPen(QPen(kCool, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 11), QPointF(42, 11));
  p.drawLine(QPointF(16, 47), QPointF(42, 47));
  p.drawLine(QPointF(11, 16), QPointF(11, 42));
  p.drawLine(QPointF(47, 16), QPointF(47, 42));
  p.setPen(QPen(kGrille, 1.6));
  p.setBrush(Qt::white);
  if (round) {
    p.drawEllipse(QPointF(29, 29), 11, 11);
    p.drawEllipse(QPointF(29, 29), 6, 6);
  } else {
    p.drawRect(QRectF(19, 19, 20, 20));
    Slots(p, 21, 37, 21, 37, 4, false);
  }
}

void HighWall(QPainter& p) {
  Outline(p);
  p.setBrush(kBody);
  QPainterPath body;
  body.moveTo(4, 14);
  body.lineTo(56, 14);
  body.lineTo(56, 30);
  body.quadTo(56, 38, 48, 38);
  body.lineTo(12, 38);
  body.quadTo(4, 38, 4, 30);
  body.closeSubpath();
  p.drawPath(body);
  p.setPen(QPen(kGrille, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(12, 33), QPointF(48, 33));
  p.setPen(QPen(kCool, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  for (const double x : {16.0, 30.0, 44.0}) {
    p.drawLine(QPointF(x, 41), QPointF(x - 4, 50));
    p.drawLine(QPointF(x - 4, 50), QPointF(x - 6, 45));
    p.drawLine(QPointF(x - 4, 50), QPointF(x + 1, 48));
  }
}

void TwoInOne(QPainter& p) {
  Casing(p, QRectF(4, 14, 50, 34), 3);
  p.setPen(QPen(kHeat, 2.4, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 8; ++i) p.drawLine(QPointF(10 + i * 5.5, 19), QPointF(10 + i * 5.5, 43));
  AirArrows(p, 14, 44, 11, kCool);
}

void EcMotor(QPainter& p) {
  Outline(p);
  p.setBrush(kBody);
  p.drawEllipse(QPointF(28, 28), 22, 22);
  FanRotor(p, QPointF(28, 28), 19, kCool);
  p.setPen(QPen(kHeat, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({{44, 4}, {38, 16}, {46, 16}, {40, 28}}));
}

void Printer(QPainter& p) {
  Outline(p);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(18, 6, 28, 18));
  p.setBrush(QColor("#C9D1DA"));
  p.drawRoundedRect(QRectF(6, 22, 52, 24), 4, 4);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(16, 38, 32, 20));
  p.setPen(QPen(kGrille, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(21, 45), QPointF(43, 45));
  p.drawLine(QPointF(21, 51), QPointF(37, 51));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor("#3CB371"));
  p.drawEllipse(QPointF(50, 29), 2.6, 2.6);
}

void UnitsGauge(QPainter& p) {
  Outline(p);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(32, 34), 26, 26);
  p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i <= 8; ++i) {
    const double a = qDegreesToRadians(210.0 - i * 30.0);
    const QPointF c(32, 34);
    const double r0 = i % 2 ? 20 : 17;
    p.drawLine(c + QPointF(r0 * std::cos(a), -r0 * std::sin(a)),
               c + QPointF(23 * std::cos(a), -23 * std::sin(a)));
  }
  p.setPen(QPen(kHeat, 3, Qt::SolidLine, Qt::RoundCap));
  const double needle = qDegreesToRadians(50.0);
  p.drawLine(QPointF(32, 34), QPointF(32 + 18 * std::cos(needle), 34 - 18 * std::sin(needle)));
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawEllipse(QPointF(32, 34), 3.5, 3.5);
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(11);
  p.setFont(font);
  p.setPen(kBadge);
  p.drawText(QRectF(14, 40, 36, 14), Qt::AlignCenter, "Pa");
}

void Globe(QPainter& p) {
  const QPointF c(30, 30);
  Outline(p);
  p.setBrush(QColor("#DCEBFA"));
  p.drawEllipse(c, 25, 25);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kCool, 2));
  p.drawEllipse(c, 11, 25);
  p.drawLine(QPointF(30, 5), QPointF(30, 55));
  p.drawLine(QPointF(5, 30), QPointF(55, 30));
  QPainterPath north, south;
  north.moveTo(9, 17);
  north.quadTo(30, 23, 51, 17);
  south.moveTo(9, 43);
  south.quadTo(30, 37, 51, 43);
  p.drawPath(north);
  p.drawPath(south);
  // A speech bubble: the language of the texts.
  Outline(p, 2);
  p.setBrush(kBadge);
  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(34, 36, 28, 20), 5, 5);
  bubble.moveTo(40, 55);
  bubble.lineTo(36, 62);
  bubble.lineTo(47, 55);
  p.drawPath(bubble.simplified());
  p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(40, 43), QPointF(56, 43));
  p.drawLine(QPointF(40, 49), QPointF(51, 49));
}

struct Button {
  const char* name;
  Drawing draw;
  const char* badge;
};

bool PaintToolbar(const QString& folder) {
  const Button buttons[] = {
      {"printer", Printer, ""},
      {"units", UnitsGauge, ""},
      {"language", Globe, ""},
      {"torva", UnitHeater, "T"},
      {"q70", UnitHeaterLouvres, "70"},
      {"miral", [](QPainter& p) { FanCoil(p, false); }, "M"},
      {"veld", [](QPainter& p) { FanCoil(p, true); }, "V"},
      {"kelm", ThermoVentilatingUnit, "K"},
      {"brisk", [](QPainter& p) { Cassette(p, false); }, "B"},
      {"lumo", HighWall, "L"},
      {"zoph", DuctedUnit, "Z"},
      {"darne", TwoInOne, "D"},
      {"miralp", SlimFanCoil, "Z7"},
      {"pelvo", CeilingFanCoil, "P"},
      {"bldc", EcMotor, "EC"},
      {"quivo", [](QPainter& p) { Cassette(p, true); }, "Q"},
  };
  for (const Button& b : buttons) {
    const QString badge = b.badge;
    const Drawing withBadge = [&b, badge](QPainter& p) {
      b.draw(p);
      if (!badge.isEmpty()) Badge(p, badge);
    };
    if (!SaveBoth(folder, b.name, 32, 32, 64, 64, withBadge)) return false;
  }
  return true;
}

// ---- the maker's logo and the program icon ---------------------------------------------

void Logo(QPainter& p) {
  // 240 x 90: a blue-to-red band (cooling and heating) under the maker's name.
  QLinearGradient band(0, 0, 240, 0);
  band.setColorAt(0, kCool);
  band.setColorAt(1, kHeat);
  p.setPen(Qt::NoPen);
  p.setBrush(band);
  QPainterPath wave;
  wave.moveTo(8, 70);
  wave.cubicTo(70, 50, 150, 90, 232, 64);
  wave.lineTo(232, 74);
  wave.cubicTo(150, 100, 70, 60, 8, 80);
  wave.closeSubpath();
  p.drawPath(wave);
  QFont font("DejaVu Sans");
  font.setBold(true);
  font.setPixelSize(54);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 6);
  p.setFont(font);
  p.setPen(kBadge);
  p.drawText(QRectF(0, 0, 240, 62), Qt::AlignCenter, "OSKA");
}

void ProgramIcon(QPainter& p) {
  // 64 x 64: a fan rotor on a disc split into the cooling and the heating half.
  const QPointF c(32, 32);
  p.setPen(Qt::NoPen);
  p.setBrush(kCool);
  p.drawPie(QRectF(2, 2, 60, 60), 90 * 16, 180 * 16);
  p.setBrush(kHeat);
  p.drawPie(QRectF(2, 2, 60, 60), 270 * 16, 180 * 16);
  p.setBrush(Qt::white);
  p.drawEllipse(c, 22, 22);
  FanRotor(p, c, 20, kBadge);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: vestra_paint_pictures OUTPUT_FOLDER\n");
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  for (const char* sub : {"flags", "toolbar"})
    if (!QDir().mkpath(root + "/" + sub)) {
      std::fprintf(stderr, "vestra_paint_pictures: cannot create %s/%s\n", argv[1], sub);
      return 1;
    }
  const bool ok = PaintFlags(root + "/flags") && PaintToolbar(root + "/toolbar") &&
                  SaveBoth(root, "logo", 240, 90, 240, 90, Logo) &&
                  SaveBoth(root, "vestra", 64, 64, 64, 64, ProgramIcon) &&
                  Save(root + "/vestra-256.png", 256, 256, 64, 64, ProgramIcon);
  return ok ? 0 : 1;
}

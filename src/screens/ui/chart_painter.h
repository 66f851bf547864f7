#pragma once

// Paints a fan curve chart's drawing with QPainter: the user coordinates of the drawing
// mapped onto a rectangle of pixels, the curves antialiased, the axes and the grid on whole
// pixels so that the chart stays sharp at 100 % and at 200 %. Used by the chart's window
// and, without a window, to save the chart as a picture.

#include <QRect>
#include <QString>

#include "screens/fan_chart.h"

class QPainter;

namespace vestra::ui {

void PaintChart(QPainter& painter, const QRect& area, const screens::ChartDrawing& drawing);

// Saves the drawing as a PNG picture of width x height pixels; false with the reason in
// `error` when the file cannot be written.
bool SaveChartImage(const screens::ChartDrawing& drawing, int width, int height,
                    const QString& file, QString& error);

}  // namespace vestra::ui

#pragma once

// Level curves drawn with a painter: one path per level, of a dark brown
// apart from every grey, the axes' red and blue and the marker's green, on
// a thin white halo so that a curve reads on dark greys and printed in
// black and white. Heavier where the level is (0, or arg 0 and pi).

#include <QPainter>
#include <QPointF>
#include <QTransform>
#include <vector>

#include "level_curves.h"

namespace complexplot {

// The segments of a curve joined into lines where exactly two share an end
// (a segment of no length left out), each segment a step of one line.
std::vector<std::vector<QPointF>> curveLines(const std::vector<CurveSegment>& segments);

// Draws the curves, their map pixels placed by `toPaint`, with lines
// `scale` times the widths they have over a map's own pixels.
void paintLevelCurves(QPainter& painter, const std::vector<LevelCurve>& curves,
                      const QTransform& toPaint, double scale);

}  // namespace complexplot

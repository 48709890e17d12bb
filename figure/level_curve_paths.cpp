#include "level_curve_paths.h"

#include <QPainterPath>

namespace complexplot {

namespace {

const QColor kLineColour(140, 60, 0);
const QColor kHaloColour(255, 255, 255, 170);
// Over a map's own pixels.
constexpr double kLineWidth = 1.2;
constexpr double kHeavyWidth = 2.2;
constexpr double kHaloMargin = 1.6;

}  // namespace

void paintLevelCurves(QPainter& painter, const std::vector<LevelCurve>& curves,
                      const QTransform& toPaint, double scale) {
    std::vector<QPainterPath> paths;
    paths.reserve(curves.size());
    for (const LevelCurve& curve : curves) {
        QPainterPath path;
        for (const CurveSegment& segment : curve.segments) {
            path.moveTo(toPaint.map(QPointF(segment.column0, segment.row0)));
            path.lineTo(toPaint.map(QPointF(segment.column1, segment.row1)));
        }
        paths.push_back(std::move(path));
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    // Every halo first, so that no halo covers another curve's line.
    for (const bool halo : {true, false}) {
        for (std::size_t k = 0; k < curves.size(); ++k) {
            if (paths[k].isEmpty()) {
                continue;  // a level the map does not reach
            }
            const double width = (curves[k].level.heavy ? kHeavyWidth : kLineWidth) * scale;
            painter.setPen(QPen(halo ? kHaloColour : kLineColour,
                                halo ? width + 2 * kHaloMargin * scale : width, Qt::SolidLine,
                                Qt::RoundCap, Qt::RoundJoin));
            painter.drawPath(paths[k]);
        }
    }
    painter.restore();
}

}  // namespace complexplot

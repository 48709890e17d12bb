#include "zero_pole_marks.h"

#include <QFont>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace complexplot {

namespace {

const QColor kMarkColour(0, 0, 0);
const QColor kHaloColour(255, 255, 255, 210);
// Over a map's own pixels.
constexpr double kLargestRadius = 5.0;
constexpr double kSmallestRadius = 2.0;
constexpr double kLineWidth = 1.4;
constexpr double kHaloMargin = 1.3;
constexpr double kOrderSize = 10.0;

// Each mark's radius, in paint units: as large as it may be while no two
// marks overlap.
std::vector<double> radiiOf(const std::vector<QPointF>& centres, double scale) {
    std::vector<double> radii(centres.size(), kLargestRadius * scale);
    for (std::size_t a = 0; a < centres.size(); ++a) {
        for (std::size_t b = a + 1; b < centres.size(); ++b) {
            const QPointF apart = centres[a] - centres[b];
            const double distance = std::hypot(apart.x(), apart.y());
            const double room =
                std::max(0.5 * distance - kLineWidth * scale, kSmallestRadius * scale);
            radii[a] = std::min(radii[a], room);
            radii[b] = std::min(radii[b], room);
        }
    }
    return radii;
}

QPainterPath markPath(QPointF centre, double radius, bool pole) {
    QPainterPath path;
    if (pole) {
        const double arm = radius * std::sqrt(0.5) * 1.2;
        path.moveTo(centre + QPointF(-arm, -arm));
        path.lineTo(centre + QPointF(arm, arm));
        path.moveTo(centre + QPointF(-arm, arm));
        path.lineTo(centre + QPointF(arm, -arm));
    } else {
        path.addEllipse(centre, radius, radius);
    }
    return path;
}

// The order's text beside its mark: above right, below right, above left or
// below left, the first that covers no mark and no order placed before it.
std::vector<QPainterPath> orderPaths(const std::vector<PointMark>& marks,
                                     const std::vector<QPointF>& centres,
                                     const std::vector<double>& radii, double scale) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(kOrderSize * scale))));
    font.setBold(true);
    std::vector<QRectF> taken;
    for (std::size_t k = 0; k < centres.size(); ++k) {
        taken.emplace_back(centres[k] - QPointF(radii[k], radii[k]),
                           QSizeF(2 * radii[k], 2 * radii[k]));
    }
    std::vector<QPainterPath> paths;
    for (std::size_t k = 0; k < marks.size(); ++k) {
        if (marks[k].order <= 1) {
            continue;
        }
        QPainterPath text;
        text.addText(0, 0, font, QString::number(marks[k].order));
        const QRectF box = text.boundingRect();
        const double gap = radii[k] + 0.5 * scale;
        const QPointF corners[4] = {{gap, -gap - box.height()},
                                    {gap, gap},
                                    {-gap - box.width(), -gap - box.height()},
                                    {-gap - box.width(), gap}};
        QRectF placed;
        for (const QPointF& corner : corners) {
            placed = QRectF(centres[k] + corner, box.size());
            if (std::none_of(taken.begin(), taken.end(),
                             [&](const QRectF& other) { return other.intersects(placed); })) {
                break;
            }
        }
        if (placed.isEmpty()) {
            continue;
        }
        taken.push_back(placed);
        paths.push_back(text.translated(placed.topLeft() - box.topLeft()));
    }
    return paths;
}

}  // namespace

std::vector<PointMark> pointMarks(const ZerosAndPoles& found, const MapGeometry& geometry) {
    std::vector<PointMark> marks;
    for (const ZeroOrPole& point : found.points) {
        marks.push_back({QPointF(geometry.columnAt(point.z.real()), geometry.rowAt(point.z.imag())),
                         point.kind == PointKind::pole, point.order});
    }
    return marks;
}

void paintPointMarks(QPainter& painter, const std::vector<PointMark>& marks,
                     const QTransform& toPaint, double scale) {
    if (marks.empty()) {
        return;
    }
    std::vector<QPointF> centres;
    for (const PointMark& mark : marks) {
        centres.push_back(toPaint.map(mark.at));
    }
    const std::vector<double> radii = radiiOf(centres, scale);
    QPainterPath lines;
    for (std::size_t k = 0; k < marks.size(); ++k) {
        lines.addPath(markPath(centres[k], radii[k], marks[k].pole));
    }
    QPainterPath orders;
    for (const QPainterPath& path : orderPaths(marks, centres, radii, scale)) {
        orders.addPath(path);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    const double width = kLineWidth * scale;
    const double halo = width + 2 * kHaloMargin * scale;
    // An empty path would still be written to a PDF, as a close with no
    // point to close.
    const bool anyOrder = !orders.isEmpty();
    painter.setPen(QPen(kHaloColour, halo, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(lines);
    if (anyOrder) {
        painter.drawPath(orders);
    }
    painter.setPen(QPen(kMarkColour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(lines);
    if (anyOrder) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(kMarkColour);
        painter.drawPath(orders);
    }
    painter.restore();
}

}  // namespace complexplot

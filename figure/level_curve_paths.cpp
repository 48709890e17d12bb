#include "level_curve_paths.h"

#include <QPainterPath>

#include <array>
#include <deque>
#include <unordered_map>
#include <utility>

namespace complexplot {

namespace {

const QColor kLineColour(140, 60, 0);
const QColor kHaloColour(255, 255, 255, 170);
// Over a map's own pixels.
constexpr double kLineWidth = 1.2;
constexpr double kHeavyWidth = 2.2;
constexpr double kHaloMargin = 1.6;

}  // namespace

// The segments joined end to end where exactly two share an end (the
// crossing on an edge that two cells share), so that a curve is stroked as
// lines with joins rather than as many short pieces with two caps each:
// the same shape, three times as fast to draw. Where more meet (a curve
// through a pixel centre exactly at its level) the lines end; a segment
// of no length is left out (its line passes there anyway).
std::vector<std::vector<QPointF>> curveLines(const std::vector<CurveSegment>& segments) {
    using End = std::pair<double, double>;
    struct EndHash {
        std::size_t operator()(const End& end) const {
            return std::hash<double>()(end.first) * 31 + std::hash<double>()(end.second);
        }
    };
    const auto endOf = [&](std::size_t segment, int which) {
        const CurveSegment& s = segments[segment];
        return which == 0 ? End{s.column0, s.row0} : End{s.column1, s.row1};
    };
    // The segments at each end: two where a line goes on, -1 for none yet,
    // and kJunction where three or more meet.
    constexpr int kJunction = -2;
    std::unordered_map<End, std::array<int, 2>, EndHash> ends;
    ends.reserve(2 * segments.size());
    std::vector<bool> used(segments.size(), false);
    for (std::size_t k = 0; k < segments.size(); ++k) {
        if (endOf(k, 0) == endOf(k, 1)) {
            used[k] = true;
            continue;
        }
        for (int which = 0; which < 2; ++which) {
            auto& meeting =
                ends.try_emplace(endOf(k, which), std::array<int, 2>{-1, -1}).first->second;
            if (meeting[0] == -1) {
                meeting[0] = static_cast<int>(k);
            } else if (meeting[1] == -1) {
                meeting[1] = static_cast<int>(k);
            } else {
                meeting = {kJunction, kJunction};
            }
        }
    }
    // The unused segment that goes on from `at`, or -1.
    const auto next = [&](const End& at) {
        for (const int k : ends.at(at)) {
            if (k >= 0 && !used[static_cast<std::size_t>(k)]) {
                return k;
            }
        }
        return -1;
    };
    std::vector<std::vector<QPointF>> lines;
    std::deque<End> line;
    for (std::size_t k = 0; k < segments.size(); ++k) {
        if (used[k]) {
            continue;
        }
        used[k] = true;
        line = {endOf(k, 0), endOf(k, 1)};
        for (const bool forward : {true, false}) {
            for (;;) {
                const End at = forward ? line.back() : line.front();
                const int more = next(at);
                if (more < 0) {
                    break;
                }
                used[static_cast<std::size_t>(more)] = true;
                const std::size_t m = static_cast<std::size_t>(more);
                const End far = endOf(m, 0) == at ? endOf(m, 1) : endOf(m, 0);
                if (forward) {
                    line.push_back(far);
                } else {
                    line.push_front(far);
                }
            }
        }
        std::vector<QPointF>& points = lines.emplace_back();
        for (const auto& [x, y] : line) {
            points.emplace_back(x, y);
        }
    }
    return lines;
}

void paintLevelCurves(QPainter& painter, const std::vector<LevelCurve>& curves,
                      const QTransform& toPaint, double scale) {
    std::vector<QPainterPath> paths;
    paths.reserve(curves.size());
    for (const LevelCurve& curve : curves) {
        QPainterPath path;
        for (const std::vector<QPointF>& line : curveLines(curve.segments)) {
            path.moveTo(toPaint.map(line.front()));
            for (std::size_t k = 1; k < line.size(); ++k) {
                path.lineTo(toPaint.map(line[k]));
            }
        }
        paths.push_back(std::move(path));
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    // Every halo first, so that no halo covers another curve's line. Bevel
    // joins: a round join between two nearly straight steps left a speck,
    // a pixel darker above the line, in Qt 6.4's stroker; where a curve
    // turns sharply (near a saddle) a bevel at these widths lies within a
    // fraction of a pixel of a round join.
    for (const bool halo : {true, false}) {
        for (std::size_t k = 0; k < curves.size(); ++k) {
            if (paths[k].isEmpty()) {
                continue;  // a level the map does not reach
            }
            const double width = (curves[k].level.heavy ? kHeavyWidth : kLineWidth) * scale;
            painter.setPen(QPen(halo ? kHaloColour : kLineColour,
                                halo ? width + 2 * kHaloMargin * scale : width, Qt::SolidLine,
                                Qt::RoundCap, Qt::BevelJoin));
            painter.drawPath(paths[k]);
        }
    }
    painter.restore();
}

}  // namespace complexplot

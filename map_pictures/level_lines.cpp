#include "level_lines.h"

#include "level_curve_paths.h"

#include <QPainter>
#include <cmath>

namespace complexplot {

std::vector<std::vector<LevelSet>> levelSetsOfMaps(const FunctionRequest& request,
                                                   const MapShading& shading) {
    std::vector<LevelSet> sets = defaultLevels(shading);
    if (!request.contourLevels.empty()) {
        // Given levels replace those of Re and Im, or of |f|.
        for (LevelSet& set : sets) {
            if (set.quantity == LevelQuantity::argument) {
                continue;
            }
            set.levels.clear();
            for (const double level : request.contourLevels) {
                set.levels.push_back(set.quantity == LevelQuantity::logModulus
                                         ? Level{std::log(level), false}
                                         : Level{level, level == 0.0});
            }
        }
    }
    if (shading.kind == MapKind::phase) {
        return {sets};
    }
    return {{sets[0]}, {sets[1]}};
}

QImage withLevelCurves(const QImage& map, const std::vector<LevelCurve>& curves) {
    QImage image = map.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    QPainter painter(&image);
    paintLevelCurves(painter, curves, QTransform(), 1.0);
    painter.end();
    return image;
}

QImage withCurvesAndMarks(const QImage& map, const std::vector<LevelCurve>* curves,
                          const std::vector<PointMark>& marks) {
    if (map.isNull() || (curves == nullptr && marks.empty())) {
        return map;
    }
    QImage image = map.convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    QPainter painter(&image);
    if (curves != nullptr) {
        paintLevelCurves(painter, *curves, QTransform(), 1.0);
    }
    paintPointMarks(painter, marks, QTransform(), 1.0);
    painter.end();
    return image;
}

}  // namespace complexplot

#pragma once

// The level curves of a request's maps, and a map with its curves drawn
// over its pixels (antialiased, as paintLevelCurves draws them).

#include <QImage>
#include <vector>

#include "level_curves.h"
#include "view_options.h"
#include "zero_pole_marks.h"

namespace complexplot {

// The level sets of each map of the request, as the shading it was drawn
// with gives them (or --contours=LIST): the first map's and the second's;
// both on the phase portrait.
std::vector<std::vector<LevelSet>> levelSetsOfMaps(const FunctionRequest& request,
                                                   const MapShading& shading);

// The map as 32-bit RGB with its curves drawn over it.
QImage withLevelCurves(const QImage& map, const std::vector<LevelCurve>& curves);

// The map with its curves, if any, and the marks of its zeros and poles
// drawn over it, or the map itself where there are neither.
QImage withCurvesAndMarks(const QImage& map, const std::vector<LevelCurve>* curves,
                          const std::vector<PointMark>& marks);

}  // namespace complexplot

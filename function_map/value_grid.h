#pragma once

#include <functional>
#include <vector>

#include "compiled_expression.h"
#include "map_geometry.h"

namespace complexplot {

// f at the centre of every pixel, row by row from the top, each row left to
// right: the value of pixel (c, r) is at r * width + c. The rows are shared
// out over `threads` threads; the values are the same whatever their number.
std::vector<ComplexValue> computeValues(const CompiledExpression& function,
                                        const MapGeometry& geometry, int threads,
                                        const std::function<void(int rowsDone)>& progress = {});

}  // namespace complexplot

#pragma once

#include <functional>
#include <span>
#include <vector>

#include "compiled_expression.h"
#include "large_buffer.h"
#include "map_geometry.h"

namespace complexplot {

// f at the centre of every pixel, row by row from the top, each row left to
// right: the value of pixel (c, r) is at r * width + c of `values`, which
// holds width * height of them. The rows are shared
// out over `threads` threads; the values are the same whatever their number.
void computeValues(const CompiledExpression& function, const MapGeometry& geometry, int threads,
                   std::span<ComplexValue> values,
                   const std::function<void(int rowsDone)>& progress = {});

// The same, into a new grid.
LargeVector<ComplexValue> computeValues(const CompiledExpression& function,
                                        const MapGeometry& geometry, int threads,
                                        const std::function<void(int rowsDone)>& progress = {});

}  // namespace complexplot

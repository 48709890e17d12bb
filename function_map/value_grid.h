#pragma once

#include <functional>
#include <span>
#include <vector>

#include "compiled_expression.h"
#include "large_buffer.h"
#include "map_geometry.h"
#include "row_workers.h"

namespace complexplot {

// f at the centre of every pixel, row by row from the top, each row left to
// right: the value of pixel (c, r) is at r * width + c of `values`, which
// holds width * height of them. The rows are shared
// out over `threads` threads; the values are the same whatever their number.
// A cancellation stops each thread within the block of points it is on,
// and raises RenderCancelled: `values` is then left part-written.
// Each row, once made, is handed to `madeRow` on the thread that made it
// (worker 0..threads-1), while it is still in cache.
using MadeRow = std::function<void(std::span<const ComplexValue> row, int worker)>;
void computeValues(const CompiledExpression& function, const MapGeometry& geometry, int threads,
                   std::span<ComplexValue> values,
                   const std::function<void(int rowsDone)>& progress = {},
                   const Cancellation* cancellation = nullptr, const MadeRow& madeRow = {});

// The same, into a new grid, which is handed back only when complete.
LargeVector<ComplexValue> computeValues(const CompiledExpression& function,
                                        const MapGeometry& geometry, int threads,
                                        const std::function<void(int rowsDone)>& progress = {},
                                        const Cancellation* cancellation = nullptr,
                                        const MadeRow& madeRow = {});

// The values at the points `stride` apart in row order (0, stride, 2 stride,
// ...): the same values computeValues makes there, since each point's
// value is its own.
std::vector<ComplexValue> sampleValues(const CompiledExpression& function,
                                       const MapGeometry& geometry, std::size_t stride);

// The points a block holds: a cancelled render stops within one of them.
constexpr std::size_t kCancellationBlock = CompiledExpression::kBlockSize;

}  // namespace complexplot

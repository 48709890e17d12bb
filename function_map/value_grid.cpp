#include "value_grid.h"

#include <algorithm>

namespace complexplot {

void computeValues(const CompiledExpression& function, const MapGeometry& geometry, int threads,
                   std::span<ComplexValue> values,
                   const std::function<void(int rowsDone)>& progress,
                   const Cancellation* cancellation) {
    const auto width = static_cast<std::size_t>(geometry.width);
    // Each thread has its own points and scratch space.
    std::vector<std::vector<ComplexValue>> points(threads, std::vector<ComplexValue>(width));
    std::vector<std::vector<ComplexValue>> scratch(threads);
    forEachRow(
        geometry.height, threads,
        [&](int row, int worker) {
            std::vector<ComplexValue>& z = points[worker];
            const double y = geometry.sampleY(row);
            for (int column = 0; column < geometry.width; ++column) {
                z[column] = ComplexValue(geometry.sampleX(column), y);
            }
            ComplexValue* out = values.data() + row * width;
            if (cancellation == nullptr) {
                function.evaluate(z.data(), out, width, scratch[worker]);
                return;
            }
            // Each value depends on its own point only, so a row evaluated
            // a block at a time holds the same values.
            for (std::size_t start = 0; start < width; start += kCancellationBlock) {
                if (cancellation->requested()) {
                    throw RenderCancelled();
                }
                const std::size_t count = std::min<std::size_t>(kCancellationBlock, width - start);
                function.evaluate(z.data() + start, out + start, count, scratch[worker]);
            }
        },
        progress, cancellation);
}

LargeVector<ComplexValue> computeValues(const CompiledExpression& function,
                                        const MapGeometry& geometry, int threads,
                                        const std::function<void(int rowsDone)>& progress,
                                        const Cancellation* cancellation) {
    LargeVector<ComplexValue> values(static_cast<std::size_t>(geometry.width) * geometry.height);
    computeValues(function, geometry, threads, values, progress, cancellation);
    return values;
}

}  // namespace complexplot

#include "value_grid.h"

#include "row_workers.h"

namespace complexplot {

void computeValues(const CompiledExpression& function, const MapGeometry& geometry, int threads,
                   std::span<ComplexValue> values,
                   const std::function<void(int rowsDone)>& progress) {
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
            function.evaluate(z.data(), values.data() + row * width, width, scratch[worker]);
        },
        progress);
}

LargeVector<ComplexValue> computeValues(const CompiledExpression& function,
                                        const MapGeometry& geometry, int threads,
                                        const std::function<void(int rowsDone)>& progress) {
    LargeVector<ComplexValue> values(static_cast<std::size_t>(geometry.width) * geometry.height);
    computeValues(function, geometry, threads, values, progress);
    return values;
}

}  // namespace complexplot

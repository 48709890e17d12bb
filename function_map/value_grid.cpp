#include "value_grid.h"

#include "row_workers.h"

namespace complexplot {

std::vector<ComplexValue> computeValues(const CompiledExpression& function,
                                        const MapGeometry& geometry, int threads,
                                        const std::function<void(int rowsDone)>& progress) {
    const auto width = static_cast<std::size_t>(geometry.width);
    std::vector<ComplexValue> values(width * geometry.height);
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
    return values;
}

}  // namespace complexplot

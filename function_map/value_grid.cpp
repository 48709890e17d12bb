#include "value_grid.h"

#include <algorithm>
#include <memory>

namespace complexplot {

namespace {

// A row of doubles from a 64-byte boundary, where the vector kernels read
// it a cache line at a time (the heap gives 16-byte boundaries).
class AlignedRow {
public:
    explicit AlignedRow(std::size_t size) : storage_(size + kSlack) {
        void* start = storage_.data();
        std::size_t space = storage_.size() * sizeof(double);
        data_ = static_cast<double*>(std::align(64, size * sizeof(double), start, space));
    }
    // A copy would point into the row it was copied from; a move keeps the
    // storage, and so the place.
    AlignedRow(const AlignedRow&) = delete;
    AlignedRow& operator=(const AlignedRow&) = delete;
    AlignedRow(AlignedRow&&) noexcept = default;
    AlignedRow& operator=(AlignedRow&&) noexcept = default;
    double* data() { return data_; }
    const double* data() const { return data_; }
    double& operator[](std::size_t index) { return data_[index]; }

private:
    static constexpr std::size_t kSlack = 64 / sizeof(double);
    std::vector<double> storage_;
    double* data_ = nullptr;
};

}  // namespace

void computeValues(const CompiledExpression& function, const MapGeometry& geometry, int threads,
                   std::span<ComplexValue> values,
                   const std::function<void(int rowsDone)>& progress,
                   const Cancellation* cancellation, const MadeRow& madeRow) {
    const auto width = static_cast<std::size_t>(geometry.width);
    // Every row has the same real parts; each thread has its own row of
    // imaginary parts and its own scratch space.
    AlignedRow xs(width);
    for (std::size_t column = 0; column < width; ++column) {
        xs[column] = geometry.sampleX(static_cast<int>(column));
    }
    std::vector<AlignedRow> ys;
    ys.reserve(static_cast<std::size_t>(std::max(threads, 0)));
    for (int worker = 0; worker < threads; ++worker) {
        ys.emplace_back(width);
    }
    std::vector<std::vector<ComplexValue>> scratch(threads);
    forEachRow(
        geometry.height, threads,
        [&](int row, int worker) {
            AlignedRow& y = ys[worker];
            std::fill(y.data(), y.data() + width, geometry.sampleY(row));
            ComplexValue* out = values.data() + row * width;
            if (cancellation == nullptr) {
                function.evaluate(xs.data(), y.data(), out, width, scratch[worker]);
            } else {
                // Each value depends on its own point only, so a row
                // evaluated a block at a time holds the same values.
                for (std::size_t start = 0; start < width; start += kCancellationBlock) {
                    if (cancellation->requested()) {
                        throw RenderCancelled();
                    }
                    const std::size_t count =
                        std::min<std::size_t>(kCancellationBlock, width - start);
                    function.evaluate(xs.data() + start, y.data() + start, out + start, count,
                                      scratch[worker]);
                }
            }
            if (madeRow) {
                madeRow(std::span<const ComplexValue>(out, width), worker);
            }
        },
        progress, cancellation);
}

std::vector<ComplexValue> sampleValues(const CompiledExpression& function,
                                       const MapGeometry& geometry, std::size_t stride) {
    const auto width = static_cast<std::size_t>(geometry.width);
    const std::size_t points = width * static_cast<std::size_t>(geometry.height);
    std::vector<double> xs;
    std::vector<double> ys;
    for (std::size_t k = 0; k < points; k += stride) {
        xs.push_back(geometry.sampleX(static_cast<int>(k % width)));
        ys.push_back(geometry.sampleY(static_cast<int>(k / width)));
    }
    std::vector<ComplexValue> sample(xs.size());
    std::vector<ComplexValue> scratch;
    function.evaluate(xs.data(), ys.data(), sample.data(), sample.size(), scratch);
    return sample;
}

LargeVector<ComplexValue> computeValues(const CompiledExpression& function,
                                        const MapGeometry& geometry, int threads,
                                        const std::function<void(int rowsDone)>& progress,
                                        const Cancellation* cancellation, const MadeRow& madeRow) {
    LargeVector<ComplexValue> values(static_cast<std::size_t>(geometry.width) * geometry.height);
    computeValues(function, geometry, threads, values, progress, cancellation, madeRow);
    return values;
}

}  // namespace complexplot

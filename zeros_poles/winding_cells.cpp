#include "winding_cells.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "row_workers.h"

namespace complexplot {

namespace {

constexpr std::uint8_t kZero = 16;
constexpr std::uint8_t kWithoutValue = 32;
constexpr std::uint8_t kNone = kZero | kWithoutValue;

// A value's quadrant as a bit (1, 2, 4, 8), or kZero or kWithoutValue, so
// that the OR of a cell's four corners says at once whether it needs a
// closer look.
std::uint8_t quadrantBit(ComplexValue value) {
    const double x = value.real();
    const double y = value.imag();
    const unsigned bits = unsigned(x > 0 && y >= 0) | unsigned(x <= 0 && y > 0) << 1 |
                          unsigned(x < 0 && y <= 0) << 2 | unsigned(x >= 0 && y < 0) << 3;
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return kWithoutValue;
    }
    return static_cast<std::uint8_t>(bits != 0 ? bits : kZero);
}

// A cell whose corners lie in at most three neighbouring quadrants winds
// zero times: a turn about 0 passes through all four, and a step between
// opposite ones needs a closer look. Nearly every cell is told by this.
bool needsLook(std::uint8_t corners) {
    return (corners & kNone) != 0 || (corners & 5) == 5 || (corners & 10) == 10;
}

// Steps between opposite quadrants are halved at most this many times: a
// zero within 2^-6 of a pixel of an edge leaves its cells to the circle
// drawn about them, which finds it.
constexpr int kHalvings = 6;

// The cell's winding, its corners taken counterclockwise in the plane:
// bottom left, bottom right, top right, top left (row `row` is the top).
CandidateCell examine(const CompiledExpression& function, const MapGeometry& geometry,
                      const std::uint8_t* top, const std::uint8_t* bottom, int row, int column) {
    CandidateCell cell{row, column, 0, true, false};
    const std::uint8_t corners[4] = {bottom[column], bottom[column + 1], top[column + 1],
                                     top[column]};
    const ComplexValue points[4] = {
        {geometry.sampleX(column), geometry.sampleY(row + 1)},
        {geometry.sampleX(column + 1), geometry.sampleY(row + 1)},
        {geometry.sampleX(column + 1), geometry.sampleY(row)},
        {geometry.sampleX(column), geometry.sampleY(row)},
    };
    const std::uint8_t all = corners[0] | corners[1] | corners[2] | corners[3];
    if ((all & kNone) != 0) {
        cell.settled = false;
        cell.withoutValue = (all & kWithoutValue) != 0;
        return cell;
    }
    int turns = 0;
    for (int k = 0; k < 4; ++k) {
        int step = 0;
        const int next = (k + 1) % 4;
        if (!quarterTurns(function, points[k], std::countr_zero(corners[k]), points[next],
                          std::countr_zero(corners[next]), kHalvings, step)) {
            cell.settled = false;
            return cell;
        }
        turns += step;
    }
    cell.winding = turns / 4;
    return cell;
}

}  // namespace

int quadrantOf(ComplexValue value) {
    const std::uint8_t bit = quadrantBit(value);
    return (bit & kNone) != 0 ? kNoQuadrant : std::countr_zero(bit);
}

bool quarterTurns(const CompiledExpression& function, ComplexValue za, int from, ComplexValue zb,
                  int to, int depth, int& turns) {
    const int step = (to - from) & 3;
    if (step != 2) {
        turns = step == 3 ? -1 : step;
        return true;
    }
    if (depth == 0) {
        return false;
    }
    const ComplexValue middle = 0.5 * (za + zb);
    const int between = quadrantOf(function(middle));
    int first = 0;
    int second = 0;
    if (between == kNoQuadrant ||
        !quarterTurns(function, za, from, middle, between, depth - 1, first) ||
        !quarterTurns(function, middle, between, zb, to, depth - 1, second)) {
        return false;
    }
    turns = first + second;
    return true;
}

std::vector<CandidateCell> candidateCells(const CompiledExpression& function,
                                          const MapGeometry& geometry,
                                          std::span<const ComplexValue> values, int threads) {
    const int width = geometry.width;
    const int height = geometry.height;
    std::vector<std::uint8_t> bits(values.size());
    forEachRow(height, threads, [&](int row, int) {
        const std::size_t start = static_cast<std::size_t>(row) * width;
        for (int column = 0; column < width; ++column) {
            bits[start + column] = quadrantBit(values[start + column]);
        }
    });
    std::vector<std::vector<CandidateCell>> rows(std::max(height - 1, 0));
    forEachRow(height - 1, threads, [&](int row, int) {
        const std::uint8_t* top = bits.data() + static_cast<std::size_t>(row) * width;
        const std::uint8_t* bottom = top + width;
        std::vector<std::uint8_t> both(width);
        for (int column = 0; column < width; ++column) {
            both[column] = top[column] | bottom[column];
        }
        for (int column = 0; column + 1 < width; ++column) {
            if (!needsLook(both[column] | both[column + 1])) {
                continue;
            }
            const CandidateCell cell = examine(function, geometry, top, bottom, row, column);
            if (!cell.settled || cell.winding != 0) {
                rows[row].push_back(cell);
            }
        }
    });
    std::vector<CandidateCell> cells;
    for (const auto& row : rows) {
        cells.insert(cells.end(), row.begin(), row.end());
    }
    return cells;
}

}  // namespace complexplot

#include "winding_cells.h"

#include <emmintrin.h>

#include <array>
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
// closer look. It is read off three comparisons of both parts with 0 and
// infinity, made together (SSE2, which every x86-64 processor has), as an
// index into a table: a million of these come one after another, and a
// branch would be guessed wrong at every edge of a quadrant.
constexpr std::array<std::uint8_t, 64> kQuadrantBits = [] {
    std::array<std::uint8_t, 64> table{};
    for (unsigned index = 0; index < 64; ++index) {
        // Bit 0 of each pair is the real part's, bit 1 the imaginary part's.
        const unsigned above = index & 3;         // > 0
        const unsigned atLeast = index >> 2 & 3;  // >= 0
        const unsigned finite = index >> 4;
        const unsigned bits = unsigned((above & 1) && (atLeast & 2)) |
                              unsigned(!(above & 1) && (above & 2)) << 1 |
                              unsigned(!(atLeast & 1) && !(above & 2)) << 2 |
                              unsigned((atLeast & 1) && !(atLeast & 2)) << 3;
        table[index] = finite != 3 ? kWithoutValue : bits != 0 ? bits : kZero;
    }
    return table;
}();

std::uint8_t quadrantBit(ComplexValue value) {
    const __m128d v = _mm_loadu_pd(reinterpret_cast<const double*>(&value));
    const __m128d zero = _mm_setzero_pd();
    const __m128d size = _mm_andnot_pd(_mm_set1_pd(-0.0), v);
    const int above = _mm_movemask_pd(_mm_cmpgt_pd(v, zero));
    const int atLeast = _mm_movemask_pd(_mm_cmpge_pd(v, zero));
    const int finite = _mm_movemask_pd(_mm_cmplt_pd(size, _mm_set1_pd(INFINITY)));
    return kQuadrantBits[above | atLeast << 2 | finite << 4];
}

// A row's bits. The bytes written may alias anything, as far as the
// compiler knows: it is told they do not, or it reads every pointer again
// after each one.
void rowBits(const ComplexValue* __restrict values, std::uint8_t* __restrict bits, int count) {
    for (int k = 0; k < count; ++k) {
        bits[k] = quadrantBit(values[k]);
    }
}

// A cell whose corners lie in at most three neighbouring quadrants winds
// zero times: a turn about 0 passes through all four, and a step between
// opposite ones needs a closer look. Nearly every cell is told by this,
// sixteen cells at a time: bit k of the result is cell start + k's.
unsigned cellsToLookAt(const std::uint8_t* top, const std::uint8_t* bottom, int start, int cells) {
    if (cells < 16) {
        unsigned look = 0;
        for (int k = 0; k < cells; ++k) {
            const int corners =
                top[start + k] | bottom[start + k] | top[start + k + 1] | bottom[start + k + 1];
            const bool needed =
                (corners & kNone) != 0 || (corners & 5) == 5 || (corners & 10) == 10;
            look |= unsigned(needed) << k;
        }
        return look;
    }
    const auto load = [](const std::uint8_t* at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    };
    const __m128i corners =
        _mm_or_si128(_mm_or_si128(load(top + start), load(bottom + start)),
                     _mm_or_si128(load(top + start + 1), load(bottom + start + 1)));
    const auto all = [&](int bits) {
        const __m128i mask = _mm_set1_epi8(static_cast<char>(bits));
        return _mm_cmpeq_epi8(_mm_and_si128(corners, mask), mask);
    };
    const __m128i noneAtAll =
        _mm_cmpeq_epi8(_mm_and_si128(corners, _mm_set1_epi8(kNone)), _mm_setzero_si128());
    const __m128i needed =
        _mm_or_si128(_mm_andnot_si128(noneAtAll, _mm_set1_epi8(-1)), _mm_or_si128(all(5), all(10)));
    return static_cast<unsigned>(_mm_movemask_epi8(needed));
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
        cell.withoutValue = true;
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
    // Corners in all four quadrants that wind zero times: the argument
    // turned by half a turn or more along an edge, which the quadrants of
    // its ends cannot tell. So it does beside a zero of order two or more,
    // or two zeros, at the middle of a cell, whose own corners may then lie
    // in two neighbouring quadrants only; the cell goes to a circle with
    // its neighbours.
    if (cell.winding == 0 && (all & 15) == 15) {
        cell.settled = false;
    }
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
        rowBits(values.data() + start, bits.data() + start, width);
    });
    std::vector<std::vector<CandidateCell>> rows(std::max(height - 1, 0));
    forEachRow(height - 1, threads, [&](int row, int) {
        const std::uint8_t* top = bits.data() + static_cast<std::size_t>(row) * width;
        const std::uint8_t* bottom = top + width;
        for (int start = 0; start + 1 < width; start += 16) {
            for (unsigned look = cellsToLookAt(top, bottom, start, std::min(16, width - 1 - start));
                 look != 0; look &= look - 1) {
                const int column = start + std::countr_zero(look);
                const CandidateCell cell = examine(function, geometry, top, bottom, row, column);
                if (!cell.settled || cell.winding != 0) {
                    rows[row].push_back(cell);
                }
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

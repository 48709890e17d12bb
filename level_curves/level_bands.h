#pragma once

// The band of each point for a set of levels of Re f or Im f: how many of
// the levels lie at or below the part's value, so that a cell whose corners
// share a band holds no level; -1 for a point without a value. Vectors of
// points are compared with every level at once, where the processor has
// AVX2 or AVX-512: a map's bands took half the time of its level curves
// when each point searched for its own.

#include <cstddef>
#include <cstdint>

#include "operations.h"
#include "vector_kernels.h"

namespace complexplot {

enum class ValuePart : std::uint8_t { real, imaginary };

// At most this many levels are compared in vectors; sets with more are
// searched point by point (levelBands returns false and writes nothing).
constexpr std::size_t kMostVectorLevels = 24;

// `ascending` holds `levels` finite levels in ascending order. The same
// bands on every instruction set; runs on the widest the processor
// supports unless told.
bool levelBands(const ComplexValue* values, std::size_t count, ValuePart part,
                const double* ascending, std::size_t levels, std::int16_t* bands);
bool levelBands(InstructionSet instructionSet, const ComplexValue* values, std::size_t count,
                ValuePart part, const double* ascending, std::size_t levels, std::int16_t* bands);

// The same for one set, built with its instructions, for the first count
// rounded down to whole vectors; call only where the processor supports
// the set. Returns how many points it did.
std::size_t levelBandsAvx2(const ComplexValue* values, std::size_t count, ValuePart part,
                           const double* ascending, std::size_t levels, std::int16_t* bands);
std::size_t levelBandsAvx512(const ComplexValue* values, std::size_t count, ValuePart part,
                             const double* ascending, std::size_t levels, std::int16_t* bands);

// The cells between two rows of bands, `top` and `bottom` (cells + 1 bands
// each), whose corners lie in more than one band and all have a value:
// their columns, ascending, written to `columns` (room for `cells`).
// Returns how many. Nearly every cell of a map has one band, and this scan
// reads every cell of it once for each set of levels.
std::size_t cellsAcrossBands(const std::int16_t* top, const std::int16_t* bottom, std::size_t cells,
                             int* columns);
std::size_t cellsAcrossBands(InstructionSet instructionSet, const std::int16_t* top,
                             const std::int16_t* bottom, std::size_t cells, int* columns);

// The same with AVX2 for the first cells rounded down to sixteen, also
// where the processor has AVX-512 (whose 16-bit comparisons need more than
// the set the bands are built for). Returns how many it found.
std::size_t cellsAcrossBandsAvx2(const std::int16_t* top, const std::int16_t* bottom,
                                 std::size_t cells, int* columns);

}  // namespace complexplot

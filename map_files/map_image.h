#pragma once

// A map's pixels as they are written to a PNG file: rows of 8-bit grey, or
// of 8-bit RGB where the map shows colour (points without a value, the
// axes, the phase portrait), packed one after the other.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "large_buffer.h"
#include "map_geometry.h"

namespace complexplot {

struct MapImage {
    int width = 0;
    int height = 0;
    bool grey = true;
    LargeVector<std::uint8_t> pixels;

    std::size_t rowBytes() const { return static_cast<std::size_t>(width) * (grey ? 1 : 3); }
    const std::uint8_t* row(int index) const { return pixels.data() + index * rowBytes(); }
    bool empty() const { return width == 0; }
};

// A grey map's image: the greys themselves where the map holds only greys,
// else RGB with the marker colour at `withoutValue` (indices into the
// values, row by row) and, with `axes`, the real axis in red and the
// imaginary one in blue across it.
MapImage greyMapImage(LargeVector<std::uint8_t>&& greys, const MapGeometry& geometry,
                      const std::vector<std::size_t>& withoutValue, bool axes);

// The phase portrait's image from its RGB colours, with the axes in white,
// which is no colour of the wheel.
MapImage phaseMapImage(LargeVector<std::uint8_t>&& colours, const MapGeometry& geometry, bool axes);

}  // namespace complexplot

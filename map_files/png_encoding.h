#pragma once

// PNG data: the rows filtered with Sub, deflated whole by libdeflate at a
// fixed level, and the few chunks around them written here; the same bytes
// for the same pixels on every run. Every PNG the programs write is encoded
// here.

#include <functional>
#include <string>

#include "map_image.h"

namespace complexplot {

// The level libdeflate compresses at (for a benchmark that deflates the
// same rows).
extern const int kPngDeflateLevel;

// The resolution a map's file states: 100 dots an inch, as the maps' files
// have always said.
constexpr int kMapDotsPerMeter = 3937;

// What is encoded: 8-bit grey or 8-bit RGB rows, each given on request
// (the pointer need only last until the next request), and the resolution
// where there is one (dots per meter; 0 for none).
struct PngPicture {
    int width = 0;
    int height = 0;
    bool grey = true;
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
    std::function<const unsigned char*(int row)> row;
};

// The picture as PNG data. Raises std::bad_alloc when memory runs out on
// the way: any picture is valid PNG, so that is the only failure.
std::string encodePng(const PngPicture& picture);

// A map's image as PNG data, at the maps' resolution.
std::string encodePng(const MapImage& image);

}  // namespace complexplot

#pragma once

#include <QImage>
#include <iosfwd>
#include <string>

#include "render_options.h"

namespace complexplot {

// The maps of an expression, ready to be written or shown in a figure.
struct FunctionMaps {
    LargeVector<ComplexValue> values;
    GreyRange range;
    QImage real;
    QImage imaginary;
    std::size_t pointsWithoutValue = 0;
};

// Computes the values and their maps: 8-bit grey images when they hold
// only greys, else 8-bit RGB with the marker colour and the axes. Prints the
// grey range used and the number of points without a value to `messages`;
// while the values are computed for longer than about half a second, a
// progress bar there too if `showProgress`.
FunctionMaps makeFunctionMaps(const FunctionRequest& request, bool axes, std::ostream& messages,
                              bool showProgress);

// STEM-re.png and STEM-im.png, each written whole or not at all.
void writeMapFiles(const QImage& real, const QImage& imaginary, const std::string& stem,
                   bool twoThreads);

// The values as a NumPy .npy file, written whole or not at all.
void writeValuesFile(const LargeVector<ComplexValue>& values, const MapGeometry& geometry,
                     const std::string& path);

}  // namespace complexplot

#pragma once

// The options of a view of f: the function, its window of the plane, the
// map's size and the grey ranges. Read here from a command line and written
// here back into one, so that a copied command line draws the same maps.

#include <optional>
#include <string>
#include <vector>

#include "grey_scale.h"
#include "map_geometry.h"
#include "map_shading.h"
#include "option_words.h"

namespace complexplot {

// The maps of a typed expression, as --function asks for them.
struct FunctionRequest {
    std::string expression;
    MapGeometry geometry;
    // The grey ranges: one for both maps (given, or worked out from both
    // parts), or one for each map (given, or worked out from its part).
    bool rangeForEach = false;
    std::optional<GreyRange> range;
    std::optional<GreyRange> realRange;
    std::optional<GreyRange> imaginaryRange;
    // What the maps show (with modulus and argument, `range` is the
    // modulus's), and the grey curve of Re and Im with symlog's t if given.
    MapKind show = MapKind::realImaginary;
    GreyCurve greys = GreyCurve::linear;
    std::optional<double> symlogScale;
    // Level curves over the maps: at the default levels of the kind, or at
    // these (of Re and Im, or of |f|).
    bool contours = false;
    std::vector<double> contourLevels;
    // The zeros and poles found and marked, and the file their table is
    // written to (empty: none).
    bool zeros = false;
    std::string zerosFile;
    std::string stem = "f";
    // Empty: no raw values written.
    std::string dataFile;
    int threads = 1;
};

// Reads --function, --window, --size and the range options into the
// request. The expression is read here, so that nothing is computed for a
// command line that fails. Raises UsageError.
void readView(const OptionValues& options, FunctionRequest& request);

// The command line that draws exactly these maps: the renderer's name,
// --function quoted for a POSIX shell, the window, the size, what is shown,
// the ranges and symlog's t in the shortest form that reads back as the
// same doubles, and --axes.
std::string commandLineOf(const FunctionRequest& request, const MapShading& shading, bool axes);

// The word --show takes for a kind.
const char* showWord(MapKind kind);

// The map files of a kind, in order: the end of each one's name after the
// stem, and what it holds.
struct MapFileName {
    const char* suffix;
    const char* what;
};
std::vector<MapFileName> mapFileNames(MapKind kind);

// The shortest text that reads back as the same double.
std::string shortestText(double value);

}  // namespace complexplot

#pragma once

// The maps of a typed expression without anything drawn over them: its
// values, their shading and the images of each kind, the messages that say
// what was chosen, and the files of maps and values. No Qt: the renderer
// makes plain maps without loading it.

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "large_buffer.h"
#include "map_image.h"
#include "map_shading.h"
#include "value_grid.h"
#include "view_options.h"

namespace complexplot {

// Told how far the making of maps has come: the stage (computing,
// encoding, writing) and how much of it is done. This one shows nothing.
class ProgressReport {
public:
    virtual ~ProgressReport() = default;

    virtual void show(const std::string& stage, long long done, long long total);
    // Ends what is shown, so that a message can follow.
    virtual void clear();
};

struct ExpressionMaps {
    LargeVector<ComplexValue> values;
    // What the maps show and how their pixels were made, with the ranges
    // used.
    MapShading shading;
    // Re f and Im f, |f| and arg f, or the phase portrait alone (the second
    // then empty).
    MapImage first;
    MapImage second;
    std::size_t pointsWithoutValue = 0;
    // Where they are: indices into the values, row by row.
    std::vector<std::size_t> withoutValue;
};

// Computes the values and their maps: 8-bit grey images when they hold
// only greys, else 8-bit RGB with the marker colour and the axes. Prints the
// ranges used (and symlog's t) and the number of points without a value to
// `messages`, and shows the computing on `progress`.
ExpressionMaps makeExpressionMaps(const FunctionRequest& request, bool axes, std::ostream& messages,
                                  ProgressReport& progress);

// The maps of values already computed, as makeExpressionMaps makes them;
// without `messages`, nothing is said and nothing is checked only to be
// said (whether a map looks washed out). `counted`, where the values were
// tallied as they were made, spares the shared automatic range its pass;
// `rows`, where the modulus's and the argument's rows were made with the
// values, spares their maps one.
ExpressionMaps expressionMapsOfValues(LargeVector<ComplexValue> values,
                                      const FunctionRequest& request, bool axes,
                                      std::ostream* messages,
                                      const PartSizeTally* counted = nullptr,
                                      ModulusArgumentRows* rows = nullptr);

// The PNG files of a kind's maps, STEM-re.png and STEM-im.png,
// STEM-modulus.png and STEM-arg.png, or STEM-phase.png, each written whole
// or not at all; `encode` makes a map's PNG data (0 the first map, 1 the
// second). Two maps are encoded side by side, the second on a thread of its
// own with `twoThreads`.
void writeMapFiles(MapKind kind, const std::string& stem, bool twoThreads, ProgressReport& progress,
                   const std::function<std::string(int)>& encode);

// The map files of maps without anything drawn over them.
void writeMapFiles(const ExpressionMaps& maps, const std::string& stem, bool twoThreads,
                   ProgressReport& progress);

// The values as a NumPy .npy file, written whole or not at all.
void writeValuesFile(const LargeVector<ComplexValue>& values, const MapGeometry& geometry,
                     const std::string& path);

// The values file the request asks for with --data, if it asks for one.
void writeRequestedValues(const FunctionRequest& request, const LargeVector<ComplexValue>& values,
                          ProgressReport& progress);

}  // namespace complexplot

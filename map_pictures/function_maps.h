#pragma once

#include <QImage>
#include <iosfwd>
#include <string>

#include "large_buffer.h"
#include "level_curves.h"
#include "value_grid.h"
#include "view_options.h"
#include "zero_pole_marks.h"

namespace complexplot {

// The maps of an expression, ready to be written or shown in a figure.
struct FunctionMaps {
    LargeVector<ComplexValue> values;
    // What the maps show and how their pixels were made, with the ranges
    // used.
    MapShading shading;
    // Re f and Im f, |f| and arg f, or the phase portrait alone (the second
    // then null).
    QImage first;
    QImage second;
    // With --contours, each map's level curves, drawn over it where it is
    // shown (the images hold the map alone).
    std::vector<std::vector<LevelCurve>> curves;
    // With --zeros, the zeros and poles found and their marks, drawn over
    // every map where it is shown.
    std::optional<ZerosAndPoles> zeros;
    std::vector<PointMark> marks;
    std::size_t pointsWithoutValue = 0;
    // Where they are: indices into the values, row by row.
    std::vector<std::size_t> withoutValue;
};

// Told how far the making of maps has come: the stage (computing,
// encoding, writing) and how much of it is done. This one shows nothing.
class ProgressReport {
public:
    virtual ~ProgressReport() = default;

    virtual void show(const std::string& stage, long long done, long long total);
    // Ends what is shown, so that a message can follow.
    virtual void clear();
};

// Computes the values and their maps: 8-bit grey images when they hold
// only greys, else 8-bit RGB with the marker colour and the axes. Prints the
// ranges used (and symlog's t), the number of points without a value and
// the table of zeros and poles to `messages`, and shows the computing on
// `progress`.
FunctionMaps makeFunctionMaps(const FunctionRequest& request, bool axes, std::ostream& messages,
                              ProgressReport& progress);

// The maps of values already computed, as makeFunctionMaps makes them;
// without `messages`, nothing is said and nothing is checked only to be
// said (whether a map looks washed out). `counted`, where the values were
// tallied as they were made, spares the shared automatic range its pass;
// `rows`, where the modulus's and the argument's rows were made with the
// values, spares their maps one.
FunctionMaps mapsOfValues(LargeVector<ComplexValue> values, const FunctionRequest& request,
                          bool axes, std::ostream* messages, const PartSizeTally* counted = nullptr,
                          ModulusArgumentRows* rows = nullptr);

// The map files of a kind: STEM-re.png and STEM-im.png, STEM-modulus.png
// and STEM-arg.png, or STEM-phase.png, each written whole or not at all.
void writeMapFiles(const FunctionMaps& maps, const std::string& stem, bool twoThreads,
                   ProgressReport& progress);

// The table of zeros and poles as a TSV file, written whole or not at all.
void writeZerosFile(const ZerosAndPoles& found, const std::string& path);

// The values as a NumPy .npy file, written whole or not at all.
void writeValuesFile(const LargeVector<ComplexValue>& values, const MapGeometry& geometry,
                     const std::string& path);

}  // namespace complexplot

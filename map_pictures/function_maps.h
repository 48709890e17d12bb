#pragma once

#include <QImage>
#include <iosfwd>
#include <string>

#include "expression_maps.h"
#include "large_buffer.h"
#include "level_curves.h"
#include "value_grid.h"
#include "view_options.h"
#include "zero_pole_marks.h"

namespace complexplot {

// The maps of an expression with what is drawn over them, ready to be
// written or shown in a figure.
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

// Computes the values and their maps as makeExpressionMaps does, with
// their level curves and zeros and poles where the request asks for them;
// the table of zeros and poles follows the other messages.
FunctionMaps makeFunctionMaps(const FunctionRequest& request, bool axes, std::ostream& messages,
                              ProgressReport& progress);

// The maps of values already computed, as makeFunctionMaps makes them
// (see expressionMapsOfValues).
FunctionMaps mapsOfValues(LargeVector<ComplexValue> values, const FunctionRequest& request,
                          bool axes, std::ostream* messages, const PartSizeTally* counted = nullptr,
                          ModulusArgumentRows* rows = nullptr);

// The map files of a kind (see expression_maps.h), each map with its
// curves and marks drawn over it.
void writeMapFiles(const FunctionMaps& maps, const std::string& stem, bool twoThreads,
                   ProgressReport& progress);

// The table of zeros and poles as a TSV file, written whole or not at all.
void writeZerosFile(const ZerosAndPoles& found, const std::string& path);

}  // namespace complexplot

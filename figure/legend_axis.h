#pragma once

// How the legend of a map reads, for every kind of map: the grey (or the
// colour) of its bar is linear in the legend's own coordinate from one end
// to the other, and its ticks stand in that coordinate: f's values, symlog
// of them, decades of |f|, or the angle. Shared by the figures and the
// explorer, so that both label a map alike.

#include "axis_ticks.h"
#include "map_shading.h"

namespace complexplot {

struct LegendAxis {
    enum class Scale { linear, symlog, decades, angle };
    Scale scale = Scale::linear;
    GreyRange values;  // f's own values at the ends (|f|'s, the angle's)
    double symlogScale = 1.0;
    bool wheel = false;  // the phase portrait's colours, not greys
};

// The legend of a map of that kind over `values`: the first map's (Re, |f|
// or the phase) or the second's (Im, arg).
LegendAxis legendAxisOf(MapKind kind, GreyCurve curve, double symlogScale, const GreyRange& values,
                        bool firstMap);

// The legend's ends in its own coordinate.
GreyRange legendCoordinates(const LegendAxis& legend);

// Its ticks along a bar `length` long, each tick's value in the legend's
// coordinate.
AxisTicks legendTicks(const LegendAxis& legend, double length, const LabelExtent& extent,
                      double gap);

}  // namespace complexplot

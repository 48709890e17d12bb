#include "legend_axis.h"

#include <cmath>

namespace complexplot {

LegendAxis legendAxisOf(MapKind kind, GreyCurve curve, double symlogScale, const GreyRange& values,
                        bool firstMap) {
    LegendAxis legend;
    legend.values = values;
    switch (kind) {
        case MapKind::realImaginary:
            legend.scale =
                curve == GreyCurve::symlog ? LegendAxis::Scale::symlog : LegendAxis::Scale::linear;
            legend.symlogScale = symlogScale;
            break;
        case MapKind::modulusArgument:
            legend.scale = firstMap ? LegendAxis::Scale::decades : LegendAxis::Scale::angle;
            break;
        case MapKind::phase:
            legend.scale = LegendAxis::Scale::angle;
            legend.wheel = true;
            break;
    }
    return legend;
}

GreyRange legendCoordinates(const LegendAxis& legend) {
    const GreyRange& values = legend.values;
    switch (legend.scale) {
        case LegendAxis::Scale::symlog:
            return {symlog(values.low, legend.symlogScale),
                    symlog(values.high, legend.symlogScale)};
        case LegendAxis::Scale::decades:
            return {std::log10(values.low), std::log10(values.high)};
        default:
            return values;
    }
}

AxisTicks legendTicks(const LegendAxis& legend, double length, const LabelExtent& extent,
                      double gap) {
    const GreyRange ends = legendCoordinates(legend);
    switch (legend.scale) {
        case LegendAxis::Scale::symlog:
            return chooseSymlogTicks(
                legend.values.low, legend.values.high,
                [&](double v) { return symlog(v, legend.symlogScale); }, length, extent, gap);
        case LegendAxis::Scale::decades:
            return chooseDecadeTicks(ends.low, ends.high, length, extent, gap);
        case LegendAxis::Scale::angle:
            return chooseTicks(ends.low, ends.high, true, length, extent, gap);
        default:
            return chooseLegendTicks(ends.low, ends.high, length, extent, gap);
    }
}

}  // namespace complexplot

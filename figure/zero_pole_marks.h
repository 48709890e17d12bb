#pragma once

// Zeros and poles marked over a map: a ring for a zero, a cross for a
// pole, black on a thin white halo like the level curves', so that a mark
// reads on every grey and colour and printed in black and white; the order
// beside a mark where it is more than 1. Marks close together are drawn
// smaller so as not to overlap, and each order stands where it covers no
// other mark.

#include <QPainter>
#include <QPointF>
#include <QTransform>
#include <vector>

#include "map_geometry.h"
#include "zeros_and_poles.h"

namespace complexplot {

struct PointMark {
    QPointF at;  // in map pixels: the centre of pixel (c, r) is (c + 0.5, r + 0.5)
    bool pole = false;
    int order = 1;
};

std::vector<PointMark> pointMarks(const ZerosAndPoles& found, const MapGeometry& geometry);

// Draws the marks, their map pixels placed by `toPaint`, with sizes
// `scale` times those they have over a map's own pixels.
void paintPointMarks(QPainter& painter, const std::vector<PointMark>& marks,
                     const QTransform& toPaint, double scale);

}  // namespace complexplot

#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointF>

#include "figure_painter.h"

namespace complexplot {

// The figure as a picture `pixelWidth` pixels wide, for PNG.
QImage figureImage(const FigureContent& content, int pixelWidth);

// The figure as an SVG document: the maps embedded as images that viewers
// are told not to smooth, everything else as text and shapes.
QByteArray figureSvg(const FigureContent& content);

// The figure on one A4 landscape page of PDF, the fonts embedded, each map
// one image stored without loss and drawn without interpolation.
QByteArray figurePdf(const FigureContent& content);

// Where the PDF page puts the layout's units: a point (1/72 inch) of the
// page is at offset + pointsPerUnit * unit.
struct PdfPlacement {
    double pointsPerUnit = 1.0;
    QPointF offset;
};
PdfPlacement pdfPlacement(const FigureLayout& layout);

}  // namespace complexplot

#pragma once

#include <QByteArray>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPointF>
#include <optional>
#include <string>
#include <vector>

#include "figure_painter.h"

namespace complexplot {

// The figure as a picture `pixelWidth` pixels wide, for PNG.
QImage figureImage(const FigureContent& content, int pixelWidth);

// The figure as an SVG document: the maps embedded as images that viewers
// are told not to smooth, everything else as text and shapes.
QByteArray figureSvg(const FigureContent& content);

// The figures as a PDF, one to a page, the fonts embedded, each map one
// image stored without loss and drawn without interpolation. Each figure
// fills its page within margins of 12 mm, on a page turned to its shape.
// The document's title is the first figure's, unless one is given.
QByteArray figurePdf(const std::vector<FigureContent>& pages,
                     QPageSize::PageSizeId paper = QPageSize::A4,
                     const std::optional<std::string>& documentTitle = std::nullopt);

// Where the PDF page puts the layout's units: a point (1/72 inch) of the
// page is at offset + pointsPerUnit * unit, on a page of that orientation.
struct PdfPlacement {
    double pointsPerUnit = 1.0;
    QPointF offset;
    QPageLayout::Orientation orientation = QPageLayout::Landscape;
};
PdfPlacement pdfPlacement(const FigureLayout& layout, QPageSize::PageSizeId paper = QPageSize::A4);

}  // namespace complexplot

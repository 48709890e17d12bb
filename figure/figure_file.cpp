#include "figure_file.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace complexplot {

namespace {

// Device units of the PDF: fine enough that nothing is rounded visibly.
constexpr int kPdfResolution = 1200;
constexpr int kSvgResolution = 144;
// The share of the page the figure fills, leaving a margin all round.
constexpr double kPageFill = 0.94;

// Paints the figure and ends the painter. When memory runs out, Qt raises
// std::bad_alloc from within its painting, and its ending allocates too. A
// painter's destructor ends it if it is still active, where an exception
// would stop the program: so the painter is ended here, and if that fails,
// it is let go without its destructor, as the program is about to report
// the failure and stop.
void paintAndEnd(std::unique_ptr<QPainter> painter, const FigureContent& content,
                 const FigureLayout& layout) {
    bool outOfMemory = false;
    try {
        paintFigure(*painter, content, layout);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    try {
        painter->end();
    } catch (const std::bad_alloc&) {
        painter.release();
        throw;
    }
    if (outOfMemory) {
        throw std::bad_alloc();
    }
}

// The same figure makes the same bytes: Qt stamps the PDF with the time
// it was made, which is left out here. The entry is overwritten with
// spaces, which a PDF reads as nothing, so that every offset in the file's
// cross-reference table stays right.
void blankCreationDate(QByteArray& pdf) {
    const QByteArray key("/CreationDate (");
    const qsizetype start = pdf.indexOf(key);
    const qsizetype end = start < 0 ? -1 : pdf.indexOf(')', start);
    if (end > start) {
        pdf.replace(start, end + 1 - start, QByteArray(end + 1 - start, ' '));
    }
}

QSizeF a4LandscapeInPoints() {
    return QPageSize(QPageSize::A4).size(QPageSize::Point).transposed();
}

}  // namespace

QImage figureImage(const FigureContent& content, int pixelWidth) {
    const FigureLayout layout = layoutFigure(content, pixelWidth);
    QImage image(static_cast<int>(layout.width), static_cast<int>(layout.height),
                 QImage::Format_RGB32);
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    paintAndEnd(std::make_unique<QPainter>(&image), content, layout);
    return image;
}

QByteArray figureSvg(const FigureContent& content) {
    const FigureLayout layout = layoutFigure(content, 0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(
        QSize(static_cast<int>(layout.width), static_cast<int>(std::ceil(layout.height))));
    // 1600 units at 144 to the inch: printed, about as wide as the A4
    // landscape page of the PDF, with its smallest text at 10 points.
    generator.setResolution(kSvgResolution);
    generator.setViewBox(QRectF(0, 0, layout.width, layout.height));
    generator.setTitle(QString::fromStdString(content.title));
    generator.setDescription(QStringLiteral("complex-plot-render"));
    paintAndEnd(std::make_unique<QPainter>(&generator), content, layout);
    // Qt marks an image not to be smoothed with SVG 1.1's optimizeSpeed,
    // which browsers read as they like; the CSS property is what they obey
    // to show each map pixel as a square of one colour.
    bytes.replace("<image ",
                  "<image style=\"image-rendering:crisp-edges;image-rendering:pixelated\" ");
    return bytes;
}

QByteArray figurePdf(const FigureContent& content) {
    const FigureLayout layout = layoutFigure(content, 0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
    writer.setResolution(kPdfResolution);
    writer.setTitle(QString::fromStdString(content.title));
    writer.setCreator(QStringLiteral("complex-plot-render"));
    auto painter = std::make_unique<QPainter>(&writer);
    const PdfPlacement placement = pdfPlacement(layout);
    const double unitsPerPoint = kPdfResolution / 72.0;
    painter->translate(placement.offset * unitsPerPoint);
    painter->scale(placement.pointsPerUnit * unitsPerPoint,
                   placement.pointsPerUnit * unitsPerPoint);
    paintAndEnd(std::move(painter), content, layout);
    blankCreationDate(bytes);
    return bytes;
}

PdfPlacement pdfPlacement(const FigureLayout& layout) {
    const QSizeF page = a4LandscapeInPoints();
    PdfPlacement placement;
    placement.pointsPerUnit =
        kPageFill * std::min(page.width() / layout.width, page.height() / layout.height);
    placement.offset = QPointF((page.width() - placement.pointsPerUnit * layout.width) / 2,
                               (page.height() - placement.pointsPerUnit * layout.height) / 2);
    return placement;
}

}  // namespace complexplot

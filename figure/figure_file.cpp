#include "figure_file.h"

#include <QBuffer>
#include <QHashSeed>
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
// The margin left all round a PDF page, in points: 12 mm.
constexpr double kPageMargin = 12 / 25.4 * 72;

// Paints and ends the painter. When memory runs out, Qt raises
// std::bad_alloc from within its painting, and its ending allocates too. A
// painter's destructor ends it if it is still active, where an exception
// would stop the program: so the painter is ended here, and if that fails,
// it is let go without its destructor, as the program is about to report
// the failure and stop.
template <typename Paint>
void paintAndEnd(std::unique_ptr<QPainter> painter, Paint paint) {
    bool outOfMemory = false;
    try {
        paint(*painter);
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

void paintAndEnd(std::unique_ptr<QPainter> painter, const FigureContent& content,
                 const FigureLayout& layout) {
    paintAndEnd(std::move(painter),
                [&](QPainter& painter) { paintFigure(painter, content, layout); });
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

QPageLayout pageLayout(const PdfPlacement& placement, QPageSize::PageSizeId paper) {
    return QPageLayout(QPageSize(paper), placement.orientation, QMarginsF(0, 0, 0, 0));
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
    // The generator writes the title into the markup as it is given: a '<'
    // or '&' in it would leave a document no reader opens.
    generator.setTitle(QString::fromStdString(content.title).toHtmlEscaped());
    generator.setDescription(QStringLiteral("complex-plot-render"));
    paintAndEnd(std::make_unique<QPainter>(&generator), content, layout);
    // Qt marks an image not to be smoothed with SVG 1.1's optimizeSpeed,
    // which browsers read as they like; the CSS property is what they obey
    // to show each map pixel as a square of one colour.
    bytes.replace("<image ",
                  "<image style=\"image-rendering:crisp-edges;image-rendering:pixelated\" ");
    return bytes;
}

QByteArray figurePdf(const std::vector<FigureContent>& pages, QPageSize::PageSizeId paper,
                     const std::optional<std::string>& documentTitle) {
    std::vector<FigureLayout> layouts;
    for (const FigureContent& content : pages) {
        layouts.push_back(layoutFigure(content, 0));
    }
    // Qt writes the embedded fonts in the order of a hash table, which
    // follows the process's hash seed: with the seed fixed, the same figure
    // gives the same bytes in any program that writes it.
    QHashSeed::setDeterministicGlobalSeed();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(pageLayout(pdfPlacement(layouts.front(), paper), paper));
    writer.setResolution(kPdfResolution);
    writer.setTitle(QString::fromStdString(documentTitle.value_or(pages.front().title)));
    writer.setCreator(QStringLiteral("complex-plot-render"));
    paintAndEnd(std::make_unique<QPainter>(&writer), [&](QPainter& painter) {
        const double unitsPerPoint = kPdfResolution / 72.0;
        for (std::size_t page = 0; page < pages.size(); ++page) {
            const PdfPlacement placement = pdfPlacement(layouts[page], paper);
            if (page > 0) {
                writer.setPageLayout(pageLayout(placement, paper));
                writer.newPage();
            }
            painter.resetTransform();
            painter.translate(placement.offset * unitsPerPoint);
            painter.scale(placement.pointsPerUnit * unitsPerPoint,
                          placement.pointsPerUnit * unitsPerPoint);
            paintFigure(painter, pages[page], layouts[page]);
        }
    });
    blankCreationDate(bytes);
    return bytes;
}

PdfPlacement pdfPlacement(const FigureLayout& layout, QPageSize::PageSizeId paper) {
    PdfPlacement placement;
    placement.orientation =
        layout.width >= layout.height ? QPageLayout::Landscape : QPageLayout::Portrait;
    QSizeF page = QPageSize(paper).size(QPageSize::Point);
    if (placement.orientation == QPageLayout::Landscape) {
        page.transpose();
    }
    placement.pointsPerUnit = std::min((page.width() - 2 * kPageMargin) / layout.width,
                                       (page.height() - 2 * kPageMargin) / layout.height);
    placement.offset = QPointF((page.width() - placement.pointsPerUnit * layout.width) / 2,
                               (page.height() - placement.pointsPerUnit * layout.height) / 2);
    return placement;
}

}  // namespace complexplot

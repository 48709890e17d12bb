// Figures for handouts: the maps inside their frames exactly as they are,
// in a PNG figure, an SVG document and a PDF page.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <numbers>
#include <set>
#include <sstream>

#include "figure_file.h"
#include "figure_output.h"
#include "headless_controls.h"
#include "level_curve_paths.h"
#include "plot_run.h"

using namespace complexplot;
namespace fs = std::filesystem;

constexpr double kPi = std::numbers::pi;

namespace {

// Text needs an application; the offscreen platform comes from the test's
// environment.
void needApplication() {
    static int argumentCount = 1;
    static char name[] = "figure_test";
    static char* arguments[] = {name, nullptr};
    static const auto application = std::make_unique<QGuiApplication>(argumentCount, arguments);
}

FigureContent sinePresetFigure() {
    HeadlessControls controls(1, 1);
    WindowState state;
    Command1_Click(kPresetSin, controls, state);
    return presetFigureContent(kPresetSin, controls.picture1(), controls.picture2());
}

FigureContent expressionFigure(const std::string& expression, int width, int height, bool axes,
                               MapKind show = MapKind::realImaginary,
                               GreyCurve greys = GreyCurve::linear) {
    FunctionRequest request;
    request.expression = expression;
    request.show = show;
    request.greys = greys;
    request.geometry.x0 = -3.141592653589793;
    request.geometry.x1 = 3.141592653589793;
    request.geometry.width = width;
    request.geometry.height = height;
    std::ostringstream messages;
    ProgressReport progress;
    return functionFigureContent(request, makeFunctionMaps(request, axes, messages, progress));
}

bool isInk(QRgb pixel) {
    return qRed(pixel) < 80 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
}

// Whether the pixel's eight neighbours have its colour: a viewer that
// smooths, or a raster that blends edges, still shows exactly that colour at
// its centre.
bool amidItsColour(const QImage& pixels, int column, int row) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint neighbour(column + dx, row + dy);
            if (!pixels.rect().contains(neighbour) ||
                pixels.pixel(neighbour) != pixels.pixel(column, row)) {
                return false;
            }
        }
    }
    return true;
}

// How many of the map's pixels differ from where `at` says the figure shows
// them, over every `stride`-th pixel; with `onlyAmidTheirColour`, over those
// whose neighbours share their colour.
template <typename At>
int differences(const QImage& map, At at, int stride, int tolerance,
                bool onlyAmidTheirColour = false) {
    const QImage pixels = map.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int row = 0; row < pixels.height(); row += stride) {
        for (int column = 0; column < pixels.width(); column += stride) {
            if (onlyAmidTheirColour && !amidItsColour(pixels, column, row)) {
                continue;
            }
            const QRgb want = pixels.pixel(column, row);
            const QRgb got = at(column, row);
            if (std::abs(qRed(want) - qRed(got)) > tolerance ||
                std::abs(qGreen(want) - qGreen(got)) > tolerance ||
                std::abs(qBlue(want) - qBlue(got)) > tolerance) {
                ++count;
            }
        }
    }
    return count;
}

// The raster of a vector figure shows each map in its frame: at the centre
// of each map pixel its colour, and just outside the map the frame's ink.
// `toRaster` maps the layout's units to the raster's pixels.
template <typename ToRaster>
void expectMapsShown(const QImage& raster, const FigureContent& content, const FigureLayout& layout,
                     ToRaster toRaster) {
    ASSERT_FALSE(raster.isNull());
    for (const auto& [rect, map] : {std::pair{layout.realMap, content.real},
                                    std::pair{layout.imaginaryMap, content.imaginary}}) {
        auto at = [&](int column, int row) {
            const QPointF centre(rect.left() + (column + 0.5) * rect.width() / map.width(),
                                 rect.top() + (row + 0.5) * rect.height() / map.height());
            return raster.pixel(toRaster(centre).toPoint());
        };
        EXPECT_EQ(differences(map, at, 1, 0, true), 0);
        const QPoint middleLeft = toRaster(QPointF(rect.left(), rect.center().y())).toPoint();
        EXPECT_TRUE(isInk(raster.pixel(middleLeft - QPoint(1, 0))));
        const QPoint middleTop = toRaster(QPointF(rect.center().x(), rect.top())).toPoint();
        EXPECT_TRUE(isInk(raster.pixel(middleTop - QPoint(0, 1))));
    }
}

// Every label inside the figure, clear of every other label and of the
// maps and legend bars with their frames, and beside its own axis.
void expectLabelsClear(const FigureLayout& layout, const std::string& figureName) {
    const std::vector<PlacedLabel> labels = placedLabels(layout);
    const QRectF figure(0, 0, layout.width, layout.height);
    std::vector<QRectF> solid;
    for (const QRectF& rect :
         {layout.realMap, layout.imaginaryMap, layout.legendBar, layout.realLegendBar}) {
        if (!rect.isEmpty()) {
            solid.push_back(rect);
        }
    }
    const double frame = 1.5 * layout.unit;
    for (std::size_t k = 0; k < labels.size(); ++k) {
        const PlacedLabel& label = labels[k];
        const std::string where = label.text + " in figure " + figureName;
        EXPECT_TRUE(figure.contains(label.box)) << where;
        for (std::size_t other = k + 1; other < labels.size(); ++other) {
            EXPECT_FALSE(label.box.intersects(labels[other].box))
                << where << " and " << labels[other].text;
        }
        for (const QRectF& rect : solid) {
            EXPECT_FALSE(label.box.intersects(rect.adjusted(-frame, -frame, frame, frame)))
                << where;
        }
        const double slack = 0.01;
        if (label.kind == PlacedLabel::Kind::xAxis) {
            EXPECT_GE(label.box.left(), label.axis.left() - slack) << where;
            EXPECT_LE(label.box.right(), label.axis.right() + slack) << where;
        } else if (label.kind != PlacedLabel::Kind::offset) {
            EXPECT_GE(label.box.top(), label.axis.top() - slack) << where;
            EXPECT_LE(label.box.bottom(), label.axis.bottom() + slack) << where;
        }
    }
}

class Figure : public ::testing::Test {
protected:
    void SetUp() override {
        needApplication();
        folder_ = fs::temp_directory_path() / ("figure-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

}  // namespace

// In a PNG figure each map is enlarged by a whole number, every map pixel a
// square of exactly its colour, inside a frame of ink: for a preset's RGB
// maps, and for an expression's grey and marked maps.
TEST_F(Figure, PngShowsEachMapPixelForPixelAtAWholeScale) {
    for (const FigureContent& content :
         {sinePresetFigure(), expressionFigure("z^2", 120, 90, false),
          expressionFigure("1/z", 101, 101, true),
          expressionFigure("1/z", 61, 61, false, MapKind::modulusArgument),
          expressionFigure("z^3-1", 64, 48, true, MapKind::phase)}) {
        for (const int width : {1600, 700}) {
            const FigureLayout layout = layoutFigure(content, width);
            const QImage figure = figureImage(content, width);
            ASSERT_EQ(figure.width(), width);
            const int scale = layout.wholeScale;
            ASSERT_GE(scale, 1);
            for (const auto& [rect, map] : {std::pair{layout.realMap, content.real},
                                            std::pair{layout.imaginaryMap, content.imaginary}}) {
                if (map.isNull()) {
                    continue;  // the phase portrait stands alone
                }
                EXPECT_EQ(rect.width(), map.width() * scale);
                const QPoint origin = rect.topLeft().toPoint();
                EXPECT_EQ(QPointF(origin), rect.topLeft());
                for (const QPoint corner : {QPoint(0, 0), QPoint(scale - 1, scale - 1)}) {
                    auto at = [&](int column, int row) {
                        return figure.pixel(origin + QPoint(column, row) * scale + corner);
                    };
                    // Points without a value are marked over the map, with
                    // a ring about the isolated ones.
                    QImage shown = map.convertToFormat(QImage::Format_RGB32);
                    for (const QPoint point : content.withoutValue) {
                        for (int dy = -3; dy <= 3; ++dy) {
                            for (int dx = -3; dx <= 3; ++dx) {
                                const QPoint near = point + QPoint(dx, dy);
                                if (shown.rect().contains(near)) {
                                    shown.setPixel(near, at(near.x(), near.y()));
                                }
                            }
                        }
                    }
                    EXPECT_EQ(differences(shown, at, 1, 0), 0) << content.title << " " << width;
                }
                EXPECT_TRUE(isInk(figure.pixel(origin + QPoint(-1, 10))));
                EXPECT_TRUE(isInk(figure.pixel(origin + QPoint(10, -1))));
            }
        }
    }
}

TEST_F(Figure, MapsTooLargeForThePngWidthAreRefused) {
    const FigureContent content = expressionFigure("z", 900, 900, false);
    try {
        layoutFigure(content, 1600);
        ADD_FAILURE() << "laid out";
    } catch (const FigureTooNarrow& error) {
        EXPECT_NE(std::string(error.what()).find("do not fit a PNG figure 1600 pixels wide"),
                  std::string::npos);
    }
    EXPECT_EQ(layoutFigure(content, 2600).wholeScale, 1);
}

// The PNG legend runs from black at its bottom row to white at its top,
// rising a little at every row, for a bar of any height: tall maps, and a
// strip whose bar is far shorter than 256 rows.
TEST_F(Figure, PngLegendRunsFromBlackToWhiteRowByRow) {
    for (const auto& [width, height] : {std::pair{300, 300}, std::pair{400, 60}}) {
        const FigureContent content = expressionFigure("z", width, height, false);
        const FigureLayout layout = layoutFigure(content, 1600);
        const QImage figure = figureImage(content, 1600);
        const QRectF bar = layout.legendBar;
        const int column = static_cast<int>(bar.center().x());
        const int top = static_cast<int>(std::ceil(bar.top()));
        const int bottom = static_cast<int>(std::floor(bar.bottom())) - 1;
        EXPECT_EQ(qGray(figure.pixel(column, top)), 255) << height;
        EXPECT_EQ(qGray(figure.pixel(column, bottom)), 0) << height;
        const int step = static_cast<int>(std::ceil(255.0 / (bottom - top)));
        for (int row = top; row < bottom; ++row) {
            const int rise =
                qGray(figure.pixel(column, row)) - qGray(figure.pixel(column, row + 1));
            EXPECT_GE(rise, 0) << row;
            EXPECT_LE(rise, step) << row;
        }
    }
}

// A point without a value shows in print: over the axes' crossing it is
// still the hatched marker, and alone it gets a ring of ink.
TEST_F(Figure, IsolatedPointWithoutValueIsMarkedOverTheAxes) {
    for (const int size : {21, 201}) {
        FunctionRequest request;
        request.expression = "1/z";
        request.geometry.width = request.geometry.height = size;
        std::ostringstream messages;
        ProgressReport progress;
        const FigureContent content =
            functionFigureContent(request, makeFunctionMaps(request, true, messages, progress));
        ASSERT_EQ(content.withoutValue, std::vector<QPoint>{QPoint(size / 2, size / 2)});
        const FigureLayout layout = layoutFigure(content, 1600);
        const QImage figure = figureImage(content, 1600);
        const QRectF map = layout.realMap;
        const QPointF pole(map.left() + (size / 2 + 0.5) * map.width() / size,
                           map.top() + (size / 2 + 0.5) * map.height() / size);
        // Green or the hatching's ink at the pole, not an axis colour.
        const QRgb atPole = figure.pixel(pole.toPoint());
        EXPECT_TRUE(qGreen(atPole) > qRed(atPole) || isInk(atPole)) << size;
        // Right of the pole Re 1/z is white; the ring crosses it in ink.
        if (size == 201) {
            bool ring = false;
            for (int dx = 4; dx <= 8; ++dx) {
                ring = ring || isInk(figure.pixel(pole.toPoint() + QPoint(dx, -3)));
            }
            EXPECT_TRUE(ring);
        }
    }
}

// Maps are arranged as they print largest on the page: square ones side by
// side on a landscape page, wide ones one above the other, each legend
// beside its map; every axis reads at least its two ends, and the figure
// fills the page across or down.
TEST_F(Figure, WideMapsAreStackedWhereThatPrintsThemLarger) {
    struct Case {
        int width, height;
        bool stacked;
    };
    for (const Case& c :
         {Case{160, 160, false}, Case{400, 100, true}, Case{320, 20, true}, Case{60, 240, false}}) {
        const FigureContent content = expressionFigure("exp(z)", c.width, c.height, false);
        const FigureLayout layout = layoutFigure(content, 0);
        EXPECT_EQ(layout.stacked, c.stacked) << c.width << "x" << c.height;
        if (c.stacked) {
            EXPECT_GT(layout.imaginaryMap.top(), layout.realMap.bottom());
            EXPECT_EQ(layout.imaginaryMap.left(), layout.realMap.left());
        }
        EXPECT_GE(layout.yTicks.ticks.size(), 2u) << c.width << "x" << c.height;
        EXPECT_GE(layout.xTicks.ticks.size(), 2u) << c.width << "x" << c.height;
        const PdfPlacement placement = pdfPlacement(layout);
        QSizeF page = QPageSize(QPageSize::A4).size(QPageSize::Point);
        if (placement.orientation == QPageLayout::Landscape) {
            page.transpose();
        }
        const double across = placement.pointsPerUnit * layout.width / (page.width() - 68);
        const double down = placement.pointsPerUnit * layout.height / (page.height() - 68);
        EXPECT_GE(std::max(across, down), 0.9) << c.width << "x" << c.height;
        // The PNG figure arranges them the same.
        EXPECT_EQ(layoutFigure(content, 1600).stacked, c.stacked);
    }
}

// Rasterised with Qt's own SVG renderer, the document shows the maps in
// their frames.
TEST_F(Figure, SvgShowsTheMapsInTheirFrames) {
    const FigureContent content = sinePresetFigure();
    const QByteArray svg = figureSvg(content);
    EXPECT_TRUE(svg.contains("image-rendering:pixelated"));
    const FigureLayout layout = layoutFigure(content, 0);
    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    const double scale = 2.0;
    QImage raster(QSize(layout.width, layout.height) * scale, QImage::Format_RGB32);
    raster.fill(Qt::white);
    {
        QPainter painter(&raster);
        renderer.render(&painter);
    }
    expectMapsShown(raster, content, layout, [&](QPointF point) { return point * scale; });
}

// Every SVG is well-formed XML, whatever its title holds: the presets' own
// titles ("|x| < 10⁻⁶") and titles typed to break markup.
TEST_F(Figure, SvgIsWellFormedWhateverItsTitleHolds) {
    std::vector<std::string> titles;
    for (std::int16_t index = 0; index < kPresetCount; ++index) {
        titles.push_back(presetTitle(index));
    }
    titles.insert(titles.end(),
                  {"a < b & c > d", "</title><script>x</script>", "\"'&amp;", "]]><!--"});
    FigureContent content = sinePresetFigure();
    for (const std::string& title : titles) {
        content.title = title;
        QXmlStreamReader reader(figureSvg(content));
        QString titleRead;
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"title") {
                titleRead = reader.readElementText();
            }
        }
        EXPECT_FALSE(reader.hasError()) << title << ": " << reader.errorString().toStdString();
        EXPECT_EQ(titleRead.toStdString(), title);
    }
}

// A title too long for one line breaks after an operator onto a second and
// a third; beyond three lines it is cut at a break with "…", and a title
// that fits is never cut.
TEST_F(Figure, LongTitlesWrapOntoThreeLinesAtMost) {
    std::string formula = "f(z) = ";
    for (int k = 1; k < 60; ++k) {
        formula += "sin(" + std::to_string(k) + "\u2009z)²+";
    }
    const std::vector<QString> lines = titleLines(formula);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].endsWith(u'+')) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(u'+')) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(u"+ …")) << lines[2].toStdString();
    EXPECT_FALSE(titleFits(formula));
    const std::string two = formula.substr(0, 200);
    EXPECT_TRUE(titleFits(two));
    EXPECT_EQ(titleLines(two).size(), 2u);
    QString joined;
    for (const QString& line : titleLines(two)) {
        joined += line;
    }
    // Nothing is lost at the breaks but blanks.
    EXPECT_EQ(joined.remove(u' '), QString::fromStdString(two).remove(u' '));
    EXPECT_EQ(titleLines("sin z").size(), 1u);
}

// The PDF holds each map as one image, stored without loss: what pdfimages
// takes out of it is the map, pixel for pixel. Rasterised by poppler, the
// page shows the maps in their frames, and its fonts are embedded.
TEST_F(Figure, PdfHoldsEachMapAsItIsWithItsFontsEmbedded) {
    const FigureContent content = expressionFigure("(z^2+1)/(z^2-1)", 160, 160, true);
    const fs::path pdf = folder_ / "figure.pdf";
    {
        const QByteArray bytes = figurePdf({content});
        std::ofstream(pdf, std::ios::binary).write(bytes.constData(), bytes.size());
    }
    const std::string images = (folder_ / "image").string();
    ASSERT_EQ(std::system(("pdfimages -png " + pdf.string() + " " + images).c_str()), 0);
    for (const auto& [file, map] : {std::pair{"image-000.png", content.real},
                                    std::pair{"image-001.png", content.imaginary}}) {
        const QImage extracted(QString::fromStdString((folder_ / file).string()));
        ASSERT_FALSE(extracted.isNull()) << file;
        EXPECT_EQ(extracted.convertToFormat(QImage::Format_RGB32),
                  map.convertToFormat(QImage::Format_RGB32))
            << file;
    }
    EXPECT_FALSE(fs::exists(folder_ / "image-002.png"));

    const std::string fonts = (folder_ / "fonts.txt").string();
    ASSERT_EQ(std::system(("pdffonts " + pdf.string() + " >" + fonts).c_str()), 0);
    std::ifstream fontList(fonts);
    std::string line;
    int embedded = 0;
    while (std::getline(fontList, line)) {
        if (line.find("IPAGothic") != std::string::npos ||
            line.find("DejaVuSans") != std::string::npos) {
            EXPECT_NE(line.find(" yes "), std::string::npos) << line;
            ++embedded;
        }
    }
    EXPECT_EQ(embedded, 2);

    const int dpi = 150;
    const std::string page = (folder_ / "page").string();
    ASSERT_EQ(std::system(("pdftoppm -r " + std::to_string(dpi) + " -png -singlefile " +
                           pdf.string() + " " + page)
                              .c_str()),
              0);
    const QImage raster(QString::fromStdString(page + ".png"));
    ASSERT_FALSE(raster.isNull());
    // One A4 landscape page.
    EXPECT_NEAR(raster.width(), 297 / 25.4 * dpi, 2);
    EXPECT_NEAR(raster.height(), 210 / 25.4 * dpi, 2);
    const FigureLayout layout = layoutFigure(content, 0);
    const PdfPlacement placement = pdfPlacement(layout);
    expectMapsShown(raster, content, layout, [&](QPointF point) {
        return (placement.offset + point * placement.pointsPerUnit) * dpi / 72.0;
    });
}

// Whatever the window and the range, no label of the figure overlaps
// another, a map, a frame or a legend bar; each stays along its own axis and
// inside the figure. Measured with the figure's own font.
TEST_F(Figure, LabelsNeverOverlapWhateverTheWindowOrRange) {
    const double subnormal = std::numeric_limits<double>::denorm_min();
    const struct {
        double left, right, bottom, top;
        GreyRange range;
        bool each;
    } cases[] = {
        {1000, 1000.001, 0, 0.001, {-1, 1}, false},
        {-1e300, 1e300, -1, 1, {-1e300, 1e300}, true},
        {1, std::nextafter(1.0, 2.0), 1, std::nextafter(1.0, 2.0), {1000, 1000.001}, false},
        {-1e-9, 1e-9, -1e-9, 1e-9, {0, 1e6}, true},
        {0, 1e6, 0, 1e6, {-2.93e37, 5.54e3}, false},
        {-1e20, 1e20, -1e20, 1e20, {-9.21, 1.61}, true},
        {1e-10, 3e-10, 1e-10, 3e-10, {1e-10, 3e-10}, false},
        {0, subnormal, 0, subnormal, {-subnormal, subnormal}, true},
        {-kPi, kPi, -kPi / 2, kPi / 2, {-1, 1}, false},
    };
    for (const auto& c : cases) {
        // Maps of an everyday shape, and maps too flat for a legend of their
        // own height.
        for (const QSize maps : {QSize(64, 32), QSize(200, 4)}) {
            FigureContent content;
            content.title = "f(z) = z";
            content.real = QImage(maps, QImage::Format_Grayscale8);
            content.real.fill(128);
            content.imaginary = content.real;
            content.left = c.left;
            content.right = c.right;
            content.bottom = c.bottom;
            content.top = c.top;
            content.piTicksAlongX = readsInPi(c.left, c.right);
            content.piTicksAlongY = readsInPi(c.bottom, c.top);
            content.range = c.range;
            if (c.each) {
                content.imaginaryRange = GreyRange{-3.14, 3.14};
            }
            for (const int width : {0, 1600, 700}) {
                if (width == 700 && maps.width() > 64) {
                    continue;  // flat maps that wide need a wider PNG
                }
                const FigureLayout layout = layoutFigure(content, width);
                expectLabelsClear(layout, std::to_string(width) + " of " + std::to_string(c.left));
                if (width != 700) {
                    EXPECT_GE(layout.xTicks.ticks.size(), 2u) << c.left << " " << width;
                    EXPECT_GE(layout.legendTicks.ticks.size(), 2u) << c.left << " " << width;
                }
            }
        }
    }
}

// Each kind of map reads back from a PDF exactly and from an SVG as XML,
// with its own legends clear of every other label.
TEST_F(Figure, EachKindReadsBackWithItsOwnLegends) {
    const std::vector<std::string> angles = {"−π", "−π/2", "0", "π/2", "π"};
    const struct {
        FigureContent content;
        std::vector<std::string> rightLegend;  // empty: not checked
    } kinds[] = {
        {expressionFigure("1/z", 64, 64, false, MapKind::modulusArgument), angles},
        {expressionFigure("z^3-1", 64, 48, true, MapKind::phase), angles},
        {expressionFigure("exp(1/z)", 64, 64, false, MapKind::realImaginary, GreyCurve::symlog),
         {}},
    };
    for (const auto& kind : kinds) {
        const FigureContent& content = kind.content;
        const std::string name = std::to_string(static_cast<int>(content.kind));
        const fs::path pdf = folder_ / (name + ".pdf");
        {
            const QByteArray bytes = figurePdf({content});
            std::ofstream(pdf, std::ios::binary).write(bytes.constData(), bytes.size());
        }
        const std::string images = (folder_ / name).string();
        ASSERT_EQ(std::system(("pdfimages -png " + pdf.string() + " " + images).c_str()), 0);
        const std::vector<QImage> maps = content.imaginary.isNull()
                                             ? std::vector{content.real}
                                             : std::vector{content.real, content.imaginary};
        for (std::size_t k = 0; k <= maps.size(); ++k) {
            const fs::path file = folder_ / (name + "-00" + std::to_string(k) + ".png");
            if (k == maps.size()) {
                EXPECT_FALSE(fs::exists(file)) << file;
                break;
            }
            EXPECT_EQ(
                QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32),
                maps[k].convertToFormat(QImage::Format_RGB32))
                << file;
        }
        QXmlStreamReader svg(figureSvg(content));
        while (!svg.atEnd()) {
            svg.readNext();
        }
        EXPECT_FALSE(svg.hasError()) << name << ": " << svg.errorString().toStdString();
        for (const int width : {0, 1600, 700}) {
            const FigureLayout layout = layoutFigure(content, width);
            expectLabelsClear(layout, name + " at " + std::to_string(width));
            std::vector<std::string> right;
            for (const Tick& tick : layout.legendTicks.ticks) {
                right.push_back(tick.label);
            }
            if (!kind.rightLegend.empty() && width != 700) {
                EXPECT_EQ(right, kind.rightLegend) << name << " at " << width;
            }
            if (content.kind == MapKind::modulusArgument) {
                // 1/z over |z| < 2.9: from 0.1 to 10... powers of ten only.
                for (const Tick& tick : layout.realLegendTicks.ticks) {
                    EXPECT_TRUE(tick.label == "1" || tick.label.starts_with("10")) << tick.label;
                }
                EXPECT_GE(layout.realLegendTicks.ticks.size(), 2u);
            }
            if (content.curve == GreyCurve::symlog) {
                EXPECT_NE(std::find(right.begin(), right.end(), "0"), right.end());
            }
        }
    }
}

// A PDF page is turned to the figure's shape and filled to its margins of
// 12 mm across or down; Letter as well as A4.
TEST_F(Figure, PdfPageIsTurnedAndFilledToItsMargins) {
    const double margin = 12 / 25.4 * 72;
    for (const QSize maps : {QSize(160, 120), QSize(60, 240)}) {
        FigureContent content;
        content.real = QImage(maps, QImage::Format_Grayscale8);
        content.real.fill(0);
        content.imaginary = content.real;
        const FigureLayout layout = layoutFigure(content, 0);
        for (const auto paper : {QPageSize::A4, QPageSize::Letter}) {
            const PdfPlacement placement = pdfPlacement(layout, paper);
            QSizeF page = QPageSize(paper).size(QPageSize::Point);
            const bool wide = layout.width >= layout.height;
            EXPECT_EQ(placement.orientation, wide ? QPageLayout::Landscape : QPageLayout::Portrait);
            if (wide) {
                page.transpose();
            }
            const double across = placement.pointsPerUnit * layout.width;
            const double down = placement.pointsPerUnit * layout.height;
            EXPECT_TRUE(std::abs(across - (page.width() - 2 * margin)) < 0.01 ||
                        std::abs(down - (page.height() - 2 * margin)) < 0.01);
            EXPECT_LE(across, page.width() - 2 * margin + 0.01);
            EXPECT_LE(down, page.height() - 2 * margin + 0.01);
        }
    }
}

// Segments joined into lines: through ends that exactly two share, never
// through one where three meet, each segment of some length a step of one
// line, a closed curve one line back to its start.
TEST(CurveLines, JoinSegmentsThatShareAnEndAndNoOthers) {
    const std::vector<CurveSegment> segments = {
        {0, 0, 1, 0}, {2, 1, 1, 1}, {1, 0, 1, 1}, {0, 0, 2, 1},  // a closed loop, out of order
        {5, 5, 6, 5}, {5, 5, 5, 6}, {4, 4, 5, 5},                // three meet at (5, 5)
        {7, 7, 7, 7},                                            // no length
        {9, 0, 9, 1}};
    const std::vector<std::vector<QPointF>> lines = curveLines(segments);
    // Steps and segments as unordered pairs of ends.
    using Point = std::pair<double, double>;
    std::multiset<std::pair<Point, Point>> steps;
    std::multiset<std::pair<Point, Point>> given;
    const auto add = [](auto& into, Point a, Point b) {
        into.insert(a < b ? std::pair{a, b} : std::pair{b, a});
    };
    for (const auto& line : lines) {
        ASSERT_GE(line.size(), 2u);
        for (std::size_t k = 1; k < line.size(); ++k) {
            add(steps, {line[k - 1].x(), line[k - 1].y()}, {line[k].x(), line[k].y()});
        }
    }
    for (const CurveSegment& s : segments) {
        if (s.column0 != s.column1 || s.row0 != s.row1) {
            add(given, {s.column0, s.row0}, {s.column1, s.row1});
        }
    }
    EXPECT_EQ(steps, given);
    // The loop, the three pieces at the junction, the lone segment.
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].size(), 5u);
    EXPECT_EQ(lines[0].front(), lines[0].back());
}

// The level curves of an SVG figure are vector paths, one per level, that
// hold the segments of the curves the map files draw, placed on the maps
// (joined end to end into lines); the marks of zeros and poles are there too.
TEST_F(Figure, SvgCurvesHoldTheMapsVertices) {
    FunctionRequest request;
    request.expression = "z^2-1";
    request.geometry.width = 24;
    request.geometry.height = 20;
    request.contours = true;
    request.zeros = true;
    std::ostringstream messages;
    ProgressReport progress;
    const FigureContent content =
        functionFigureContent(request, makeFunctionMaps(request, false, messages, progress));
    ASSERT_EQ(content.marks.size(), 2u);
    const FigureLayout layout = layoutFigure(content, 0);
    // Each drawn level's segments of some length in figure units, map after map.
    using Segment = std::pair<QPointF, QPointF>;
    std::vector<std::vector<Segment>> expected;
    for (std::size_t map = 0; map < 2; ++map) {
        const QRectF rect = map == 0 ? layout.realMap : layout.imaginaryMap;
        const auto place = [&](double column, double row) {
            return QPointF(rect.left() + column * rect.width() / request.geometry.width,
                           rect.top() + row * rect.height() / request.geometry.height);
        };
        for (const LevelCurve& curve : content.curves[map]) {
            if (curve.segments.empty()) {
                continue;
            }
            std::vector<Segment> segments;
            for (const CurveSegment& segment : curve.segments) {
                if (segment.column0 != segment.column1 || segment.row0 != segment.row1) {
                    segments.emplace_back(place(segment.column0, segment.row0),
                                          place(segment.column1, segment.row1));
                }
            }
            expected.push_back(std::move(segments));
        }
    }
    // The paths drawn in the curves' colour (after their halos), read back:
    // each step of a line is a segment.
    QXmlStreamReader svg(figureSvg(content));
    std::vector<std::vector<Segment>> found;
    bool inCurve = false;
    while (!svg.atEnd()) {
        if (svg.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (svg.name() == u"g") {
            inCurve = svg.attributes().value(QStringLiteral("stroke")) == QStringLiteral("#8c3c00");
        } else if (svg.name() == u"path" && inCurve) {
            std::vector<Segment> segments;
            QPointF last;
            const QString data = svg.attributes().value(QStringLiteral("d")).toString();
            for (const QString& step : data.split(' ', Qt::SkipEmptyParts)) {
                const QStringList xy = step.mid(1).split(',');
                const QPointF point(xy.value(0).toDouble(), xy.value(1).toDouble());
                if (step.startsWith('L')) {
                    segments.emplace_back(last, point);
                }
                last = point;
            }
            found.push_back(std::move(segments));
        }
    }
    ASSERT_FALSE(svg.hasError());
    ASSERT_GE(expected.size(), 6u);
    ASSERT_EQ(found.size(), expected.size());
    // The SVG writes six significant digits; a segment may run either way.
    const auto near = [](const Segment& a, const Segment& b) {
        const auto close = [](QPointF p, QPointF q) {
            return std::abs(p.x() - q.x()) <= 0.01 && std::abs(p.y() - q.y()) <= 0.01;
        };
        return (close(a.first, b.first) && close(a.second, b.second)) ||
               (close(a.first, b.second) && close(a.second, b.first));
    };
    for (std::size_t level = 0; level < found.size(); ++level) {
        ASSERT_EQ(found[level].size(), expected[level].size()) << level;
        std::vector<bool> matched(found[level].size(), false);
        for (const Segment& segment : expected[level]) {
            const auto match = std::find_if(found[level].begin(), found[level].end(),
                                            [&, k = std::size_t{0}](const Segment& f) mutable {
                                                return !matched[k++] && near(f, segment);
                                            });
            ASSERT_NE(match, found[level].end()) << level;
            matched[static_cast<std::size_t>(match - found[level].begin())] = true;
        }
    }
}

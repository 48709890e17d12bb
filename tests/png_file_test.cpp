// The PNG writer: what it writes is read back, by Qt and by an independent
// checker where one is installed, as exactly the pixels it was given.

#include <gtest/gtest.h>

#include <unistd.h>
#include <QColor>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>

#include "compiled_expression.h"
#include "function_maps.h"
#include "png_encoding.h"
#include "png_file.h"

using namespace complexplot;

namespace {

// A picture of every kind the programs write: smooth greys (a map), greys
// with a marker and axes in colour (RGB), and a figure drawn with
// antialiased text and lines (32-bit), at widths that are and are not
// multiples of four.
QImage pictureOf(QImage::Format format, int width, int height) {
    QImage image(width, height, format);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const int grey = (7 * column + 3 * row + column * row / 5) % 256;
            image.setPixel(column, row,
                           format == QImage::Format_Grayscale8 ? grey : qRgb(grey, grey, grey));
        }
    }
    if (format != QImage::Format_Grayscale8) {
        image.setPixel(width / 2, height / 2, qRgb(0, 160, 0));
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(255, 0, 0));
        painter.drawLine(0, height / 3, width - 1, height / 3);
        painter.setPen(QColor(0, 0, 255));
        painter.drawEllipse(QPointF(width / 3.0, height / 2.0), width / 5.0, height / 7.0);
    }
    return image;
}

struct Case {
    QImage::Format format;
    int width;
    int height;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << "format " << c.format << ", " << c.width << " x " << c.height;
}

class PngWriter : public testing::TestWithParam<Case> {};

TEST_P(PngWriter, ReadsBackAsTheSamePixelsAndTheSameBytesEachTime) {
    const QImage image = pictureOf(GetParam().format, GetParam().width, GetParam().height);
    const QByteArray bytes = encodePng(image);
    EXPECT_EQ(encodePng(image), bytes);
    QImage read;
    ASSERT_TRUE(read.loadFromData(bytes, "PNG"));
    ASSERT_EQ(read.size(), image.size());
    const bool grey = image.format() == QImage::Format_Grayscale8;
    EXPECT_EQ(read.format(), grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    for (int row = 0; row < image.height(); ++row) {
        for (int column = 0; column < image.width(); ++column) {
            ASSERT_EQ(qRgb(qRed(read.pixel(column, row)), qGreen(read.pixel(column, row)),
                           qBlue(read.pixel(column, row))),
                      qRgb(qRed(image.pixel(column, row)), qGreen(image.pixel(column, row)),
                           qBlue(image.pixel(column, row))))
                << column << ", " << row;
        }
    }
    EXPECT_EQ(read.dotsPerMeterX(), image.dotsPerMeterX());
}

// pngcheck reads every chunk and checks every CRC and the zlib stream.
TEST_P(PngWriter, IndependentCheckerFindsNoFault) {
    if (std::system("command -v pngcheck >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "pngcheck is not installed";
    }
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("png-writer-" + std::to_string(::getpid()) + ".png");
    writePngFile(pictureOf(GetParam().format, GetParam().width, GetParam().height), path.string());
    const int status = std::system(("pngcheck -q '" + path.string() + "'").c_str());
    std::filesystem::remove(path);
    EXPECT_EQ(status, 0);
}

std::string nameOf(const testing::TestParamInfo<Case>& info) {
    const char* format = info.param.format == QImage::Format_Grayscale8 ? "Grey"
                         : info.param.format == QImage::Format_RGB888   ? "Rgb888"
                         : info.param.format == QImage::Format_RGB32    ? "Rgb32"
                                                                        : "Argb32Premultiplied";
    return format + ("_" + std::to_string(info.param.width)) + "x" +
           std::to_string(info.param.height);
}

INSTANTIATE_TEST_SUITE_P(Formats, PngWriter,
                         testing::Values(Case{QImage::Format_Grayscale8, 256, 97},
                                         Case{QImage::Format_Grayscale8, 37, 5},
                                         Case{QImage::Format_RGB888, 101, 64},
                                         Case{QImage::Format_RGB32, 64, 33},
                                         Case{QImage::Format_ARGB32_Premultiplied, 15, 9},
                                         Case{QImage::Format_Grayscale8, 1, 1},
                                         Case{QImage::Format_RGB888, 1, 1}),
                         nameOf);

// A map whose deflated rows fill more than one data chunk (noise does not
// compress): the chunks join into the same pixels, every CRC holds.
TEST(MapFiles, NoiseSpreadOverSeveralChunksReadsBack) {
    for (const bool grey : {true, false}) {
        MapImage map;
        map.width = 1031;
        map.height = 1100;
        map.grey = grey;
        map.pixels.resize(map.rowBytes() * map.height);
        std::uint32_t state = 12345;
        for (std::uint8_t& byte : map.pixels) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<std::uint8_t>(state >> 24);
        }
        const std::string bytes = encodePng(map);
        ASSERT_GT(bytes.size(), std::size_t{1} << 20);
        QImage read;
        ASSERT_TRUE(read.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                      static_cast<int>(bytes.size()), "PNG"));
        read = read.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
        ASSERT_EQ(read.size(), QSize(map.width, map.height));
        for (int row = 0; row < map.height; ++row) {
            ASSERT_EQ(std::memcmp(read.constScanLine(row), map.row(row), map.rowBytes()), 0) << row;
        }
        if (std::system("command -v pngcheck >/dev/null 2>&1") == 0) {
            const std::filesystem::path path =
                std::filesystem::temp_directory_path() /
                ("png-chunks-" + std::to_string(::getpid()) + ".png");
            writeFileAtomically(path.string(), bytes);
            EXPECT_EQ(std::system(("pngcheck -q '" + path.string() + "'").c_str()), 0);
            std::filesystem::remove(path);
        }
    }
}

// A grey map's image holds its greys, whether made around them (a width
// that is a multiple of four) or copied row by row (any other), and keeps
// them when the values it came from are gone.
TEST(MapImages, HoldTheGreysAtEveryWidth) {
    for (const int width : {256, 255, 4, 3}) {
        FunctionRequest request;
        request.expression = "sin(z)";
        request.geometry.width = width;
        request.geometry.height = 9;
        request.range = GreyRange{-2, 2};
        FunctionMaps maps =
            mapsOfValues(computeValues(CompiledExpression("sin(z)"), request.geometry, 1), request,
                         false, nullptr);
        const LargeVector<ComplexValue> values = maps.values;
        maps.values = {};
        ASSERT_EQ(maps.first.format(), QImage::Format_Grayscale8);
        for (int row = 0; row < 9; ++row) {
            for (int column = 0; column < width; ++column) {
                const ComplexValue value = values[static_cast<std::size_t>(row) * width + column];
                ASSERT_EQ(maps.first.constScanLine(row)[column],
                          greyLevel(value.real(), *request.range));
                ASSERT_EQ(maps.second.constScanLine(row)[column],
                          greyLevel(value.imag(), *request.range));
            }
        }
    }
}

}  // namespace

#include "raster_surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <tuple>

#include "headless_controls.h"
#include "plot_run.h"

using namespace complexplot;

namespace {

const RgbColour kMagenta{255, 0, 255};

RgbColour pixelAt(const RasterSurface& surface, int column, int row) {
    const QRgb pixel = surface.image().pixel(column, row);
    return RgbColour{static_cast<std::uint8_t>(qRed(pixel)),
                     static_cast<std::uint8_t>(qGreen(pixel)),
                     static_cast<std::uint8_t>(qBlue(pixel))};
}

int countPixels(const RasterSurface& surface, RgbColour colour) {
    int count = 0;
    for (int row = 0; row < surface.image().height(); ++row) {
        for (int column = 0; column < surface.image().width(); ++column) {
            count += pixelAt(surface, column, row) == colour ? 1 : 0;
        }
    }
    return count;
}

// FNV-1a over the decoded red, green and blue bytes, row by row. It does not
// depend on how an encoder compresses the picture.
std::uint64_t pixelChecksum(const QImage& image) {
    std::uint64_t hash = 14695981039346656037ull;
    auto add = [&](int byte) {
        hash ^= static_cast<std::uint64_t>(byte);
        hash *= 1099511628211ull;
    };
    for (int row = 0; row < image.height(); ++row) {
        for (int column = 0; column < image.width(); ++column) {
            const QRgb pixel = image.pixel(column, row);
            add(qRed(pixel));
            add(qGreen(pixel));
            add(qBlue(pixel));
        }
    }
    return hash;
}

std::string hex(std::uint64_t value) {
    char text[19];
    std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(value));
    return text;
}

void frameLikeTheRun(RasterSurface& surface, std::int16_t index) {
    const Preset preset = LoadPreset(index);
    SetPlotScale(surface, preset.XMin, preset.YMax + preset.StepY, preset.XMax + preset.StepX,
                 preset.YMin);
}

}  // namespace

TEST(RasterSurface, StartsBlankInItsBackgroundAtTheBaseSize) {
    const RasterSurface surface(1, kMagenta);
    EXPECT_EQ(surface.image().width(), 257);
    EXPECT_EQ(surface.image().height(), 249);
    EXPECT_EQ(countPixels(surface, kMagenta), 257 * 249);
    const RasterSurface large(3);
    EXPECT_EQ(large.image().width(), 771);
    EXPECT_EQ(large.image().height(), 747);
}

TEST(RasterSurface, AxesFallOnTheCheckpointColumnsAndRows) {
    struct Checkpoint {
        std::int16_t index;
        int column;
        int row;
    };
    for (const Checkpoint& checkpoint :
         {Checkpoint{kPresetSin, 127, 126}, Checkpoint{kPresetCos, 127, 126},
          Checkpoint{kPresetTan, 127, 126}, Checkpoint{kPresetLog, 128, 125},
          Checkpoint{kPresetArcTan, 128, 125}}) {
        RasterSurface surface;
        frameLikeTheRun(surface, checkpoint.index);
        EXPECT_EQ(surface.pixelColumn(0.0f), checkpoint.column) << checkpoint.index;
        EXPECT_EQ(surface.pixelRow(0.0f), checkpoint.row) << checkpoint.index;
    }
}

TEST(RasterSurface, BoxCoversBothRoundedEndsAndTheLaterBoxWinsTheSharedEdge) {
    RasterSurface surface(1, kMagenta);
    // The default frame is the pixel grid: user units are pixels.
    surface.fillBox(10.4f, 20.6f, 12.5f, 22.49f, RgbColour{1, 1, 1});
    // Columns round(10.4)=10 .. round(12.5)=13, rows round(20.6)=21 .. round(22.49)=22.
    EXPECT_EQ(countPixels(surface, RgbColour{1, 1, 1}), 4 * 2);
    EXPECT_EQ(pixelAt(surface, 10, 21), (RgbColour{1, 1, 1}));
    EXPECT_EQ(pixelAt(surface, 13, 22), (RgbColour{1, 1, 1}));
    EXPECT_EQ(pixelAt(surface, 14, 22), kMagenta);
    EXPECT_EQ(pixelAt(surface, 13, 23), kMagenta);

    surface.fillBox(13.0f, 22.0f, 11.0f, 21.0f, RgbColour{2, 2, 2});  // corners in any order
    EXPECT_EQ(pixelAt(surface, 13, 22), (RgbColour{2, 2, 2}));
    EXPECT_EQ(pixelAt(surface, 10, 21), (RgbColour{1, 1, 1}));
}

// A new frame moves the very same coordinates.
TEST(RasterSurface, NewFrameMovesTheSameCoordinates) {
    RasterSurface surface(1, kMagenta);
    const RgbColour ink{9, 9, 9};
    auto paintColumn = [&] {
        surface.fillBox(10.0f, 10.0f, 11.0f, 11.0f, ink);
        surface.fillBox(10.0f, 11.0f, 11.0f, 12.0f, ink);
    };
    paintColumn();
    EXPECT_EQ(pixelAt(surface, 10, 10), ink);
    for (const auto& [change, column, row] :
         {std::tuple{std::function<void()>([&] { surface.setScaleTop(-100.0f); }), 10, 110},
          std::tuple{std::function<void()>([&] { surface.setScaleHeight(124.5f); }), 10, 220},
          std::tuple{std::function<void()>([&] { surface.setScaleLeft(-20.0f); }), 30, 220},
          std::tuple{std::function<void()>([&] { surface.setScaleWidth(128.5f); }), 60, 220}}) {
        surface.Cls();
        change();
        paintColumn();
        EXPECT_EQ(pixelAt(surface, column, row), ink) << column << " " << row;
    }
}

TEST(RasterSurface, ClipsAtTheEdgesAndIgnoresNaN) {
    RasterSurface surface(1, kMagenta);
    surface.fillBox(-1e30f, -5.0f, 1.0f, 1e30f, RgbColour{3, 3, 3});
    EXPECT_EQ(countPixels(surface, RgbColour{3, 3, 3}), 2 * 249);
    surface.fillBox(300.0f, 300.0f, 400.0f, 400.0f, RgbColour{4, 4, 4});
    surface.fillBox(std::nanf(""), 0.0f, 5.0f, 5.0f, RgbColour{4, 4, 4});
    EXPECT_EQ(countPixels(surface, RgbColour{4, 4, 4}), 0);
}

TEST(RasterSurface, LineIsOnePixelFromRoundedStartToRoundedEnd) {
    RasterSurface surface(1, kMagenta);
    surface.drawLine(2.6f, 5.2f, 7.4f, 5.2f, RgbColour{255, 0, 0});
    EXPECT_EQ(countPixels(surface, RgbColour{255, 0, 0}), 5);  // columns 3..7
    EXPECT_EQ(pixelAt(surface, 3, 5), (RgbColour{255, 0, 0}));
    EXPECT_EQ(pixelAt(surface, 7, 5), (RgbColour{255, 0, 0}));
    surface.drawLine(100.0f, 300.0f, 100.0f, -50.0f, RgbColour{0, 0, 255});
    EXPECT_EQ(countPixels(surface, RgbColour{0, 0, 255}), 249);
}

TEST(RasterSurface, ClsShowsTheBackgroundAndMarksTheWholeArea) {
    RasterSurface surface(1, kMagenta);
    EXPECT_TRUE(surface.takeChangedArea().isNull());
    surface.fillBox(1.0f, 2.0f, 3.0f, 4.0f, RgbColour{});
    surface.fillBox(30.0f, 5.0f, 31.0f, 6.0f, RgbColour{});
    EXPECT_EQ(surface.takeChangedArea(), QRect(QPoint(1, 2), QPoint(31, 6)));
    EXPECT_TRUE(surface.takeChangedArea().isNull());
    surface.Cls();
    EXPECT_EQ(countPixels(surface, kMagenta), 257 * 249);
    EXPECT_EQ(surface.takeChangedArea(), QRect(0, 0, 257, 249));
}

// The cells of every preset tile the whole area, at every scale.
TEST(RasterSurface, EveryPresetLeavesNoBackgroundPixel) {
    for (const int scale : {1, 2}) {
        for (std::int16_t index = 0; index < kPresetCount; ++index) {
            WindowState state;
            RasterSurface picture1(scale, kMagenta);
            RasterSurface picture2(scale, kMagenta);
            // The run draws on magenta surfaces, swapped in for the usual ones.
            struct MagentaControls : HeadlessControls {
                RasterSurface& first;
                RasterSurface& second;
                MagentaControls(RasterSurface& a, RasterSurface& b) : first(a), second(b) {}
                PictureSurface& Picture1() override { return first; }
                PictureSurface& Picture2() override { return second; }
            } magenta(picture1, picture2);
            Command1_Click(index, magenta, state);
            EXPECT_EQ(countPixels(picture1, kMagenta), 0) << index << " x" << scale;
            EXPECT_EQ(countPixels(picture2, kMagenta), 0) << index << " x" << scale;
        }
    }
}

struct Golden {
    std::int16_t index;
    bool axes;
    std::uint64_t real;
    std::uint64_t imaginary;
};

// Checksums of the decoded pixels of both pictures after a click. They change
// only when the drawing changes on purpose; then print the new ones from the
// failure message and update them here.
TEST(RasterSurface, GoldenPixelsOfEveryPreset) {
    const Golden goldens[] = {
        {kPresetSin, false, 0xef79c84974a8a482, 0x6e280ad0633ad5b1},
        {kPresetLog, false, 0x3336a869e5f46831, 0x242c01a0277fbc95},
        {kPresetCos, false, 0x3205b640d98a7e8e, 0x45df3259d4884968},
        {kPresetTan, false, 0xbbe690938b0304c7, 0x96b75da554b89fd8},
        {kPresetArcTan, false, 0xe3d30554a4659620, 0x45ceb1a571f0a568},
        {kPresetLog, true, 0xb5d52120ce8b1616, 0xa11b56160f850b92},
    };
    // One window for all the clicks, as a user makes them: nothing of one
    // frame may leak into the next.
    HeadlessControls controls;
    WindowState state;
    for (const Golden& golden : goldens) {
        controls.setCheckValue(golden.axes ? 1 : 0);
        Command1_Click(golden.index, controls, state);
        const std::uint64_t real = pixelChecksum(controls.picture1().image());
        const std::uint64_t imaginary = pixelChecksum(controls.picture2().image());
        EXPECT_EQ(hex(real), hex(golden.real))
            << PresetName(golden.index) << " axes " << golden.axes;
        EXPECT_EQ(hex(imaginary), hex(golden.imaginary))
            << PresetName(golden.index) << " axes " << golden.axes;
    }
}

TEST(RasterSurface, AxesAreRedAndBlueOnTheCheckpointLines) {
    HeadlessControls controls(1, 1);
    WindowState state;
    Command1_Click(kPresetLog, controls, state);
    for (const RasterSurface* picture : {&controls.picture1(), &controls.picture2()}) {
        EXPECT_EQ(pixelAt(*picture, 0, 125), (RgbColour{255, 0, 0}));
        EXPECT_EQ(pixelAt(*picture, 256, 125), (RgbColour{255, 0, 0}));
        EXPECT_EQ(pixelAt(*picture, 128, 0), (RgbColour{0, 0, 255}));
        // The imaginary axis is drawn last and crosses the real one.
        EXPECT_EQ(pixelAt(*picture, 128, 125), (RgbColour{0, 0, 255}));
        EXPECT_EQ(countPixels(*picture, RgbColour{255, 0, 0}), 256);
        EXPECT_EQ(countPixels(*picture, RgbColour{0, 0, 255}), 249);
    }
}

// In print a one-pixel axis vanishes: at scale N it is N pixels wide,
// centred on where the one-pixel line lies at that scale.
TEST(RasterSurface, AxesAreAsWideAsTheScale) {
    for (const int scale : {2, 3}) {
        HeadlessControls controls(scale, 1);
        WindowState state;
        Command1_Click(kPresetTan, controls, state);
        const RasterSurface& picture = controls.picture1();
        const int row = picture.pixelRow(0.0f);
        const int column = picture.pixelColumn(0.0f);
        const int first = -(scale - 1) / 2;
        const int last = scale / 2;
        for (int offset = first - 1; offset <= last + 1; ++offset) {
            const bool inside = offset >= first && offset <= last;
            EXPECT_EQ(pixelAt(picture, 3, row + offset) == (RgbColour{255, 0, 0}), inside)
                << scale << " " << offset;
            EXPECT_EQ(pixelAt(picture, column + offset, 3) == (RgbColour{0, 0, 255}), inside)
                << scale << " " << offset;
        }
    }
}

#include "plot_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "error_number.h"
#include "recording_controls.h"

using namespace complexplot;
using complexplot::testing::errorNumberOf;
using complexplot::testing::RecordedBox;
using complexplot::testing::RecordingControls;

namespace {

std::string squares(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        text += "\u25A0";
    }
    return text;
}

int squareCount(const std::string& caption) {
    return static_cast<int>(caption.size() / std::string("\u25A0").size());
}

// The distinct left edges of the cells, in painting order.
std::vector<float> columnEdges(const std::vector<RecordedBox>& boxes) {
    std::vector<float> edges;
    for (const RecordedBox& box : boxes) {
        if (edges.empty() || edges.back() != box.x1) {
            edges.push_back(box.x1);
        }
    }
    return edges;
}

const RecordedBox& boxNearestOrigin(const std::vector<RecordedBox>& boxes) {
    return *std::min_element(boxes.begin(), boxes.end(), [](const auto& a, const auto& b) {
        return std::hypot(a.x1, a.y1) < std::hypot(b.x1, b.y1);
    });
}

}  // namespace

TEST(GreyLevel, EndsOfTheRangeAndClamping) {
    const WindowState range{-1, 1};
    EXPECT_EQ(GreyLevel(-1, range), 0);
    EXPECT_EQ(GreyLevel(1, range), 255);
    EXPECT_EQ(GreyLevel(0, range), 127);
    EXPECT_EQ(GreyLevel(-268.5, range), 0);
    EXPECT_EQ(GreyLevel(268.5, range), 255);
    EXPECT_EQ(GreyLevel(0.999, range), 254);
    // floor, not round: just below a step stays on the lower level.
    EXPECT_EQ(GreyLevel(-1 + 2.0 / 255 * 0.999, range), 0);
}

TEST(GreyLevel, EmptyRangeRaisesDivisionErrors) {
    const WindowState unset;
    EXPECT_EQ(errorNumberOf([&] { GreyLevel(1, unset); }), RuntimeError::kDivisionByZero);
    EXPECT_EQ(errorNumberOf([&] { GreyLevel(0, unset); }), RuntimeError::kInvalidCall);
}

TEST(ProgressBar, CountsSquares) {
    EXPECT_EQ(ProgressBar(0), "");
    EXPECT_EQ(ProgressBar(1), "\u25A0");
    EXPECT_EQ(ProgressBar(40), squares(40));
}

TEST(LoadPreset, UnknownIndexRaisesInvalidCall) {
    EXPECT_EQ(errorNumberOf([] { LoadPreset(5); }), RuntimeError::kInvalidCall);
    EXPECT_EQ(errorNumberOf([] { LoadPreset(-1); }), RuntimeError::kInvalidCall);
    EXPECT_EQ(LoadPreset(kPresetLog).RangeMin, -9.210340371976182);
    EXPECT_EQ(LoadPreset(kPresetLog).RangeMax, 1.6094379124341003);
}

TEST(PlotRun, CallsThePlatformInOrder) {
    RecordingControls controls;
    WindowState state;
    Command1_Click(kPresetSin, controls, state);
    const std::vector<std::string>& log = controls.log.entries();

    const std::vector<std::string> start(log.begin(), log.begin() + 17);
    const std::vector<std::string> expectedStart = {
        "Picture1.Cls",
        "Picture2.Cls",
        "frmMain.MousePointer?",
        "frmMain.MousePointer 11",
        "frmMain.Caption Sin Z",
        "Picture1.ScaleTop 6.40884924",
        "Picture1.ScaleLeft -6.28318548",
        "Picture1.ScaleWidth 12.6920347",
        "Picture1.ScaleHeight -12.6920347",
        "Picture2.ScaleTop 6.40884924",
        "Picture2.ScaleLeft -6.28318548",
        "Picture2.ScaleWidth 12.6920347",
        "Picture2.ScaleHeight -12.6920347",
        "Label2.Caption ",
        "Label2.Refresh",
        "DoEvents",
        "boxes 202",
    };
    EXPECT_EQ(start, expectedStart);

    const std::vector<std::string> end(log.end() - 7, log.end());
    const std::vector<std::string> expectedEnd = {
        "Label2.Caption " + squares(40),
        "Label2.Refresh",
        "DoEvents",
        "boxes 202",
        "Check1.Value?",
        "Label2.Caption ",
        "frmMain.MousePointer 0",
    };
    EXPECT_EQ(end, expectedEnd);

    // In between, every column is caption, repaint, events, then its cells.
    for (std::size_t i = 13; i + 7 < log.size(); i += 4) {
        EXPECT_TRUE(log[i].starts_with("Label2.Caption")) << i;
        EXPECT_EQ(log[i + 1], "Label2.Refresh");
        EXPECT_EQ(log[i + 2], "DoEvents");
        EXPECT_EQ(log[i + 3], "boxes 202");
    }
}

struct GridExpectation {
    std::int16_t index;
    int cellsPerAxis;
    double columnNearestZero;
};

class PlotGrid : public ::testing::TestWithParam<GridExpectation> {};

TEST_P(PlotGrid, AccumulatedStepsGiveTheCellCount) {
    const GridExpectation expected = GetParam();
    RecordingControls controls;
    WindowState state;
    Command1_Click(expected.index, controls, state);
    const Preset preset = LoadPreset(expected.index);
    const int n = expected.cellsPerAxis;

    EXPECT_EQ(controls.eventTurns, n);
    ASSERT_EQ(controls.picture1.boxes.size(), std::size_t(n) * n);
    ASSERT_EQ(controls.picture2.boxes.size(), std::size_t(n) * n);

    // Columns left to right, rows bottom up, and the far edges summed in
    // double before rounding to float.
    const std::vector<float> columns = columnEdges(controls.picture1.boxes);
    ASSERT_EQ(columns.size(), std::size_t(n));
    EXPECT_TRUE(std::is_sorted(columns.begin(), columns.end()));
    EXPECT_EQ(columns.front(), static_cast<float>(preset.XMin));
    EXPECT_EQ(controls.picture1.boxes.front().y1, static_cast<float>(preset.YMin));
    EXPECT_LT(controls.picture1.boxes[0].y1, controls.picture1.boxes[1].y1);
    EXPECT_EQ(controls.picture1.boxes.back().x2, static_cast<float>(preset.XMax + preset.StepX));
    EXPECT_EQ(controls.picture1.boxes.back().y2, static_cast<float>(preset.YMax + preset.StepY));

    // Rounding accumulates: the column nearest zero is not at zero.
    const float nearestZero =
        *std::min_element(columns.begin(), columns.end(),
                          [](float a, float b) { return std::fabs(a) < std::fabs(b); });
    EXPECT_NEAR(nearestZero, expected.columnNearestZero,
                std::fabs(expected.columnNearestZero) * 0.05);
}

INSTANTIATE_TEST_SUITE_P(Presets, PlotGrid,
                         ::testing::Values(GridExpectation{kPresetSin, 101, 3.6e-15},
                                           GridExpectation{kPresetLog, 401, 1.6e-15},
                                           GridExpectation{kPresetCos, 101, 3.6e-15},
                                           GridExpectation{kPresetTan, 101, 9.0e-16},
                                           GridExpectation{kPresetArcTan, 401, 1.6e-15}),
                         [](const ::testing::TestParamInfo<GridExpectation>& info) {
                             return std::string(PresetName(info.param.index));
                         });

TEST(PlotRun, CellsAtTheSingularPoints) {
    const RgbColour grey127{127, 127, 127};
    const RgbColour black{0, 0, 0};
    WindowState state;

    RecordingControls sine;
    Command1_Click(kPresetSin, sine, state);
    EXPECT_EQ(boxNearestOrigin(sine.picture1.boxes).colour, grey127);
    EXPECT_EQ(boxNearestOrigin(sine.picture2.boxes).colour, grey127);

    RecordingControls logarithm;
    Command1_Click(kPresetLog, logarithm, state);
    EXPECT_EQ(boxNearestOrigin(logarithm.picture1.boxes).colour, black);
    EXPECT_EQ(boxNearestOrigin(logarithm.picture2.boxes).colour, black);

    // The whole column nearest x = 0 lies on the arctangent's strip.
    RecordingControls arcTangent;
    Command1_Click(kPresetArcTan, arcTangent, state);
    const float stripColumn = boxNearestOrigin(arcTangent.picture1.boxes).x1;
    int stripCells = 0;
    for (const auto* boxes : {&arcTangent.picture1.boxes, &arcTangent.picture2.boxes}) {
        for (const RecordedBox& box : *boxes) {
            if (box.x1 == stripColumn) {
                EXPECT_EQ(box.colour, grey127);
                ++stripCells;
            }
        }
    }
    EXPECT_EQ(stripCells, 2 * 401);
}

TEST(PlotRun, ProgressCountsUpToFortyAndEndsEmpty) {
    RecordingControls controls;
    WindowState state;
    Command1_Click(kPresetLog, controls, state);
    const std::vector<std::string>& captions = controls.captions;
    ASSERT_EQ(captions.size(), 402u);
    EXPECT_EQ(captions.front(), "");
    EXPECT_EQ(captions[400], squares(40));
    EXPECT_EQ(captions.back(), "");
    std::map<int, int> columnsPerCount;
    for (std::size_t i = 0; i < 401; ++i) {
        if (i > 0) {
            EXPECT_GE(squareCount(captions[i]), squareCount(captions[i - 1]));
        }
        ++columnsPerCount[squareCount(captions[i])];
    }
    // Every count from 0 to 40 shows, each for about ten columns.
    EXPECT_EQ(columnsPerCount.size(), 41u);
    for (const auto& [count, columns] : columnsPerCount) {
        EXPECT_GE(columns, 5) << count;
        EXPECT_LE(columns, 11) << count;
    }
}

TEST(PlotRun, AxesOnlyWhenTheCheckBoxIsExactlyOne) {
    for (const std::int16_t value : {0, 2, -1}) {
        RecordingControls controls;
        controls.check = value;
        WindowState state;
        Command1_Click(kPresetTan, controls, state);
        EXPECT_TRUE(controls.picture1.lines.empty()) << value;
        EXPECT_TRUE(controls.picture2.lines.empty()) << value;
    }

    RecordingControls controls;
    controls.check = 1;
    WindowState state;
    Command1_Click(kPresetTan, controls, state);
    const std::vector<std::string>& log = controls.log.entries();
    const std::vector<std::string> tail(log.end() - 7, log.end() - 2);
    const std::vector<std::string> expected = {
        "Check1.Value?",
        "Picture1.Line -1.57079637 0 1.60221231 0 255,0,0",
        "Picture1.Line 0 -1.57079637 0 1.60221231 0,0,255",
        "Picture2.Line -1.57079637 0 1.60221231 0 255,0,0",
        "Picture2.Line 0 -1.57079637 0 1.60221231 0,0,255",
    };
    EXPECT_EQ(tail, expected);
}

TEST(PlotRun, PointerIsHourglassDuringTheRunAndRestoredAfter) {
    RecordingControls controls;
    controls.pointer = 2;
    WindowState state;
    Command1_Click(kPresetCos, controls, state);
    EXPECT_EQ(controls.pointer, 2);
    EXPECT_EQ(controls.pointerDuringEvents, std::vector<std::int16_t>(101, kPointerHourglass));
}

// A click processed in the event turn runs completely inside the current
// run. The outer run then finishes its own grid, but with the nested run's
// range, title and frames, since those belong to the window.
TEST(PlotRun, NestedRunFromTheEventTurnChangesWhatTheOuterRunPaints) {
    RecordingControls controls;
    controls.pointer = 3;
    WindowState state;
    constexpr int kNestedAtColumn = 10;
    controls.onEvents = [&](int turn) {
        if (turn == kNestedAtColumn) {
            Command1_Click(kPresetSin, controls, state);
        }
    };
    Command1_Click(kPresetLog, controls, state);

    EXPECT_EQ(controls.eventTurns, 401 + 101);
    EXPECT_EQ(controls.title, "Sin Z");
    EXPECT_EQ(state.RangeMin, -1);
    EXPECT_EQ(state.RangeMax, 1);
    EXPECT_EQ(controls.picture1.scaleLeft, static_cast<float>(-6.28318530717958));
    EXPECT_EQ(controls.pointer, 3);
    EXPECT_EQ(controls.captions.back(), "");

    // The nested run cleared the pictures and painted its 101 x 101 cells;
    // the outer run then painted its remaining 391 columns on top.
    ASSERT_EQ(controls.picture1.boxes.size(), 101u * 101 + 391u * 401);
    // Its last cell, z = 2 + 2i, has ln|z| = 1.04: grey 241 on the log range,
    // but white on the sine's range that is now the window's.
    const Complex corner = ComplexLog(MakeComplex(2.000000000000003, 2.000000000000003));
    ASSERT_GT(corner.Re, 1.0);
    EXPECT_EQ(controls.picture1.boxes.back().colour, (RgbColour{255, 255, 255}));

    // The nested run saved and put back the hourglass; the outer run put back
    // what it had saved.
    EXPECT_TRUE(std::all_of(controls.pointerDuringEvents.begin(),
                            controls.pointerDuringEvents.end(),
                            [](std::int16_t code) { return code == kPointerHourglass; }));
}

TEST(PlotRun, EveryPresetRunsWithoutRaising) {
    RecordingControls controls;
    WindowState state;
    for (std::int16_t index = 0; index < kPresetCount; ++index) {
        EXPECT_NO_THROW(Command1_Click(index, controls, state)) << index;
    }
}

// An error stops the run at once: whatever was painted before it stays, and
// nothing after it is painted, not even the pointer is put back.
TEST(PlotRun, ErrorOfASurfaceStopsTheRunThere) {
    RecordingControls controls;
    controls.picture2.failFromFill = 150;
    WindowState state;
    EXPECT_EQ(errorNumberOf([&] { Command1_Click(kPresetTan, controls, state); }),
              RuntimeError::kInvalidCall);
    EXPECT_EQ(controls.picture1.boxes.size(), 151u);
    EXPECT_EQ(controls.picture2.boxes.size(), 150u);
    EXPECT_EQ(controls.eventTurns, 2);
    EXPECT_EQ(controls.pointer, kPointerHourglass);
}

// A range squeezed to almost nothing in the event turn makes the grey level
// of the first cell's imaginary part overflow, after its real part has been
// mapped and painted.
TEST(PlotRun, ErrorOfAGreyLevelLeavesTheCellsBeforeItPainted) {
    RecordingControls controls;
    WindowState state;
    constexpr int kColumnNearZero = 50;
    controls.onEvents = [&](int turn) {
        if (turn == kColumnNearZero) {
            state.RangeMin = 0;
            state.RangeMax = 7e-307;
        }
    };
    EXPECT_EQ(errorNumberOf([&] { Command1_Click(kPresetTan, controls, state); }),
              RuntimeError::kOverflow);
    EXPECT_EQ(controls.picture1.boxes.size(), 50u * 101 + 1);
    EXPECT_EQ(controls.picture2.boxes.size(), 50u * 101);
    EXPECT_EQ(controls.picture1.boxes.back().colour, (RgbColour{255, 255, 255}));
}

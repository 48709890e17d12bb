// Maps of an expression without Qt: where each pixel samples the plane, the
// automatic grey range, the points without a value, and the threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "grey_levels.h"
#include "grey_scale.h"
#include "instruction_sets.h"
#include "map_geometry.h"
#include "npy_file.h"
#include "value_grid.h"

using namespace complexplot;

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

MapGeometry geometry(double x0, double x1, double y0, double y1, int width, int height) {
    MapGeometry map;
    map.x0 = x0;
    map.x1 = x1;
    map.y0 = y0;
    map.y1 = y1;
    map.width = width;
    map.height = height;
    return map;
}

}  // namespace

// f(z) = z shows where every pixel samples: the centre of its square, by
// the documented formula, row 0 at the top.
TEST(FunctionMap, EveryPixelSamplesItsCentre) {
    const MapGeometry map = geometry(-2.0, 3.0, -1.0, 0.7, 7, 5);
    const auto values = computeValues(CompiledExpression("z"), map, 1);
    ASSERT_EQ(values.size(), 35u);
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 7; ++column) {
            const ComplexValue value = values[row * 7 + column];
            EXPECT_EQ(value.real(), -2.0 + (column + 0.5) * (3.0 - -2.0) / 7);
            EXPECT_EQ(value.imag(), 0.7 - (row + 0.5) * (0.7 - -1.0) / 5);
        }
    }
    EXPECT_GT(values.front().imag(), values.back().imag());
}

TEST(FunctionMap, SameValuesWhateverTheNumberOfThreads) {
    const MapGeometry map = geometry(-1.5, 2.5, -2.0, 1.0, 301, 203);
    const CompiledExpression function("exp(1/z) + sqrt(z)*cos(z) - atan(z)^3");
    const auto one = computeValues(function, map, 1);
    for (const int threads : {2, 3, 8}) {
        const auto more = computeValues(function, map, threads);
        EXPECT_EQ(std::memcmp(one.data(), more.data(), one.size() * sizeof(ComplexValue)), 0)
            << threads;
    }
}

// The ranges and greys, shared out over threads, are the same whatever
// their number, also with points without a value among the pieces.
TEST(FunctionMap, RangesAndGreysWhateverTheNumberOfThreads) {
    const MapGeometry map = geometry(-2.0, 2.0, -2.0, 2.0, 257, 129);
    const auto values = computeValues(CompiledExpression("1/(z^3-0.25) + 1/z"), map, 2);
    const GreyRange range = automaticRange(values, 1);
    const GreyRange real = automaticPartRange(values, Part::real, 1);
    const GreyMaps greys = greyMaps(values, range, 1);
    for (const int threads : {2, 3, 7}) {
        EXPECT_EQ(automaticRange(values, threads).high, range.high) << threads;
        EXPECT_EQ(automaticPartRange(values, Part::real, threads).low, real.low) << threads;
        EXPECT_EQ(automaticPartRange(values, Part::real, threads).high, real.high) << threads;
        const GreyMaps shared = greyMaps(values, range, threads);
        EXPECT_EQ(shared.real, greys.real) << threads;
        EXPECT_EQ(shared.imaginary, greys.imaginary) << threads;
        EXPECT_EQ(shared.withoutValue, greys.withoutValue) << threads;
    }
    EXPECT_FALSE(greys.withoutValue.empty());
}

// A pole exactly on a pixel centre: 1/z on an odd grid of a symmetric window
// samples z = 0 in its middle pixel, which has no value.
TEST(FunctionMap, PoleOnAPixelCentreHasNoValue) {
    const MapGeometry map = geometry(-2.0, 2.0, -2.0, 2.0, 5, 5);
    const auto values = computeValues(CompiledExpression("1/z"), map, 2);
    const GreyMaps maps = greyMaps(values, automaticRange(values));
    EXPECT_EQ(maps.withoutValue, std::vector<std::size_t>{12});
    EXPECT_FALSE(hasValue(values[12]));
}

// The range is -M..M with M the 98th percentile of the parts' sizes, so that
// a few huge values near a pole leave the rest of the map its greys.
TEST(FunctionMap, AutomaticRangeIsThe98thPercentileOfBothParts) {
    std::vector<ComplexValue> values;
    for (int k = 1; k <= 50; ++k) {
        values.emplace_back(k, -k);  // sizes 1..50, each twice: 100 sizes
    }
    // Nearest rank: the 98th of 100 sizes in order is 49.
    EXPECT_EQ(automaticRange(values).high, 49.0);
    EXPECT_EQ(automaticRange(values).low, -49.0);
    // Points without a value take no part, not even their finite half.
    values.emplace_back(1e300, kInfinity);
    values.emplace_back(kNaN, 1e300);
    EXPECT_EQ(automaticRange(values).high, 49.0);
    // A huge value near a pole moves the range by a rank, not to its size.
    values.emplace_back(1e12, 0);
    EXPECT_EQ(automaticRange(values).high, 50.0);
    // Nothing to measure, or only zeros: -1..1.
    EXPECT_EQ(automaticRange(std::vector<ComplexValue>{{0, 0}, {0, 0}}).high, 1.0);
    EXPECT_EQ(automaticRange(std::vector<ComplexValue>{{kNaN, 0}}).low, -1.0);
    // Sizes that share their top bits are told apart: a group of sizes
    // 1 + k/2^40 is one group, ordered within.
    std::vector<ComplexValue> close;
    for (int k = 0; k < 1000; ++k) {
        close.emplace_back(1.0 + k * 0x1p-40, 0.0);
    }
    // 2000 sizes: 1000 zeros, then 1 + k/2^40; rank 1960 is k = 959.
    EXPECT_EQ(automaticRange(close).high, 1.0 + 959 * 0x1p-40);
}

// The percentiles of large maps are found from a sample first and then
// checked; they are the nearest ranks of all the numbers however the
// sample misleads. Each arrangement of 100,000 points against the numbers
// sorted.
class PercentilesOfLargeMaps : public testing::TestWithParam<const char*> {
protected:
    static std::vector<ComplexValue> arranged(const std::string& how) {
        std::vector<ComplexValue> values(100000);
        for (std::size_t k = 0; k < values.size(); ++k) {
            const double x = static_cast<double>(k);
            if (how == "ramp") {
                values[k] = {x, -x / 2};
            } else if (how == "lattice") {
                // Every 8th point huge, where an even sample would look.
                values[k] = k % 8 == 0 ? ComplexValue(1e6 + x, -1e6) : ComplexValue(k % 7, 0.5);
            } else if (how == "none where sampled") {
                // The sample finds no value; the rest of the map has one.
                values[k] = k % sampleStride(values.size()) == 0 ? ComplexValue(kNaN, 0.0)
                                                                 : ComplexValue(x, -x / 3);
            } else if (how == "few values") {
                values[k] = {k % 1000 == 0 ? 2.0 : 1.0, k % 3 == 0 ? -0.0 : 0.0};
            } else {  // holes: points without a value, and signed zeros
                values[k] = k % 5 == 0   ? ComplexValue(kNaN, x)
                            : k % 5 == 1 ? ComplexValue(-0.0, kInfinity)
                                         : ComplexValue(std::sin(x), (k % 2 ? -0.0 : 0.0));
            }
        }
        return values;
    }

    // The nearest rank's number of all `numbers`, in the order of their bits
    // (so -0 before 0).
    static double nearestRank(std::vector<double> numbers, int percent) {
        std::sort(numbers.begin(), numbers.end(), [](double a, double b) {
            return a < b || (a == b && std::signbit(a) && !std::signbit(b));
        });
        const std::size_t rank = std::max<std::size_t>(1, (percent * numbers.size() + 99) / 100);
        return numbers[rank - 1];
    }
};

TEST_P(PercentilesOfLargeMaps, AreTheNearestRanksOfAllNumbers) {
    const std::vector<ComplexValue> values = arranged(GetParam());
    std::vector<double> sizes;
    std::vector<double> reals;
    for (const ComplexValue value : values) {
        if (hasValue(value)) {
            sizes.push_back(std::fabs(value.real()));
            sizes.push_back(std::fabs(value.imag()));
            reals.push_back(value.real());
        }
    }
    const double size = nearestRank(sizes, 98);
    const double first = nearestRank(reals, 1);
    const double last = nearestRank(reals, 99);
    for (const int threads : {1, 3}) {
        if (size > 0) {
            EXPECT_EQ(automaticRange(values, threads).high, size) << threads;
        }
        const GreyRange real = automaticPartRange(values, Part::real, threads);
        if (first != last) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(real.low), std::bit_cast<std::uint64_t>(first));
            EXPECT_EQ(real.high, last) << threads;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Arrangements, PercentilesOfLargeMaps,
                         testing::Values("ramp", "lattice", "few values", "holes",
                                         "none where sampled"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

// Each part's own range runs from its 1st to its 99th percentile (nearest
// rank), signs and all, over the points that have a value.
TEST(FunctionMap, PartRangeIsTheFirstToThe99thPercentileOfThatPart) {
    std::vector<ComplexValue> values;
    for (int k = 1; k <= 200; ++k) {
        values.emplace_back(-3.0 * k, 1000.0 + k);
    }
    values.emplace_back(kNaN, -1e300);  // no value: neither part counts
    // Of 200 in order, rank 2 and rank 198.
    const GreyRange real = automaticPartRange(values, Part::real);
    EXPECT_EQ(real.low, -3.0 * 199);
    EXPECT_EQ(real.high, -3.0 * 3);
    const GreyRange imaginary = automaticPartRange(values, Part::imaginary);
    EXPECT_EQ(imaginary.low, 1002.0);
    EXPECT_EQ(imaginary.high, 1198.0);
    // -0.0 and 0.0 are one value; a part with one value gets a range about it.
    const std::vector<ComplexValue> flat = {{0.0, 5.0}, {-0.0, 5.0}};
    EXPECT_EQ(automaticPartRange(flat, Part::real).low, -1.0);
    EXPECT_EQ(automaticPartRange(flat, Part::imaginary).high, 7.5);
    // The maps of the two ranges: each part on its own.
    const GreyMaps maps = greyMaps(values, real, imaginary);
    EXPECT_EQ(maps.real[0], 255);
    EXPECT_EQ(maps.imaginary[0], 0);
    EXPECT_EQ(maps.withoutValue, std::vector<std::size_t>{200});
}

TEST(FunctionMap, GreyLevelEndsAndClamping) {
    const GreyRange range{-2.0, 2.0};
    EXPECT_EQ(greyLevel(-2.0, range), 0);
    EXPECT_EQ(greyLevel(2.0, range), 255);
    EXPECT_EQ(greyLevel(0.0, range), 127);
    EXPECT_EQ(greyLevel(-1e300, range), 0);
    EXPECT_EQ(greyLevel(1e300, range), 255);
    EXPECT_EQ(greyLevel(1.99, range), 254);
    EXPECT_EQ(greyLevel(-1.99, range), 0);
}

// A map nearly all on three greys is washed out; one of a single grey is
// a constant part, and one of many greys is not.
TEST(FunctionMap, WashedOutMapsAreThoseOfAFewGreys) {
    std::vector<std::uint8_t> greys(1000, 128);
    EXPECT_FALSE(looksWashedOut(greys));  // one grey: a constant part
    for (std::size_t k = 0; k < 10; ++k) {
        greys[k] = static_cast<std::uint8_t>(k);  // 1 % spread out
    }
    greys[500] = greys[501] = 127;
    EXPECT_TRUE(looksWashedOut(greys));
    for (std::size_t k = 502; k < 508; ++k) {
        greys[k] = static_cast<std::uint8_t>(k - 300);  // 1.5 % off the three
    }
    EXPECT_FALSE(looksWashedOut(greys));
    for (std::size_t k = 0; k < greys.size(); ++k) {
        greys[k] = static_cast<std::uint8_t>(k);
    }
    EXPECT_FALSE(looksWashedOut(greys));
}

// The answer is the whole map's wherever its few other greys lie: at its
// start, where the first rows alone could be taken for a map of many
// greys, at its end, or spread all over. 300,000 points on grey 128 but
// for some on 200 others: 3,000 of them leave 99.01 % on three greys,
// 3,100 leave 98.98 %.
TEST(FunctionMap, WashedOutWhereverTheOtherGreysLie) {
    constexpr std::size_t kPoints = 300000;
    for (const auto& [others, washedOut] :
         {std::pair{std::size_t{3000}, true}, std::pair{std::size_t{3100}, false}}) {
        for (const char* where : {"start", "end", "spread"}) {
            std::vector<std::uint8_t> greys(kPoints, 128);
            for (std::size_t k = 0; k < others; ++k) {
                const std::size_t at = where == std::string("start") ? k
                                       : where == std::string("end") ? kPoints - 1 - k
                                                                     : k * (kPoints / others);
                greys[at] = static_cast<std::uint8_t>(k % 200);
            }
            EXPECT_EQ(looksWashedOut(greys), washedOut) << others << " at the " << where;
        }
    }
}

// The counts are kept in several tables, taken in turn: the points past
// the last whole turn are counted too. Here three of them make the map
// washed out (two in a hundred off the main grey, but on two greys).
TEST(FunctionMap, WashedOutCountsEveryPointWhateverTheLength) {
    for (const std::size_t length : {103, 203}) {
        std::vector<std::uint8_t> greys(length, 40);
        greys[length - 3] = 200;
        greys[length - 2] = greys[length - 1] = 201;
        EXPECT_TRUE(looksWashedOut(greys)) << length;
    }
}

// The rows are handed over once each, as made, and the range tallied from
// them is the one found afterwards, whatever the number of threads and
// with points without a value among them.
TEST(FunctionMap, RangeCountedAsTheRowsAreMadeIsTheSame) {
    const MapGeometry map = geometry(-2.0, 2.0, -1.5, 1.5, 203, 77);
    const CompiledExpression function("1/(z^3-0.25) + exp(1/z)");
    const std::size_t points = static_cast<std::size_t>(map.width) * map.height;
    const std::vector<ComplexValue> sample = sampleValues(function, map, sampleStride(points));
    // A sample that misleads (every size there a million) costs a pass over
    // the values, not the answer.
    const std::vector<ComplexValue> misleading(sample.size(), ComplexValue(1e6, 1e6));
    for (const auto& [threads, given] : {std::pair{1, &sample}, std::pair{2, &sample},
                                         std::pair{3, &sample}, std::pair{2, &misleading}}) {
        PartSizeTally counted(*given, points, threads);
        std::vector<std::atomic<int>> handed(static_cast<std::size_t>(map.height));
        LargeVector<ComplexValue> values(points);
        computeValues(function, map, threads, values, {}, nullptr,
                      [&](std::span<const ComplexValue> row, int worker) {
                          ASSERT_EQ(row.size(), static_cast<std::size_t>(map.width));
                          const auto index = (row.data() - values.data()) / map.width;
                          ++handed[static_cast<std::size_t>(index)];
                          ASSERT_LT(worker, threads);
                          counted.add(row, worker);
                      });
        for (const auto& times : handed) {
            EXPECT_EQ(times.load(), 1);
        }
        const GreyRange afterwards = automaticRange(values, threads);
        const GreyRange asMade = counted.automaticRange(values, threads);
        EXPECT_EQ(asMade.low, afterwards.low) << threads;
        EXPECT_EQ(asMade.high, afterwards.high) << threads;
    }
}

TEST(FunctionMap, AxesRunThroughThePixelsHoldingZero) {
    // Symmetric with an even count: y = 0 is the edge between rows 1 and 2,
    // and belongs to the row below it.
    EXPECT_EQ(geometry(-2, 2, -2, 2, 4, 4).realAxisRow(), 2);
    EXPECT_EQ(geometry(-2, 2, -2, 2, 4, 4).imaginaryAxisColumn(), 2);
    EXPECT_EQ(geometry(-1, 3, -3, 1, 8, 8).imaginaryAxisColumn(), 2);
    EXPECT_EQ(geometry(-1, 3, -3, 1, 8, 8).realAxisRow(), 2);
    // On the far edges, and outside.
    EXPECT_EQ(geometry(0, 1, -1, 0, 10, 10).realAxisRow(), 0);
    EXPECT_EQ(geometry(0, 1, 0, 1, 10, 10).realAxisRow(), 9);
    EXPECT_EQ(geometry(0, 1, -1, 0, 10, 10).imaginaryAxisColumn(), 0);
    EXPECT_EQ(geometry(-1, 0, -1, 0, 10, 10).imaginaryAxisColumn(), 9);
    EXPECT_EQ(geometry(1, 2, 1, 2, 10, 10).realAxisRow(), -1);
    EXPECT_EQ(geometry(1, 2, 1, 2, 10, 10).imaginaryAxisColumn(), -1);
}

TEST(FunctionMap, NpyHeaderIsAlignedAndDescribesTheGrid) {
    const std::string header = npyHeader(5, 7);
    EXPECT_EQ(header.size() % 64, 0u);
    EXPECT_EQ(header.substr(0, 8), std::string("\x93NUMPY\x01\x00", 8));
    EXPECT_EQ(static_cast<unsigned char>(header[8]) + 256 * static_cast<unsigned char>(header[9]),
              header.size() - 10);
    EXPECT_NE(header.find("{'descr': '<c16', 'fortran_order': False, 'shape': (5, 7), }"),
              std::string::npos);
    EXPECT_EQ(header.back(), '\n');
}

// A render called off stops: rows are no longer taken once it is asked, each
// worker ends the row (the block) it is on, and no grid is handed back.
TEST(FunctionMap, CancelledRenderStopsWithinABlockPerWorkerAndHandsBackNothing) {
    for (const int workers : {1, 2, 4}) {
        Cancellation cancellation;
        std::atomic<int> rowsDone{0};
        EXPECT_THROW(forEachRow(
                         1000, workers,
                         [&](int row, int) {
                             if (row == 10) {
                                 cancellation.request();
                             }
                             ++rowsDone;
                         },
                         {}, &cancellation),
                     RenderCancelled);
        // Row 10 and what the other workers had taken before they looked.
        EXPECT_LE(rowsDone.load(), 11 + workers) << workers;
    }
    // Asked before it starts: nothing of the grid is written, nothing handed
    // back.
    const MapGeometry map = geometry(-2.0, 2.0, -2.0, 2.0, 700, 3);
    std::vector<ComplexValue> values(700 * 3, ComplexValue(7.0, 7.0));
    Cancellation early;
    early.request();
    EXPECT_THROW(computeValues(CompiledExpression("sin(z)"), map, 2, values, {}, &early),
                 RenderCancelled);
    EXPECT_TRUE(std::all_of(values.begin(), values.end(),
                            [](ComplexValue v) { return v == ComplexValue(7.0, 7.0); }));
    EXPECT_THROW(computeValues(CompiledExpression("sin(z)"), map, 2, {}, &early), RenderCancelled);
    // Not asked: the same values, block by block, as without a cancellation.
    Cancellation never;
    const auto blocks = computeValues(CompiledExpression("exp(1/z)"), map, 2, {}, &never);
    const auto whole = computeValues(CompiledExpression("exp(1/z)"), map, 2);
    EXPECT_EQ(std::memcmp(blocks.data(), whole.data(), whole.size() * sizeof(ComplexValue)), 0);
}

// The views an explorer moves through: a zoom keeps the point it is about, a
// pan moves by whole pixels, a resize keeps the centre and the pixel size.
TEST(FunctionMap, ViewsZoomPanAndResizeAboutWhatTheyKeep) {
    const MapGeometry view = geometry(-2.0, 2.0, -1.0, 1.0, 400, 200);
    const MapGeometry zoomed = view.zoomedAbout(100, 50, 4.0);
    EXPECT_DOUBLE_EQ(zoomed.xAt(100), view.xAt(100));
    EXPECT_DOUBLE_EQ(zoomed.yAt(50), view.yAt(50));
    EXPECT_DOUBLE_EQ(zoomed.x1 - zoomed.x0, 1.0);
    const MapGeometry panned = view.pannedBy(10, -20);
    EXPECT_DOUBLE_EQ(panned.x0, -2.1);
    EXPECT_DOUBLE_EQ(panned.y0, -1.2);  // the map moved up: the view down
    const MapGeometry resized = view.resizedTo(800, 100);
    EXPECT_DOUBLE_EQ(resized.x1, 4.0);
    EXPECT_DOUBLE_EQ(resized.y1, 0.5);
    const MapGeometry band = view.zoomedInto(0, 0, 100, 100);
    EXPECT_DOUBLE_EQ((band.x1 - band.x0) / band.width, (band.y1 - band.y0) / band.height);
    // The end of zooming in: pixels a few units in the last place apart.
    EXPECT_FALSE(geometry(1.0, 1.0 + 1e-13, 0, 1e-13, 1000, 1000).pixelsAreDistinct());
    EXPECT_TRUE(geometry(1.0, 1.0 + 1e-9, 0, 1e-9, 1000, 1000).pixelsAreDistinct());
    EXPECT_FALSE(geometry(-2e15, 2e15, -1, 1, 10, 10).withinReach());

    ViewHistory history(view);
    history.push(zoomed);
    history.push(panned);
    EXPECT_TRUE(history.back());
    history.push(resized);  // drops the view ahead
    EXPECT_FALSE(history.forward());
    EXPECT_TRUE(history.back());
    EXPECT_TRUE(history.back());
    EXPECT_EQ(history.current(), view);
    EXPECT_FALSE(history.back());
}

namespace complexplot {
namespace {

using GreyLevelsOnEachSet = OnEachInstructionSet;

// Every set gives greyLevel's grey for every value, 0 for a value without
// one, and counts those: at the ends of the range and just inside them,
// beyond them by far, signed zeros, infinities and NaN in either part, and
// a count that leaves a partial vector at the end.
TEST_P(GreyLevelsOnEachSet, GiveTheGreysOfGreyLevelBitForBit) {
    const GreyRange realRange{-2.0, 3.0};
    const GreyRange imaginaryRange{0.1, 0.7};
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double specials[] = {-2.0,
                               3.0,
                               std::nextafter(3.0, 0.0),
                               std::nextafter(-2.0, 0.0),
                               -2.0 + 5.0 / 255,
                               std::nextafter(-2.0 + 5.0 / 255, 0.0),
                               0.1,
                               0.7,
                               0.4,
                               -0.0,
                               0.0,
                               1e300,
                               -1e300,
                               4.9e-324,
                               std::numeric_limits<double>::max(),
                               inf,
                               -inf,
                               nan};
    std::vector<ComplexValue> values;
    for (const double re : specials) {
        for (const double im : specials) {
            values.emplace_back(re, im);
        }
    }
    for (int k = 0; k < 1000; ++k) {
        values.emplace_back(-2.5 + 6.0 * k / 1000, 0.05 + 0.7 * k / 1000);
    }
    values.resize(values.size() - values.size() % 8 + 5);
    std::vector<std::uint8_t> real(values.size()), imaginary(values.size());
    const std::size_t without = greyLevels(GetParam(), values.data(), values.size(), realRange,
                                           imaginaryRange, real.data(), imaginary.data());
    std::size_t expectedWithout = 0;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const bool has = hasValue(values[k]);
        expectedWithout += has ? 0 : 1;
        EXPECT_EQ(real[k], has ? greyLevel(values[k].real(), realRange) : 0) << values[k];
        EXPECT_EQ(imaginary[k], has ? greyLevel(values[k].imag(), imaginaryRange) : 0) << values[k];
    }
    EXPECT_EQ(without, expectedWithout);
}

// The tally of the sizes |Re f|, |Im f| against a span, as the automatic
// range counts them while the rows are made: the same counts and the same
// sizes kept, in the same order, on every set, for spans with open ends,
// an empty one at zero (-0 counts as 0) and ones whose ends are sizes.
TEST_P(GreyLevelsOnEachSet, TallySizesAsThePlainRuleDoes) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double specials[] = {0.0, -0.0, 0.4, -0.4, 3.0, -3.0, 1e300, 4.9e-324, inf, nan};
    std::vector<ComplexValue> values;
    for (const double re : specials) {
        for (const double im : specials) {
            values.emplace_back(re, im);
        }
    }
    for (int k = 0; k < 997; ++k) {
        values.emplace_back(std::sin(k) * 4, std::cos(3 * k) * 0.9);
    }
    const std::pair<double, double> spans[] = {{-inf, inf}, {0.0, 0.0}, {0.4, 3.0},
                                               {-inf, 0.4}, {3.0, inf}, {1e300, inf}};
    for (const auto& [low, high] : spans) {
        SizeTally expected;
        std::vector<double> expectedWithin;
        for (const ComplexValue value : values) {
            if (!hasValue(value)) {
                continue;
            }
            expected.total += 2;
            for (const double size : {std::fabs(value.real()), std::fabs(value.imag())}) {
                expected.below += size < low ? 1 : 0;
                if (size >= low && size <= high) {
                    expectedWithin.push_back(size);
                }
            }
        }
        std::vector<double> within;
        const SizeTally tally =
            tallySizes(GetParam(), values.data(), values.size(), low, high, within);
        EXPECT_EQ(tally.total, expected.total) << low << " " << high;
        EXPECT_EQ(tally.below, expected.below) << low << " " << high;
        EXPECT_EQ(within, expectedWithin) << low << " " << high;
    }
}

INSTANTIATE_TEST_SUITE_P(InstructionSets, GreyLevelsOnEachSet,
                         testing::Values(InstructionSet::scalar, InstructionSet::avx2,
                                         InstructionSet::avx512),
                         testNameOf);

}  // namespace
}  // namespace complexplot

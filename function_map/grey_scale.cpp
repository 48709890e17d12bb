#include "grey_scale.h"

#include <array>
#include <functional>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>
#include <optional>
#include <string>
#include <utility>

#include "grey_levels.h"
#include "row_workers.h"

namespace complexplot {

namespace {

// The bits of a double as an integer that orders as the doubles do: a
// positive one with its sign bit set, a negative one with every bit
// flipped.
std::uint64_t orderedBits(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

// The values shared out in this many pieces, one after the other: each
// thread takes whole pieces, and what the pieces give is put together in
// their order, so the result does not depend on the number of threads.
constexpr int kPieces = 16;

template <typename Element>
std::span<const Element> piece(std::span<const Element> values, int index) {
    const std::size_t begin = values.size() * index / kPieces;
    const std::size_t end = values.size() * (index + 1) / kPieces;
    return values.subspan(begin, end - begin);
}

// Numbers are counted by the top 16 bits of their ordered bits (the sign,
// the exponent and 4 more): the count finds the group that holds a rank,
// and only that group is kept and ordered. Ordering them all would take
// far more memory than a map's greys, and a sort-like pass.
constexpr int kGroupShift = 48;
constexpr std::size_t kGroups = std::size_t{1} << (64 - kGroupShift);

std::uint64_t groupOf(double number) {
    return orderedBits(number) >> kGroupShift;
}

// |Re f| and |Im f|: the numbers of the shared range.
constexpr auto partSizes = [](ComplexValue value, auto emit) {
    emit(std::fabs(value.real()));
    emit(std::fabs(value.imag()));
};

// Whether an element counts: a value with one.
bool isCounted(ComplexValue value) {
    return hasValue(value);
}

// Counts the numbers of the values with one into `count`. A count holds
// fewer than 2^32: a map has at most 2^24 points, two numbers each.
template <typename Element, typename NumbersOf>
void countGroups(std::span<const Element> values, NumbersOf numbersOf,
                 std::vector<std::uint32_t>& count) {
    if (count.empty()) {
        count.assign(kGroups, 0);
    }
    for (const Element value : values) {
        if (isCounted(value)) {
            numbersOf(value, [&](double number) { ++count[groupOf(number)]; });
        }
    }
}

// Nearest rank: the smallest number that at least `percent` % of `count`
// numbers are at most.
std::size_t nearestRank(std::size_t count, int percent) {
    return std::max<std::size_t>(1, (percent * count + 99) / 100);
}

template <std::size_t N>
using Percentiles = std::array<std::optional<double>, N>;

// The percentiles (nearest rank) of the numbers that `numbersOf` gives for
// the elements that count, from their counts (one for each thread that
// counted, since sums of counts are the same in any order): each rank's
// group from the counts, then one pass that keeps the numbers of those
// groups, each group ordered as far as its rank. Nothing where no number
// counts.
template <std::size_t N, typename Element, typename NumbersOf>
Percentiles<N> percentilesCounted(std::span<const Element> values, int threads,
                                  const std::vector<std::vector<std::uint32_t>>& counts,
                                  const std::array<int, N>& percents, NumbersOf numbersOf) {
    std::vector<std::size_t> perGroup(kGroups, 0);
    for (const auto& count : counts) {
        for (std::size_t group = 0; group < count.size(); ++group) {
            perGroup[group] += count[group];
        }
    }
    const std::size_t total = std::accumulate(perGroup.begin(), perGroup.end(), std::size_t{0});
    if (total == 0) {
        return {};
    }
    std::array<std::uint64_t, N> groups{};
    std::array<std::size_t, N> ranks{};
    for (std::size_t k = 0; k < N; ++k) {
        std::size_t rank = nearestRank(total, percents[k]);
        std::uint64_t group = 0;
        while (rank > perGroup[group]) {
            rank -= perGroup[group++];
        }
        groups[k] = group;
        ranks[k] = rank;
    }
    std::vector<std::array<std::vector<double>, N>> kept(kPieces);
    forEachRow(kPieces, threads, [&](int index, int) {
        for (const Element value : piece(values, index)) {
            if (isCounted(value)) {
                numbersOf(value, [&](double number) {
                    const std::uint64_t group = groupOf(number);
                    for (std::size_t k = 0; k < N; ++k) {
                        if (group == groups[k]) {
                            kept[index][k].push_back(number);
                        }
                    }
                });
            }
        }
    });
    Percentiles<N> found;
    for (std::size_t k = 0; k < N; ++k) {
        std::vector<double> inGroup;
        inGroup.reserve(perGroup[groups[k]]);
        for (const auto& numbers : kept) {
            inGroup.insert(inGroup.end(), numbers[k].begin(), numbers[k].end());
        }
        const auto place = inGroup.begin() + static_cast<std::ptrdiff_t>(ranks[k] - 1);
        std::nth_element(inGroup.begin(), place, inGroup.end());
        found[k] = *place;
    }
    return found;
}

// The same, counting first: one count for each thread, not each piece,
// since the counts are large (a quarter of a megabyte) and filling fewer of
// them is most of the saving.
template <std::size_t N, typename Element, typename NumbersOf>
Percentiles<N> percentilesByCount(std::span<const Element> values, int threads,
                                  const std::array<int, N>& percents, NumbersOf numbersOf) {
    std::vector<std::vector<std::uint32_t>> counts(static_cast<std::size_t>(threads));
    forEachRow(kPieces, threads, [&](int index, int worker) {
        countGroups(piece(values, index), numbersOf, counts[static_cast<std::size_t>(worker)]);
    });
    return percentilesCounted(values, threads, counts, percents, numbersOf);
}

// The number that orderedBits gave `bits`.
double fromOrderedBits(std::uint64_t bits) {
    return std::bit_cast<double>((bits >> 63) != 0 ? bits & ~(std::uint64_t{1} << 63) : ~bits);
}

// The numbers of every stride-th element: at most this many elements.
constexpr std::size_t kSampled = std::size_t{1} << 12;

// The ordered bits of the numbers of every stride-th element that counts.
template <typename Element, typename NumbersOf>
std::vector<std::uint64_t> sampleOf(std::span<const Element> values, std::size_t stride,
                                    NumbersOf numbersOf) {
    std::vector<std::uint64_t> sample;
    for (std::size_t k = 0; k < values.size(); k += stride) {
        if (isCounted(values[k])) {
            numbersOf(values[k], [&](double number) { sample.push_back(orderedBits(number)); });
        }
    }
    return sample;
}

std::uint64_t orderStatistic(std::vector<std::uint64_t>& keys, std::size_t place) {
    std::nth_element(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(place), keys.end());
    return keys[place];
}

// Where each percentile's rank lies in the sample, give or take a
// hundredth of it each way: the span of numbers between, its ends open
// where it reaches the sample's own.
template <std::size_t N>
struct RankSpans {
    std::array<std::uint64_t, N> low{};
    std::array<std::uint64_t, N> high{};
};

template <std::size_t N>
RankSpans<N> spansIn(std::vector<std::uint64_t>& sample, const std::array<int, N>& percents) {
    const std::size_t reach = std::max<std::size_t>(16, sample.size() / 128);
    RankSpans<N> spans;
    for (std::size_t k = 0; k < N; ++k) {
        const std::size_t place = nearestRank(sample.size(), percents[k]) - 1;
        spans.low[k] = place >= reach ? orderStatistic(sample, place - reach) : 0;
        spans.high[k] = place + reach < sample.size() ? orderStatistic(sample, place + reach)
                                                      : std::numeric_limits<std::uint64_t>::max();
    }
    return spans;
}

// What one piece of the values holds: how many numbers, how many below
// each span, and those within it.
template <std::size_t N>
struct Tally {
    std::size_t total = 0;
    std::array<std::size_t, N> below{};
    std::array<std::vector<std::uint64_t>, N> kept;
};

// Adds the numbers of `values` to a tally: to the total, to each span's
// count below it and its numbers within it (N of each). Counted in hand,
// not in the tally, whose kept numbers' stores might change it as far as
// the compiler knows.
template <std::size_t N, typename Element, typename NumbersOf>
void tallyInto(std::span<const Element> values, const RankSpans<N>& spans, NumbersOf numbersOf,
               std::size_t& totalCount, std::size_t* belowCount, std::vector<std::uint64_t>* kept) {
    std::size_t total = 0;
    std::array<std::size_t, N> below{};
    for (const Element value : values) {
        if (isCounted(value)) {
            numbersOf(value, [&](double number) {
                const std::uint64_t key = orderedBits(number);
                ++total;
                for (std::size_t k = 0; k < N; ++k) {
                    below[k] += key < spans.low[k] ? 1 : 0;
                    if (key >= spans.low[k] && key <= spans.high[k]) {
                        kept[k].push_back(key);
                    }
                }
            });
        }
    }
    totalCount += total;
    for (std::size_t k = 0; k < N; ++k) {
        belowCount[k] += below[k];
    }
}

template <std::size_t N, typename Element, typename NumbersOf>
std::vector<Tally<N>> tallies(std::span<const Element> values, int threads,
                              const RankSpans<N>& spans, NumbersOf numbersOf) {
    std::vector<Tally<N>> pieces(kPieces);
    forEachRow(kPieces, threads, [&](int index, int) {
        Tally<N>& tally = pieces[static_cast<std::size_t>(index)];
        tallyInto(piece(values, index), spans, numbersOf, tally.total, tally.below.data(),
                  tally.kept.data());
    });
    return pieces;
}

// The same percentiles, from a sample first. The numbers of every so many
// elements, ordered, say about where each rank lies (spansIn). One pass
// then counts the numbers below each span and keeps those within it, and
// where the rank falls among the kept ones (nearly always: the sample of a
// map is spread evenly over it), they alone are ordered; otherwise the
// numbers are counted by groups as above. Either way the answer is the
// nearest rank's exact number, in the order of orderedBits. One pass over
// the values where the count takes two, and the count's tables stay
// unfilled.
template <std::size_t N, typename Element, typename NumbersOf>
Percentiles<N> percentiles(std::span<const Element> values, int threads,
                           const std::array<int, N>& percents, NumbersOf numbersOf) {
    const std::size_t stride = sampleStride(values.size());
    std::vector<std::uint64_t> sample = sampleOf(values, stride, numbersOf);
    Percentiles<N> found;
    if (stride == 1) {
        // Every number is in the sample.
        for (std::size_t k = 0; k < N && !sample.empty(); ++k) {
            found[k] = fromOrderedBits(
                orderStatistic(sample, nearestRank(sample.size(), percents[k]) - 1));
        }
        return found;
    }
    if (sample.empty()) {
        return percentilesByCount(values, threads, percents, numbersOf);
    }
    const std::vector<Tally<N>> pieces =
        tallies(values, threads, spansIn(sample, percents), numbersOf);
    std::size_t total = 0;
    for (const Tally<N>& tally : pieces) {
        total += tally.total;
    }
    for (std::size_t k = 0; k < N; ++k) {
        std::size_t below = 0;
        std::vector<std::uint64_t> kept;
        for (const Tally<N>& tally : pieces) {
            below += tally.below[k];
            kept.insert(kept.end(), tally.kept[k].begin(), tally.kept[k].end());
        }
        const std::size_t rank = nearestRank(total, percents[k]);
        if (rank <= below || rank > below + kept.size()) {
            return percentilesByCount(values, threads, percents, numbersOf);
        }
        found[k] = fromOrderedBits(orderStatistic(kept, rank - below - 1));
    }
    return found;
}

// -M .. M from the 98th percentile M of the part sizes.
GreyRange sharedRange(std::optional<double> size) {
    if (!size) {
        return GreyRange{};
    }
    // Half the largest double at most, so that the range's width is finite.
    const double bound = std::min(*size, std::numeric_limits<double>::max() / 2);
    if (bound == 0.0) {
        return GreyRange{};
    }
    return GreyRange{-bound, bound};
}

// 10^k as its decimal text reads: the double nearest it.
double powerOfTen(int k) {
    const std::string text = "1e" + std::to_string(k);
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace

GreyRange automaticRange(std::span<const ComplexValue> values, int threads) {
    return sharedRange(percentiles(values, threads, std::array{98}, partSizes)[0]);
}

// The largest prime at most points / kSampled (or 1): every stride-th
// point of a map then falls on every column in turn, not on the few that a
// stride dividing the width would keep to (every 256th point of a map 1024
// wide lies in four columns, which say little of the rest).
std::size_t sampleStride(std::size_t points) {
    for (std::size_t stride = points / kSampled; stride > 1; --stride) {
        bool prime = true;
        for (std::size_t divisor = 2; divisor * divisor <= stride && prime; ++divisor) {
            prime = stride % divisor != 0;
        }
        if (prime) {
            return stride;
        }
    }
    return 1;
}

PartSizeTally::PartSizeTally(std::span<const ComplexValue> sample, std::size_t points, int workers)
    : tallies_(static_cast<std::size_t>(workers)) {
    std::vector<std::uint64_t> keys = sampleOf(sample, 1, partSizes);
    // A map small enough that the sample is all of it, or a sample with no
    // value: the values alone, afterwards.
    spanned_ = sampleStride(points) > 1 && !keys.empty();
    if (spanned_) {
        const RankSpans<1> spans = spansIn(keys, std::array{98});
        constexpr double kInfinity = std::numeric_limits<double>::infinity();
        low_ = spans.low[0] == 0 ? -kInfinity : fromOrderedBits(spans.low[0]);
        high_ = spans.high[0] == std::numeric_limits<std::uint64_t>::max()
                    ? kInfinity
                    : fromOrderedBits(spans.high[0]);
    }
}

void PartSizeTally::add(std::span<const ComplexValue> values, int worker) {
    if (!spanned_) {
        return;
    }
    WorkerTally& tally = tallies_[static_cast<std::size_t>(worker)];
    const SizeTally added = tallySizes(values.data(), values.size(), low_, high_, tally.kept);
    tally.total += added.total;
    tally.below += added.below;
}

GreyRange PartSizeTally::automaticRange(std::span<const ComplexValue> values, int threads) const {
    if (!spanned_) {
        return complexplot::automaticRange(values, threads);
    }
    std::size_t total = 0;
    std::size_t below = 0;
    std::vector<std::uint64_t> kept;
    for (const WorkerTally& tally : tallies_) {
        total += tally.total;
        below += tally.below;
        for (const double size : tally.kept) {
            kept.push_back(orderedBits(size));
        }
    }
    const std::size_t rank = nearestRank(total, 98);
    if (total == 0 || rank <= below || rank > below + kept.size()) {
        return sharedRange(percentilesByCount(values, threads, std::array{98}, partSizes)[0]);
    }
    return sharedRange(fromOrderedBits(orderStatistic(kept, rank - below - 1)));
}

GreyRange automaticPartRange(std::span<const ComplexValue> values, Part part, int threads) {
    auto partOf = [part](ComplexValue value, auto emit) {
        emit(part == Part::real ? value.real() : value.imag());
    };
    const auto [first, last] = percentiles(values, threads, std::array{1, 99}, partOf);
    if (!first) {
        return GreyRange{};
    }
    // The width must be finite: the ends at most half the largest double.
    const double largest = std::numeric_limits<double>::max() / 2;
    const double low = std::clamp(*first, -largest, largest);
    const double high = std::clamp(*last, -largest, largest);
    if (low == high) {
        // One value all over: it stands in the middle of a range of its own
        // size, or of -1 .. 1 about it.
        const double half = std::max(1.0, std::fabs(low) / 2);
        return GreyRange{low - half, high + half};
    }
    return GreyRange{low, high};
}

namespace {

// The slot of the rank-th point (from 1), counting over the workers.
std::size_t slotAtRank(const std::vector<std::vector<std::uint32_t>>& counts, std::size_t rank) {
    for (std::size_t slot = 0; slot < kDecades; ++slot) {
        std::size_t here = 0;
        for (const auto& count : counts) {
            here += count[slot];
        }
        if (rank <= here) {
            return slot;
        }
        rank -= here;
    }
    return kDecades - 1;
}

}  // namespace

ModulusDecades::ModulusDecades(int workers)
    : down_(static_cast<std::size_t>(workers), std::vector<std::uint32_t>(kDecades)),
      up_(static_cast<std::size_t>(workers), std::vector<std::uint32_t>(kDecades)) {}

void ModulusDecades::add(std::span<const ComplexValue> values, int worker) {
    countDecades(values.data(), values.size(), down_[static_cast<std::size_t>(worker)].data(),
                 up_[static_cast<std::size_t>(worker)].data());
}

GreyRange ModulusDecades::automaticRange() const {
    std::size_t total = 0;
    for (const auto& count : down_) {
        total = std::accumulate(count.begin(), count.end(), total);
    }
    if (total == 0) {
        return GreyRange{1.0, 10.0};
    }
    // The ends stay positive doubles, subnormal at the least, and finite.
    const int low = std::clamp(
        static_cast<int>(slotAtRank(down_, nearestRank(total, 1))) + kLowestDecade, -323, 307);
    const int high = std::clamp(
        static_cast<int>(slotAtRank(up_, nearestRank(total, 99))) + kLowestDecade, low + 1, 308);
    return GreyRange{powerOfTen(low), powerOfTen(high)};
}

double automaticSymlogScale(std::span<const ComplexValue> values, int threads) {
    auto nonZeroPartSizes = [](ComplexValue value, auto emit) {
        for (const double part : {value.real(), value.imag()}) {
            if (part != 0.0) {
                emit(std::fabs(part));
            }
        }
    };
    const std::optional<double> median =
        percentiles(values, threads, std::array{50}, nonZeroPartSizes)[0];
    if (!median) {
        return 1.0;
    }
    return powerOfTen(static_cast<int>(std::clamp(std::round(std::log10(*median)), -300.0, 300.0)));
}

std::uint8_t greyLevel(double v, const GreyRange& range) {
    const double q = (v - range.low) / (range.high - range.low);
    const double scaled = 255.0 * q;
    // floor(s) < 0 exactly when s < 0, and floor(s) > 255 exactly when
    // s >= 256; in between, truncation is floor.
    if (scaled < 0) {
        return 0;
    }
    if (scaled >= 256) {
        return 255;
    }
    return static_cast<std::uint8_t>(scaled);
}

GreyMaps greyMaps(std::span<const ComplexValue> values, const GreyRange& range, int threads) {
    return greyMaps(values, range, range, threads);
}

GreyMaps greyMaps(std::span<const ComplexValue> values, const GreyRange& realRange,
                  const GreyRange& imaginaryRange, int threads) {
    GreyMaps maps;
    maps.real.resize(values.size());
    maps.imaginary.resize(values.size());
    std::vector<std::vector<std::size_t>> without(kPieces);
    forEachRow(kPieces, threads, [&](int index, int) {
        const std::size_t begin = values.size() * index / kPieces;
        const std::size_t end = values.size() * (index + 1) / kPieces;
        // The places of the values without one are looked for only in a
        // piece that has some.
        if (greyLevels(values.data() + begin, end - begin, realRange, imaginaryRange,
                       maps.real.data() + begin, maps.imaginary.data() + begin) == 0) {
            return;
        }
        for (std::size_t k = begin; k < end; ++k) {
            if (!hasValue(values[k])) {
                without[index].push_back(k);
            }
        }
    });
    for (const auto& places : without) {
        maps.withoutValue.insert(maps.withoutValue.end(), places.begin(), places.end());
    }
    return maps;
}

namespace {

// The counts of each grey in four tables, taken in turn.
using GreyTables = std::array<std::array<std::uint32_t, 256>, 4>;

void countGreys(std::span<const std::uint8_t> greys, GreyTables& tables) {
    std::size_t k = 0;
    for (; k + tables.size() <= greys.size(); k += tables.size()) {
        for (std::size_t table = 0; table < tables.size(); ++table) {
            ++tables[table][greys[k + table]];
        }
    }
    for (; k < greys.size(); ++k) {
        ++tables[0][greys[k]];
    }
}

// The three largest counts, largest first.
std::array<std::size_t, 3> threeLargest(const GreyTables& tables) {
    std::array<std::size_t, 256> count{};
    for (const auto& table : tables) {
        for (std::size_t grey = 0; grey < 256; ++grey) {
            count[grey] += table[grey];
        }
    }
    std::partial_sort(count.begin(), count.begin() + 3, count.end(), std::greater<>());
    return {count[0], count[1], count[2]};
}

}  // namespace

bool looksWashedOut(std::span<const std::uint8_t> greys) {
    // Neighbouring points are most often of one grey, and a count kept in
    // one table would wait at each point for the last one to be stored:
    // four tables, taken in turn, let four counts run at once.
    GreyTables tables{};
    // A map is most often far from washed out, and its first rows say so:
    // the points of the rows counted so far that lie off their own three
    // commonest greys lie off any three greys of the whole map too. Once
    // they are more than a hundredth of the map, no later row can change
    // the answer.
    constexpr std::size_t kRows = std::size_t{1} << 16;
    std::size_t counted = 0;
    while (counted < greys.size()) {
        const std::size_t count = std::min(kRows, greys.size() - counted);
        countGreys(greys.subspan(counted, count), tables);
        counted += count;
        const std::array<std::size_t, 3> top = threeLargest(tables);
        if (100 * (counted - (top[0] + top[1] + top[2])) > greys.size()) {
            return false;
        }
    }
    const std::array<std::size_t, 3> top = threeLargest(tables);
    // A map of one grey all over is most often a part that is constant
    // (Im f of a real function), which no range would show more of.
    return top[0] < greys.size() && 100 * (top[0] + top[1] + top[2]) >= 99 * greys.size();
}

}  // namespace complexplot

#include "map_shading.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "grey_levels.h"
#include "row_workers.h"

namespace complexplot {

namespace {

// The values are shared out in this many pieces; each piece's pixels
// depend on its own values only, so any number of threads gives the same.
constexpr int kPieces = 16;

struct Piece {
    std::size_t begin = 0;
    std::size_t end = 0;
};

Piece pieceOf(std::size_t size, int index) {
    return {size * index / kPieces, size * (index + 1) / kPieces};
}

// floor(255 q) clamped to 0..255: floor(s) < 0 exactly when s < 0, and
// floor(s) > 255 exactly when s >= 256; in between, truncation is floor.
// NaN (a symlog range whose ends overflow, at a tiny t) is black.
std::uint8_t clampedGrey(double q) {
    const double scaled = 255.0 * q;
    if (!(scaled >= 0)) {
        return 0;
    }
    return scaled >= 255 ? 255 : static_cast<std::uint8_t>(scaled);
}

// A symlog scale with its ends worked out once.
struct SymlogScale {
    double t = 1.0;
    double low = 0.0;
    double width = 1.0;

    SymlogScale(const GreyRange& range, double scale)
        : t(scale), low(symlog(range.low, scale)), width(symlog(range.high, scale) - low) {}

    std::uint8_t grey(double v) const { return clampedGrey((symlog(v, t) - low) / width); }
};

void shadeSymlog(std::span<const ComplexValue> values, const MapShading& shading, Piece piece,
                 ShadedMaps& maps) {
    const SymlogScale real(shading.realRange, shading.symlogScale);
    const SymlogScale imaginary(shading.imaginaryRange, shading.symlogScale);
    for (std::size_t k = piece.begin; k < piece.end; ++k) {
        const bool has = hasValue(values[k]);
        maps.first[k] = has ? real.grey(values[k].real()) : 0;
        maps.second[k] = has ? imaginary.grey(values[k].imag()) : 0;
    }
}

// The places of the values without one.
std::vector<std::size_t> placesWithoutValue(std::span<const ComplexValue> values) {
    std::vector<std::size_t> places;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (!hasValue(values[k])) {
            places.push_back(k);
        }
    }
    return places;
}

}  // namespace

double symlog(double v, double t) {
    // Where |v| / t overflows (a tiny t), ln(1 + |v|/t) is ln|v| - ln t to
    // well within a rounding.
    const double ratio = std::fabs(v) / t;
    const double size =
        std::isfinite(ratio) ? std::log1p(ratio) : std::log(std::fabs(v)) - std::log(t);
    return std::copysign(size, v);
}

std::uint8_t symlogGrey(double v, const GreyRange& range, double t) {
    return SymlogScale(range, t).grey(v);
}

std::uint8_t modulusGrey(double logModulus, const GreyRange& modulusRange) {
    const double low = std::log(modulusRange.low);
    return clampedGrey((logModulus - low) / (std::log(modulusRange.high) - low));
}

std::uint8_t argumentGrey(double argument) {
    constexpr double pi = std::numbers::pi;
    return clampedGrey((argument + pi) / (2 * pi));
}

RgbColour phaseColour(double argument) {
    // h in [0, 6], a sixth of the wheel for each unit; each channel a tent
    // of h, clamped to 0..1, rounded to a byte.
    double h = 3 * argument / std::numbers::pi;
    if (h < 0) {
        h += 6;
    }
    auto byte = [](double channel) {
        return static_cast<std::uint8_t>(255 * std::clamp(channel, 0.0, 1.0) + 0.5);
    };
    return {byte(std::fabs(h - 3) - 1), byte(2 - std::fabs(h - 2)), byte(2 - std::fabs(h - 4))};
}

ModulusArgumentRows::ModulusArgumentRows(std::size_t size, int workers)
    : decades_(workers), argument_(size), without_(static_cast<std::size_t>(workers), 0) {}

void ModulusArgumentRows::add(std::span<const ComplexValue> row, std::size_t at, int worker) {
    // ln|f| is counted here and computed again for the greys once the
    // range is known: cheaper than keeping it, eight bytes a point.
    decades_.add(row, worker);
    without_[static_cast<std::size_t>(worker)] +=
        argumentLevels(row.data(), row.size(), argument_.data() + at);
}

GreyRange ModulusArgumentRows::automaticRange() const {
    return decades_.automaticRange();
}

ShadedMaps ModulusArgumentRows::maps(std::span<const ComplexValue> values,
                                     const GreyRange& modulusRange, int threads) {
    ShadedMaps maps;
    maps.first.resize(values.size());
    forEachRow(kPieces, threads, [&](int index, int) {
        const Piece piece = pieceOf(values.size(), index);
        modulusLevels(values.data() + piece.begin, piece.end - piece.begin, modulusRange,
                      maps.first.data() + piece.begin);
    });
    maps.second = std::move(argument_);
    std::size_t without = 0;
    for (const std::size_t count : without_) {
        without += count;
    }
    if (without > 0) {
        maps.withoutValue = placesWithoutValue(values);
    }
    return maps;
}

ShadedMaps shadeMaps(std::span<const ComplexValue> values, const MapShading& shading, int threads) {
    if (shading.kind == MapKind::modulusArgument) {
        ModulusArgumentRows rows(values.size(), threads);
        forEachRow(kPieces, threads, [&](int index, int worker) {
            const Piece piece = pieceOf(values.size(), index);
            rows.add(values.subspan(piece.begin, piece.end - piece.begin), piece.begin, worker);
        });
        return rows.maps(values, shading.realRange, threads);
    }
    ShadedMaps maps;
    if (shading.kind == MapKind::realImaginary && shading.curve == GreyCurve::linear) {
        GreyMaps greys = greyMaps(values, shading.realRange, shading.imaginaryRange, threads);
        maps.first = std::move(greys.real);
        maps.second = std::move(greys.imaginary);
        maps.withoutValue = std::move(greys.withoutValue);
        return maps;
    }
    if (shading.kind == MapKind::phase) {
        maps.colours.resize(3 * values.size());
    } else {  // symlog greys of Re and Im
        maps.first.resize(values.size());
        maps.second.resize(values.size());
    }
    std::vector<std::vector<std::size_t>> without(kPieces);
    forEachRow(kPieces, threads, [&](int index, int) {
        const Piece piece = pieceOf(values.size(), index);
        switch (shading.kind) {
            case MapKind::realImaginary:
                shadeSymlog(values, shading, piece, maps);
                break;
            case MapKind::modulusArgument:
                break;
            case MapKind::phase:
                if (phaseColours(values.data() + piece.begin, piece.end - piece.begin,
                                 maps.colours.data() + 3 * piece.begin) == 0) {
                    return;
                }
                break;
        }
        // The places of the values without one, looked for only in a piece
        // that has some.
        for (std::size_t k = piece.begin; k < piece.end; ++k) {
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

}  // namespace complexplot

#include "map_shading.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "compiled_expression.h"
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

// floor(255 q) clamped to 0..255 for a q that is not NaN: floor(s) < 0
// exactly when s < 0, and floor(s) > 255 exactly when s >= 256; in
// between, truncation is floor.
std::uint8_t clampedGrey(double q) {
    return static_cast<std::uint8_t>(std::clamp(255.0 * q, 0.0, 255.0));
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

void shadeModulusArgument(std::span<const ComplexValue> values, std::span<const ComplexValue> logs,
                          const GreyRange& modulusRange, Piece piece, ShadedMaps& maps) {
    const double low = std::log(modulusRange.low);
    const double width = std::log(modulusRange.high) - low;
    constexpr double pi = std::numbers::pi;
    for (std::size_t k = piece.begin; k < piece.end; ++k) {
        const bool has = hasValue(values[k]);
        maps.first[k] = has ? clampedGrey((logs[k].real() - low) / width) : 0;
        maps.second[k] = has ? clampedGrey((logs[k].imag() + pi) / (2 * pi)) : 0;
    }
}

void shadePhase(std::span<const ComplexValue> values, std::span<const ComplexValue> logs,
                Piece piece, ShadedMaps& maps) {
    for (std::size_t k = piece.begin; k < piece.end; ++k) {
        const RgbColour colour =
            hasValue(values[k]) ? phaseColour(logs[k].imag()) : kPhaseNoValueColour;
        std::uint8_t* pixel = maps.colours.data() + 3 * k;
        pixel[0] = colour.red;
        pixel[1] = colour.green;
        pixel[2] = colour.blue;
    }
}

}  // namespace

double symlog(double v, double t) {
    return std::copysign(std::log1p(std::fabs(v) / t), v);
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
    // h in [0, 6): the sixth of the wheel and how far into it.
    double h = 3 * argument / std::numbers::pi;
    if (h < 0) {
        h += 6;
    }
    if (h >= 6) {
        h -= 6;
    }
    const int sixth = static_cast<int>(h);
    const auto up = static_cast<std::uint8_t>(std::floor(255 * (h - sixth) + 0.5));
    const auto down = static_cast<std::uint8_t>(255 - up);
    switch (sixth) {
        case 0:
            return {255, up, 0};
        case 1:
            return {down, 255, 0};
        case 2:
            return {0, 255, up};
        case 3:
            return {0, down, 255};
        case 4:
            return {up, 0, 255};
        default:
            return {255, 0, down};
    }
}

LargeVector<ComplexValue> logarithms(std::span<const ComplexValue> values, int threads) {
    const CompiledExpression log("log(z)");
    LargeVector<ComplexValue> logs(values.size());
    std::vector<std::vector<ComplexValue>> scratch(static_cast<std::size_t>(threads));
    forEachRow(kPieces, threads, [&](int index, int worker) {
        const Piece piece = pieceOf(values.size(), index);
        log.evaluate(values.data() + piece.begin, logs.data() + piece.begin,
                     piece.end - piece.begin, scratch[static_cast<std::size_t>(worker)]);
    });
    return logs;
}

ShadedMaps shadeMaps(std::span<const ComplexValue> values, std::span<const ComplexValue> logs,
                     const MapShading& shading, int threads) {
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
    } else {
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
                shadeModulusArgument(values, logs, shading.realRange, piece, maps);
                break;
            case MapKind::phase:
                shadePhase(values, logs, piece, maps);
                break;
        }
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

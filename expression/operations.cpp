#include "operations.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "integer_power.h"

namespace complexplot {

namespace {

constexpr std::array<FunctionName, 21> kFunctions = {{
    {"sin", Operation::sin},     {"cos", Operation::cos},     {"tan", Operation::tan},
    {"cot", Operation::cot},     {"sinh", Operation::sinh},   {"cosh", Operation::cosh},
    {"tanh", Operation::tanh},   {"asin", Operation::asin},   {"acos", Operation::acos},
    {"atan", Operation::atan},   {"asinh", Operation::asinh}, {"acosh", Operation::acosh},
    {"atanh", Operation::atanh}, {"exp", Operation::exp},     {"log", Operation::log},
    {"sqrt", Operation::sqrt},   {"abs", Operation::abs},     {"arg", Operation::arg},
    {"conj", Operation::conj},   {"re", Operation::re},       {"im", Operation::im},
}};

template <typename Function>
void mapBlock(const ComplexValue* in, ComplexValue* out, std::size_t count, Function function) {
    for (std::size_t k = 0; k < count; ++k) {
        out[k] = function(in[k]);
    }
}

// An operand at place k: a block's value there, or the same number
// everywhere. A real number stays a double, so that the arithmetic is that
// of complex with double, which leaves the other imaginary part (and the
// sign of its zero, which picks the side of a branch cut) alone.
ComplexValue at(const ComplexValue* block, std::size_t k) {
    return block[k];
}
double at(double real, std::size_t) {
    return real;
}
ComplexValue at(ComplexValue value, std::size_t) {
    return value;
}

// exp(p log w), the principal branch; 0 ^ p is 0 for Re p > 0, where the
// logarithm of 0 would give no value.
template <typename Exponent>
ComplexValue generalPower(ComplexValue base, Exponent exponent) {
    if (base == 0.0 && std::real(ComplexValue(exponent)) > 0.0) {
        return 0.0;
    }
    return std::exp(exponent * std::log(base));
}

template <typename Left, typename Right>
void binaryLoop(Operation operation, Left left, Right right, ComplexValue* out, std::size_t count) {
    switch (operation) {
        case Operation::add:
            for (std::size_t k = 0; k < count; ++k)
                out[k] = at(left, k) + at(right, k);
            break;
        case Operation::subtract:
            for (std::size_t k = 0; k < count; ++k)
                out[k] = at(left, k) - at(right, k);
            break;
        case Operation::multiply:
            for (std::size_t k = 0; k < count; ++k)
                out[k] = at(left, k) * at(right, k);
            break;
        case Operation::divide:
            for (std::size_t k = 0; k < count; ++k)
                out[k] = at(left, k) / at(right, k);
            break;
        case Operation::power:
            for (std::size_t k = 0; k < count; ++k) {
                out[k] = generalPower(ComplexValue(at(left, k)), at(right, k));
            }
            break;
        default:
            break;
    }
}

template <typename Left>
void withRight(Operation operation, Left left, const BlockOperand& right, ComplexValue* out,
               std::size_t count) {
    switch (right.kind) {
        case BlockOperand::Kind::block:
            return binaryLoop(operation, left, right.block, out, count);
        case BlockOperand::Kind::real:
            return binaryLoop(operation, left, right.real, out, count);
        case BlockOperand::Kind::complex:
            return binaryLoop(operation, left, right.complex, out, count);
    }
}

}  // namespace

std::span<const FunctionName> knownFunctions() {
    return kFunctions;
}

void applyUnary(Operation operation, const ComplexValue* in, ComplexValue* out, std::size_t count) {
    using C = ComplexValue;
    switch (operation) {
        case Operation::negate:
            return mapBlock(in, out, count, [](C w) { return -w; });
        case Operation::sin:
            return mapBlock(in, out, count, [](C w) { return std::sin(w); });
        case Operation::cos:
            return mapBlock(in, out, count, [](C w) { return std::cos(w); });
        case Operation::tan:
            return mapBlock(in, out, count, [](C w) { return std::tan(w); });
        case Operation::cot:
            // The C library has no cotangent: the reciprocal of its tangent.
            return mapBlock(in, out, count, [](C w) { return 1.0 / std::tan(w); });
        case Operation::sinh:
            return mapBlock(in, out, count, [](C w) { return std::sinh(w); });
        case Operation::cosh:
            return mapBlock(in, out, count, [](C w) { return std::cosh(w); });
        case Operation::tanh:
            return mapBlock(in, out, count, [](C w) { return std::tanh(w); });
        case Operation::asin:
            return mapBlock(in, out, count, [](C w) { return std::asin(w); });
        case Operation::acos:
            return mapBlock(in, out, count, [](C w) { return std::acos(w); });
        case Operation::atan:
            return mapBlock(in, out, count, [](C w) { return std::atan(w); });
        case Operation::asinh:
            return mapBlock(in, out, count, [](C w) { return std::asinh(w); });
        case Operation::acosh:
            return mapBlock(in, out, count, [](C w) { return std::acosh(w); });
        case Operation::atanh:
            return mapBlock(in, out, count, [](C w) { return std::atanh(w); });
        case Operation::exp:
            return mapBlock(in, out, count, [](C w) { return std::exp(w); });
        case Operation::log:
            return mapBlock(in, out, count, [](C w) { return std::log(w); });
        case Operation::sqrt:
            return mapBlock(in, out, count, [](C w) { return std::sqrt(w); });
        case Operation::abs:
            return mapBlock(in, out, count, [](C w) { return C(std::abs(w)); });
        case Operation::arg:
            return mapBlock(in, out, count, [](C w) { return C(std::arg(w)); });
        case Operation::conj:
            return mapBlock(in, out, count, [](C w) { return std::conj(w); });
        case Operation::re:
            return mapBlock(in, out, count, [](C w) { return C(w.real()); });
        case Operation::im:
            return mapBlock(in, out, count, [](C w) { return C(w.imag()); });
        default:
            return;
    }
}

namespace {

struct ScalarArithmetic {
    using T = double;
    static double fma(double a, double b, double c) { return std::fma(a, b, c); }
};

// Repeated multiplication from the left, as w * w * w is written, with the
// C library's product: what an infinite, NaN or zero point gets.
ComplexValue repeatedProduct(ComplexValue w, int exponent) {
    const int times = exponent < 0 ? -exponent : exponent;
    ComplexValue product = 1.0;
    if (times > 0) {
        product = w;
        for (int step = 1; step < times; ++step) {
            product *= w;
        }
    }
    return exponent < 0 ? 1.0 / product : product;
}

}  // namespace

ComplexValue integerPower(ComplexValue w, int exponent) {
    const double x = w.real();
    const double y = w.imag();
    if (exponent == 0 || !std::isfinite(x) || !std::isfinite(y) || (x == 0 && y == 0)) {
        return repeatedProduct(w, exponent);
    }
    // w = 2^k m, the larger part of m in [1, 2); then w^n = 2^(kn) m^n, the
    // scaling exact but for the one rounding of a result that underflows.
    const int k = std::ilogb(std::max(std::abs(x), std::abs(y)));
    double re = 0;
    double im = 0;
    ErrorFreePower<ScalarArithmetic>::power(std::ldexp(x, -k), std::ldexp(y, -k), exponent, re, im);
    ComplexValue value(std::ldexp(re, k * exponent), std::ldexp(im, k * exponent));
    // A part that is exactly zero on an axis has the sign the C library's
    // product gives it, which picks the side of a later branch cut.
    if (x == 0 || y == 0) {
        const ComplexValue product = repeatedProduct(w, exponent);
        if (value.real() == 0 && product.real() == 0) {
            value.real(product.real());
        }
        if (value.imag() == 0 && product.imag() == 0) {
            value.imag(product.imag());
        }
    }
    return value;
}

void applyIntegerPower(const ComplexValue* in, int exponent, ComplexValue* out, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        out[k] = integerPower(in[k], exponent);
    }
}

void applyBinary(Operation operation, const BlockOperand& left, const BlockOperand& right,
                 ComplexValue* out, std::size_t count) {
    switch (left.kind) {
        case BlockOperand::Kind::block:
            return withRight(operation, left.block, right, out, count);
        case BlockOperand::Kind::real:
            return withRight(operation, left.real, right, out, count);
        case BlockOperand::Kind::complex:
            return withRight(operation, left.complex, right, out, count);
    }
}

}  // namespace complexplot

#pragma once

// Arithmetic that reports IEEE faults as values instead of hardware flags.
//
// Reading the floating-point status with <cfenv> is fragile: the optimiser
// may move, merge or drop the operations around fetestexcept. Instead every
// operation here checks its own result. A result that is not finite is the
// fault: overflow (6) when it is infinite, division by zero (11) when a
// non-zero number is divided by zero or the logarithm of zero is taken, and
// an invalid operation (5) when it is NaN. A fault, once raised, travels
// through every later operation unchanged, so an expression reports the
// first fault in left-to-right order, just as a step that stops at its
// first failing operation would.
//
// The operations are defined inline here because they run several times
// for every cell of a plot.

#include <cmath>
#include <cstdint>

#include "runtime_error.h"

namespace complexplot {

enum class FloatFault : std::uint8_t {
    none = 0,
    invalid = RuntimeError::kInvalidCall,
    overflow = RuntimeError::kOverflow,
    divisionByZero = RuntimeError::kDivisionByZero,
};

class CheckedDouble {
public:
    // An argument enters as it is; only results of operations are checked.
    constexpr CheckedDouble(double value) : value_(value) {}  // NOLINT: implicit on purpose

    static constexpr CheckedDouble failed(FloatFault fault) { return CheckedDouble(0.0, fault); }

    constexpr bool ok() const { return fault_ == FloatFault::none; }
    constexpr FloatFault fault() const { return fault_; }

    // The value, or the runtime error that the fault stands for.
    double value() const {
        if (fault_ != FloatFault::none) {
            throw RuntimeError(static_cast<int>(fault_));
        }
        return value_;
    }

    // Checks a freshly computed result. A NaN is an invalid operation and an
    // infinity an overflow, unless the caller already knows better.
    static CheckedDouble fromResult(double result) {
        if (std::isfinite(result)) {
            return CheckedDouble(result);
        }
        return failed(std::isnan(result) ? FloatFault::invalid : FloatFault::overflow);
    }

    friend CheckedDouble operator+(CheckedDouble a, CheckedDouble b) {
        if (!a.ok()) return a;
        if (!b.ok()) return b;
        return fromResult(a.value_ + b.value_);
    }
    friend CheckedDouble operator-(CheckedDouble a, CheckedDouble b) {
        if (!a.ok()) return a;
        if (!b.ok()) return b;
        return fromResult(a.value_ - b.value_);
    }
    friend CheckedDouble operator*(CheckedDouble a, CheckedDouble b) {
        if (!a.ok()) return a;
        if (!b.ok()) return b;
        return fromResult(a.value_ * b.value_);
    }
    friend CheckedDouble operator/(CheckedDouble a, CheckedDouble b) {
        if (!a.ok()) return a;
        if (!b.ok()) return b;
        if (b.value_ == 0.0) {
            // 0/0 (and NaN/0) has no value at all; x/0 is a true division by zero.
            const bool dividendIsZeroOrNaN = a.value_ == 0.0 || std::isnan(a.value_);
            return failed(dividendIsZeroOrNaN ? FloatFault::invalid : FloatFault::divisionByZero);
        }
        return fromResult(a.value_ / b.value_);
    }
    friend CheckedDouble operator-(CheckedDouble a) {
        if (!a.ok()) return a;
        return CheckedDouble(-a.value_, FloatFault::none);
    }

    friend CheckedDouble sqrt(CheckedDouble a) {
        if (!a.ok()) return a;
        if (a.value_ < 0.0) return failed(FloatFault::invalid);
        return fromResult(std::sqrt(a.value_));
    }
    friend CheckedDouble log(CheckedDouble a) {
        if (!a.ok()) return a;
        if (a.value_ == 0.0) return failed(FloatFault::divisionByZero);
        if (a.value_ < 0.0) return failed(FloatFault::invalid);
        return fromResult(std::log(a.value_));
    }
    friend CheckedDouble exp(CheckedDouble a) {
        if (!a.ok()) return a;
        return fromResult(std::exp(a.value_));
    }
    friend CheckedDouble atan(CheckedDouble a) {
        if (!a.ok()) return a;
        return fromResult(std::atan(a.value_));
    }
    friend CheckedDouble sin(CheckedDouble a) {
        if (!a.ok()) return a;
        return fromResult(std::sin(a.value_));
    }
    friend CheckedDouble cos(CheckedDouble a) {
        if (!a.ok()) return a;
        return fromResult(std::cos(a.value_));
    }
    friend CheckedDouble tan(CheckedDouble a) {
        if (!a.ok()) return a;
        return fromResult(std::tan(a.value_));
    }
    friend CheckedDouble abs(CheckedDouble a) {
        if (!a.ok()) return a;
        return fromResult(std::fabs(a.value_));
    }

    // The raw number, for a caller that has already looked at ok().
    constexpr double raw() const { return value_; }

private:
    constexpr CheckedDouble(double value, FloatFault fault) : value_(value), fault_(fault) {}

    double value_ = 0.0;
    FloatFault fault_ = FloatFault::none;
};

}  // namespace complexplot

#pragma once

// w^n for a whole n, |n| <= 64, to within one unit in the last place of
// each part that is not tiny beside the other, written once for doubles and
// for vectors of them.
//
// Repeated multiplication adds a rounding at every step, so z^64 drifts by
// ten units and more, and x^2 - y^2 loses every digit where x is near y.
// Here every product is carried in two doubles (an exact product from a
// fused multiply-add, and exact sums), so the n-th power holds about 100
// bits before it is rounded once. The point is first scaled by a power of
// two to a larger part in [1, 2), so that no step can overflow or underflow
// where the result does not; the scale goes back on at the end, in one
// multiplication. The same operations in the same order on every path give
// the same bits.
//
// Internal linkage: a file built for one instruction set gets its own copy.

namespace complexplot {
namespace {

// Arith::T is double or a vector of doubles, Arith::fma its fused
// multiply-add.
template <typename Arith>
struct ErrorFreePower {
    using T = typename Arith::T;

    // A value held as hi + lo. The pairs are not renormalised between
    // steps: every step takes hi and lo apart (an exact product of hi, a
    // fused product of lo), so a lo larger than half a unit of hi loses
    // nothing but where the value is far below the power's modulus.
    struct Pair {
        T hi;
        T lo;
    };
    struct Complex {
        Pair re;
        Pair im;
    };

    static Pair twoProduct(T a, T b) {
        const T product = a * b;
        return {product, Arith::fma(a, b, -product)};
    }

    static Pair twoSum(T a, T b) {
        const T sum = a + b;
        const T bPart = sum - a;
        return {sum, (a - (sum - bPart)) + (b - bPart)};
    }

    // (a + bi)^2: a^2 - b^2 from exact squares, whose high parts cancel
    // exactly, and 2ab.
    static Complex square(const Complex& z) {
        const Pair& a = z.re;
        const Pair& b = z.im;
        Pair aa = twoProduct(a.hi, a.hi);
        aa.lo = Arith::fma(a.hi + a.hi, a.lo, aa.lo);
        Pair bb = twoProduct(b.hi, b.hi);
        bb.lo = Arith::fma(b.hi + b.hi, b.lo, bb.lo);
        const Pair difference = twoSum(aa.hi, -bb.hi);
        Pair ab = twoProduct(a.hi, b.hi);
        ab.lo = Arith::fma(a.hi, b.lo, Arith::fma(a.lo, b.hi, ab.lo));
        return {{difference.hi, difference.lo + (aa.lo - bb.lo)}, {ab.hi + ab.hi, ab.lo + ab.lo}};
    }

    // (c + di)^2 for a point held in plain doubles: the first step.
    static Complex squarePoint(T c, T d) {
        const Pair cc = twoProduct(c, c);
        const Pair dd = twoProduct(d, d);
        const Pair difference = twoSum(cc.hi, -dd.hi);
        const Pair cd = twoProduct(c, d);
        return {{difference.hi, difference.lo + (cc.lo - dd.lo)}, {cd.hi + cd.hi, cd.lo + cd.lo}};
    }

    // (a + bi)(c + di) for a point c + di held in plain doubles.
    static Complex timesPoint(const Complex& z, T c, T d) {
        const Pair& a = z.re;
        const Pair& b = z.im;
        Pair ac = twoProduct(a.hi, c);
        ac.lo = Arith::fma(a.lo, c, ac.lo);
        Pair bd = twoProduct(b.hi, d);
        bd.lo = Arith::fma(b.lo, d, bd.lo);
        Pair ad = twoProduct(a.hi, d);
        ad.lo = Arith::fma(a.lo, d, ad.lo);
        Pair bc = twoProduct(b.hi, c);
        bc.lo = Arith::fma(b.lo, c, bc.lo);
        const Pair real = twoSum(ac.hi, -bd.hi);
        const Pair imaginary = twoSum(ad.hi, bc.hi);
        return {{real.hi, real.lo + (ac.lo - bd.lo)},
                {imaginary.hi, imaginary.lo + (ad.lo + bc.lo)}};
    }

    // x / d, rounded once more: the first quotient's remainder is exact.
    static T quotient(const Pair& x, const Pair& d) {
        const T first = x.hi / d.hi;
        const T remainder = Arith::fma(-first, d.hi, x.hi) + (x.lo - first * d.lo);
        return first + remainder / d.hi;
    }

    // (mx + i my)^exponent, rounded to doubles; |mx|, |my| < 2 and the
    // larger of them at least 1, so that every step stays within 2^+-100.
    static void power(T mx, T my, int exponent, T& re, T& im) {
        const int times = exponent < 0 ? -exponent : exponent;
        int bit = 0;
        while ((times >> (bit + 1)) != 0) {
            ++bit;
        }
        Complex z{{mx, mx - mx}, {my, my - my}};
        for (int step = bit - 1; step >= 0; --step) {
            z = step == bit - 1 ? squarePoint(mx, my) : square(z);
            if (((times >> step) & 1) != 0) {
                z = timesPoint(z, mx, my);
            }
        }
        if (exponent > 0) {
            re = z.re.hi + z.re.lo;
            im = z.im.hi + z.im.lo;
            return;
        }
        // 1 / (a + bi) = (a - bi) / (a^2 + b^2); the sum of squares has no
        // cancellation.
        Pair aa = twoProduct(z.re.hi, z.re.hi);
        aa.lo = Arith::fma(z.re.hi + z.re.hi, z.re.lo, aa.lo);
        Pair bb = twoProduct(z.im.hi, z.im.hi);
        bb.lo = Arith::fma(z.im.hi + z.im.hi, z.im.lo, bb.lo);
        const Pair sum = twoSum(aa.hi, bb.hi);
        const Pair modulusSquared = twoSum(sum.hi, sum.lo + (aa.lo + bb.lo));  // no cancellation
        re = quotient(z.re, modulusSquared);
        im = -quotient(z.im, modulusSquared);
    }
};

}  // namespace
}  // namespace complexplot

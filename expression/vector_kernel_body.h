// The vector kernels, written once for any width. A file built for one
// instruction set defines `Lanes` (its vector type, loads and stores, and
// SLEEF's functions for that set) and then includes this file, which makes
// `kernelsOf<Lanes>()`. Everything here has internal linkage, so the copies
// built for different sets never meet.
//
// Each function computes its value by a short formula from SLEEF's real
// functions (1 ulp at most each, or 0.5 where offered) and, lane by lane,
// whether that formula is accurate there. Lanes it cannot vouch for are
// handed to the scalar kernels, so they get exactly the scalar path's
// value, and with it the C library's care for infinities, branch cuts and
// extreme scales. Lanes decide only by their own point, so a point's value
// never depends on its neighbours, the block, or the number of threads.
//
// SLEEF's "finz" variants are used throughout: they give the same bits on
// every instruction set with fused multiply-add, so the sets agree.

#include <cfloat>
#include <cstddef>

#include "integer_power.h"
#include "vector_kernels.h"

namespace complexplot {
namespace {

template <typename Lanes>
struct VectorMath {
    using V = typename Lanes::V;
    using Mask = decltype(V{} < V{});
    static constexpr std::size_t kWidth = Lanes::kWidth;

    // A lane's arguments are kept within these bounds for the formulas that
    // square them, so that no square, sum of squares or product of two
    // parts overflows or loses precision to underflow.
    static constexpr double kSmallest = 0x1p-500;
    static constexpr double kLargest = 0x1p+500;
    // Bound for the arguments of sin and cos. Beyond it the lanes go to the
    // C library, whose reduction of huge angles is the one the scalar path
    // has always shown; such angles are rare (exp(1/z) very close to 0).
    static constexpr double kLargestAngle = 0x1p+30;
    // e^x overflows beyond 709.78 and is subnormal below -708.4, where its
    // product with a cosine could still be finite or lose precision.
    static constexpr double kLargestExponent = 708.0;
    // tan and tanh multiply sinh by cosh of the imaginary (for tanh, real)
    // part, which overflows near 355.
    static constexpr double kLargestTangentArgument = 300.0;

    static V splat(double value) { return Lanes::broadcast(value); }
    static V abs(V value) { return Lanes::abs(value); }
    static V larger(V a, V b) { return a > b ? a : b; }
    static Mask finite(V value) { return abs(value) <= splat(DBL_MAX); }
    static Mask nonZero(V value) { return value != splat(0.0); }
    // Both parts finite and the larger one within [kSmallest, kLargest].
    static Mask moderate(V x, V y) {
        const V big = larger(abs(x), abs(y));
        return finite(x) & finite(y) & (big >= splat(kSmallest)) & (big <= splat(kLargest));
    }
    static Mask all() { return splat(0.0) == splat(0.0); }

    // a + b = sum + error, exactly.
    static void twoSum(V a, V b, V& sum, V& error) {
        sum = a + b;
        const V bPart = sum - a;
        error = (a - (sum - bPart)) + (b - bPart);
    }

    // sinh t and cosh t from one expm1, which costs half of the two: with
    // m = expm1(|t|) and e = m + 1 = e^|t|, sinh |t| = (m + m/e)/2 and
    // cosh t = (e + 1/e)/2, sums of like-signed terms that lose nothing.
    // The small m of a small t keeps sinh accurate where e - 1/e would
    // cancel. For |t| <= 708.
    static void sinhCosh(V t, V& sh, V& ch) {
        const V m = Lanes::expm1(abs(t));
        const V e = m + splat(1.0);
        const V inverse = splat(1.0) / e;
        sh = Lanes::copysign(splat(0.5) * (m + m * inverse), t);
        ch = splat(0.5) * (e + inverse);
    }

    // ---- functions of one argument -------------------------------------
    //
    // Each sets re and im for every lane and returns the lanes whose values
    // are vouched for.

    // e^z = e^x (cos y + i sin y). Each factor is within 1 ulp.
    // Region: |x| <= 708, |y| <= 2^30.
    static Mask exp(V x, V y, V& re, V& im) {
        const V scale = Lanes::exp(x);
        V s, c;
        Lanes::sincos(y, s, c);
        re = scale * c;
        im = scale * s;
        return (abs(x) <= splat(kLargestExponent)) & (abs(y) <= splat(kLargestAngle));
    }

    // The products of a trigonometric function of one part and a hyperbolic
    // function of the other. Region: the hyperbolic argument within 708, the
    // trigonometric one within 2^30, and neither part zero: on the axes the
    // sign of a zero part is the C library's to decide.
    static Mask mixedRegion(V angle, V hyperbolic) {
        return (abs(hyperbolic) <= splat(kLargestExponent)) & (abs(angle) <= splat(kLargestAngle)) &
               nonZero(angle) & nonZero(hyperbolic);
    }

    // sin z = sin x cosh y + i cos x sinh y.
    static Mask sin(V x, V y, V& re, V& im) {
        V s, c;
        Lanes::sincos(x, s, c);
        V sh, ch;
        sinhCosh(y, sh, ch);
        re = s * ch;
        im = c * sh;
        return mixedRegion(x, y);
    }

    // cos z = cos x cosh y - i sin x sinh y.
    static Mask cos(V x, V y, V& re, V& im) {
        V s, c;
        Lanes::sincos(x, s, c);
        V sh, ch;
        sinhCosh(y, sh, ch);
        re = c * ch;
        im = -(s * sh);
        return mixedRegion(x, y);
    }

    // sinh z = sinh x cos y + i cosh x sin y.
    static Mask sinh(V x, V y, V& re, V& im) {
        V s, c;
        Lanes::sincos(y, s, c);
        V sh, ch;
        sinhCosh(x, sh, ch);
        re = sh * c;
        im = ch * s;
        return mixedRegion(y, x);
    }

    // cosh z = cosh x cos y + i sinh x sin y.
    static Mask cosh(V x, V y, V& re, V& im) {
        V s, c;
        Lanes::sincos(y, s, c);
        V sh, ch;
        sinhCosh(x, sh, ch);
        re = ch * c;
        im = sh * s;
        return mixedRegion(y, x);
    }

    // tan z = (sin x cos x + i sinh y cosh y) / (cos^2 x + sinh^2 y).
    // The textbook (sin 2x + i sinh 2y) / (cos 2x + cosh 2y) cancels near
    // the poles; this denominator is a sum of squares and never does.
    // Region: |y| <= 300, |x| <= 2^30, neither part zero.
    static Mask tan(V x, V y, V& re, V& im) {
        V s, c;
        Lanes::sincos(x, s, c);
        V sh, ch;
        sinhCosh(y, sh, ch);
        const V denominator = c * c + sh * sh;
        re = (s * c) / denominator;
        im = (sh * ch) / denominator;
        return tangentRegion(x, y);
    }

    // cot z = (sin x cos x - i sinh y cosh y) / (sin^2 x + sinh^2 y), the
    // same way. Region: that of tan, and the denominator not so small that
    // its squares lose precision (near the poles at k pi).
    static Mask cot(V x, V y, V& re, V& im) {
        V s, c;
        Lanes::sincos(x, s, c);
        V sh, ch;
        sinhCosh(y, sh, ch);
        const V denominator = s * s + sh * sh;
        re = (s * c) / denominator;
        im = -(sh * ch) / denominator;
        return tangentRegion(x, y) & (denominator >= splat(0x1p-960));
    }

    // tanh z = (sinh x cosh x + i sin y cos y) / (sinh^2 x + cos^2 y).
    // Region: |x| <= 300, |y| <= 2^30, neither part zero.
    static Mask tanh(V x, V y, V& re, V& im) {
        V s, c;
        Lanes::sincos(y, s, c);
        V sh, ch;
        sinhCosh(x, sh, ch);
        const V denominator = sh * sh + c * c;
        re = (sh * ch) / denominator;
        im = (s * c) / denominator;
        return tangentRegion(y, x);
    }

    static Mask tangentRegion(V angle, V hyperbolic) {
        return (abs(hyperbolic) <= splat(kLargestTangentArgument)) &
               (abs(angle) <= splat(kLargestAngle)) & nonZero(angle) & nonZero(hyperbolic);
    }

    // log z = log |z| + i atan2(y, x), with log |z| = log(x^2 + y^2) / 2.
    // Near |z| = 1 that loses everything to cancellation: x^2 + y^2 - 1 is
    // worked out there from the exact squares (by fused multiply-add) and
    // exact sums, and its log1p taken instead.
    // Region: both parts finite, the larger within [2^-500, 2^500], y not
    // zero (on the negative real axis the sign of y's zero picks the side
    // of the cut).
    static Mask log(V x, V y, V& re, V& im) {
        const V xx = x * x;
        const V yy = y * y;
        const V squares = xx + yy;
        const Mask nearOne = (squares >= splat(0.5)) & (squares <= splat(2.0));
        const unsigned near = Lanes::bits(nearOne);
        if (near == 0) {
            re = splat(0.5) * Lanes::log(squares);
        } else {
            const V xxError = Lanes::fma(x, x, -xx);
            const V yyError = Lanes::fma(y, y, -yy);
            V partial, firstError, sum, secondError;
            twoSum(xx, splat(-1.0), partial, firstError);
            twoSum(partial, yy, sum, secondError);
            const V lessOne = sum + (((firstError + secondError) + xxError) + yyError);
            const V nearValue = splat(0.5) * Lanes::log1p(lessOne);
            re = near == Lanes::kAllLanes
                     ? nearValue
                     : (nearOne ? nearValue : splat(0.5) * Lanes::log(squares));
        }
        im = Lanes::atan2(y, x);
        return moderate(x, y) & nonZero(y);
    }

    // The principal square root: t = sqrt((|x| + |z|) / 2), and then
    // t + i y / 2t for x >= 0, |y| / 2t + i t (with the sign of y) for
    // x < 0. No difference of like numbers is taken.
    // Region: that of log.
    static Mask sqrt(V x, V y, V& re, V& im) {
        const V modulus = Lanes::sqrt(x * x + y * y);
        const V t = Lanes::sqrt((abs(x) + modulus) * splat(0.5));
        const V twiceT = t + t;
        const Mask rightHalf = x >= splat(0.0);
        re = rightHalf ? t : abs(y) / twiceT;
        im = rightHalf ? y / twiceT : Lanes::copysign(t, y);
        return moderate(x, y) & nonZero(y);
    }

    // |z| = sqrt(x^2 + y^2), within 1 ulp. Region: moderate parts.
    static Mask abs(V x, V y, V& re, V& im) {
        re = Lanes::sqrt(x * x + y * y);
        im = splat(0.0);
        return moderate(x, y);
    }

    // arg z = atan2(y, x). Region: finite, y not zero.
    static Mask arg(V x, V y, V& re, V& im) {
        re = Lanes::atan2(y, x);
        im = splat(0.0);
        return finite(x) & finite(y) & nonZero(y);
    }

    static Mask negate(V x, V y, V& re, V& im) {
        re = -x;
        im = -y;
        return all();
    }
    static Mask conj(V x, V y, V& re, V& im) {
        re = x;
        im = -y;
        return all();
    }
    static Mask realPart(V x, V, V& re, V& im) {
        re = x;
        im = splat(0.0);
        return all();
    }
    static Mask imaginaryPart(V, V y, V& re, V& im) {
        re = y;
        im = splat(0.0);
        return all();
    }

    // ---- arithmetic ----------------------------------------------------

    // The product as the compiler writes it for std::complex: the same
    // operations, so the same bits, except where both parts come out NaN,
    // where the C library looks for an infinity. Those lanes go there.
    static Mask multiply(V a, V b, V c, V d, V& re, V& im) {
        re = a * c - b * d;
        im = a * d + b * c;
        return (re == re) | (im == im);
    }

    // The quotient by the textbook formula, within 2 ulp norm-wise.
    // Region: all four parts finite; the divisor's larger part within
    // [2^-450, 2^450] and the dividend's too, so that no square or product
    // overflows and none that matters underflows. A zero dividend is left
    // to the C library, whose zeros keep their signs.
    static Mask divide(V a, V b, V c, V d, V& re, V& im) {
        const V denominator = c * c + d * d;
        re = (a * c + b * d) / denominator;
        im = (b * c - a * d) / denominator;
        const V divisor = larger(abs(c), abs(d));
        const V dividend = larger(abs(a), abs(b));
        return finite(a) & finite(b) & finite(c) & finite(d) & (divisor >= splat(0x1p-450)) &
               (divisor <= splat(0x1p450)) & (dividend >= splat(0x1p-450)) &
               (dividend <= splat(0x1p450));
    }

    // ---- loops over a block --------------------------------------------

    // Writes the vector results, after handing the lanes in `hard` (those
    // among the first `count` of the block) to `scalar(lane, re, im)`.
    template <typename Scalar>
    static void store(double* outReal, double* outImaginary, std::size_t base, std::size_t count,
                      V re, V im, Mask easy, Scalar scalar) {
        const unsigned hard = ~Lanes::bits(easy) & Lanes::kAllLanes;
        if (hard == 0) {
            Lanes::store(outReal + base, re);
            Lanes::store(outImaginary + base, im);
            return;
        }
        alignas(64) double real[kWidth];
        alignas(64) double imaginary[kWidth];
        Lanes::store(real, re);
        Lanes::store(imaginary, im);
        unsigned handed = 0;
        for (std::size_t lane = 0; lane < kWidth && base + lane < count; ++lane) {
            if ((hard >> lane) & 1u) {
                scalar(lane, real + lane, imaginary + lane);
                ++handed;
            }
        }
        countScalarFallback(handed);
        for (std::size_t lane = 0; lane < kWidth; ++lane) {
            outReal[base + lane] = real[lane];
            outImaginary[base + lane] = imaginary[lane];
        }
    }

    // Each loop is made for one operation, so that nothing is decided
    // lane by lane but the region.
    template <Mask (*formula)(V, V, V&, V&)>
    static void unaryLoop(Operation operation, const double* inReal, const double* inImaginary,
                          double* outReal, double* outImaginary, std::size_t count) {
        for (std::size_t base = 0; base < count; base += kWidth) {
            const V x = Lanes::load(inReal + base);
            const V y = Lanes::load(inImaginary + base);
            V re, im;
            const Mask easy = formula(x, y, re, im);
            store(outReal, outImaginary, base, count, re, im, easy,
                  [&](std::size_t lane, double* real, double* imaginary) {
                      scalarUnary(operation, x[lane], y[lane], real, imaginary);
                  });
        }
    }

    static void unary(Operation operation, const double* inReal, const double* inImaginary,
                      double* outReal, double* outImaginary, std::size_t count) {
        auto run = [&]<Mask (*formula)(V, V, V&, V&)>() {
            unaryLoop<formula>(operation, inReal, inImaginary, outReal, outImaginary, count);
        };
        switch (operation) {
            case Operation::negate:
                return run.template operator()<&negate>();
            case Operation::conj:
                return run.template operator()<&conj>();
            case Operation::re:
                return run.template operator()<&realPart>();
            case Operation::im:
                return run.template operator()<&imaginaryPart>();
            case Operation::exp:
                return run.template operator()<&exp>();
            case Operation::sin:
                return run.template operator()<&sin>();
            case Operation::cos:
                return run.template operator()<&cos>();
            case Operation::tan:
                return run.template operator()<&tan>();
            case Operation::cot:
                return run.template operator()<&cot>();
            case Operation::sinh:
                return run.template operator()<&sinh>();
            case Operation::cosh:
                return run.template operator()<&cosh>();
            case Operation::tanh:
                return run.template operator()<&tanh>();
            case Operation::log:
                return run.template operator()<&log>();
            case Operation::sqrt:
                return run.template operator()<&sqrt>();
            case Operation::abs:
                return run.template operator()<&abs>();
            case Operation::arg:
                return run.template operator()<&arg>();
            default:
                return;
        }
    }

    static int topBit(int value) {
        int bit = 0;
        while ((value >> (bit + 1)) != 0) {
            ++bit;
        }
        return bit;
    }

    struct Arithmetic {
        using T = V;
        static V fma(V a, V b, V c) { return Lanes::fma(a, b, c); }
    };

    // The power in pairs of doubles, as the scalar kernel computes it, in
    // the same operations. Region: both parts finite and non-zero (a zero
    // part's sign is the C library's to give), the larger within
    // [2^-1000, 2^1000], and the scale 2^(kn) of the result within
    // [2^-1000, 2^1000], so that the scalings are single exact products.
    static void integerPower(const double* inReal, const double* inImaginary, int exponent,
                             double* outReal, double* outImaginary, std::size_t count) {
        const int times = exponent < 0 ? -exponent : exponent;
        for (std::size_t base = 0; base < count; base += kWidth) {
            const V x = Lanes::load(inReal + base), y = Lanes::load(inImaginary + base);
            const V big = larger(abs(x), abs(y));
            // 2^k, the power of two of the larger part, from its exponent
            // bits, and 2^-k, whose biased exponent is 2046 less that one.
            const Mask exponentBits = (Mask)big & (Mask)splat(__builtin_inf());
            const V twoToK = (V)exponentBits;
            const V inverse = (V)((Mask)splat(0x1p1023) - exponentBits);
            const V scaleBase = exponent > 0 ? twoToK : inverse;
            V scale = scaleBase;
            for (int bit = topBit(times) - 1; bit >= 0; --bit) {
                scale = scale * scale;
                if (((times >> bit) & 1) != 0) {
                    scale = scale * scaleBase;
                }
            }
            V re, im;
            ErrorFreePower<Arithmetic>::power(x * inverse, y * inverse, exponent, re, im);
            re = re * scale;
            im = im * scale;
            // A NaN or infinite part fails the bounds of the larger part.
            const Mask easy = nonZero(x) & nonZero(y) & (big >= splat(0x1p-1000)) &
                              (big <= splat(0x1p1000)) & (scale >= splat(0x1p-1000)) &
                              (scale <= splat(0x1p1000));
            store(outReal, outImaginary, base, count, re, im, easy,
                  [&](std::size_t lane, double* real, double* imaginary) {
                      scalarIntegerPower(x[lane], y[lane], exponent, real, imaginary);
                  });
        }
    }

    // An operand of a binary loop: a block's parts, or one number splatted.
    struct Operand {
        const double* real = nullptr;
        const double* imaginary = nullptr;
        V realValue;
        V imaginaryValue;
    };
    template <SplitOperand::Kind kind>
    static V realAt(const Operand& operand, std::size_t base) {
        return kind == SplitOperand::Kind::block ? Lanes::load(operand.real + base)
                                                 : operand.realValue;
    }
    template <SplitOperand::Kind kind>
    static V imaginaryAt(const Operand& operand, std::size_t base) {
        return kind == SplitOperand::Kind::block ? Lanes::load(operand.imaginary + base)
                                                 : operand.imaginaryValue;
    }

    // One binary operation for one pair of operand kinds. A real operand
    // takes part as a real number: it leaves the other's imaginary part as
    // it is, exactly as the scalar kernels' complex-with-double arithmetic
    // does.
    template <Operation operation, SplitOperand::Kind leftKind, SplitOperand::Kind rightKind>
    static void binaryLoop(const SplitOperand& left, const SplitOperand& right, const Operand& l,
                           const Operand& r, double* outReal, double* outImaginary,
                           std::size_t count) {
        constexpr bool leftReal = leftKind == SplitOperand::Kind::real;
        constexpr bool rightReal = rightKind == SplitOperand::Kind::real;
        for (std::size_t base = 0; base < count; base += kWidth) {
            const V a = realAt<leftKind>(l, base);
            const V c = realAt<rightKind>(r, base);
            V re, im;
            Mask easy = all();
            if constexpr (operation == Operation::add) {
                re = a + c;
                im = leftReal    ? imaginaryAt<rightKind>(r, base)
                     : rightReal ? imaginaryAt<leftKind>(l, base)
                                 : imaginaryAt<leftKind>(l, base) + imaginaryAt<rightKind>(r, base);
            } else if constexpr (operation == Operation::subtract) {
                re = a - c;
                im = leftReal    ? -imaginaryAt<rightKind>(r, base)
                     : rightReal ? imaginaryAt<leftKind>(l, base)
                                 : imaginaryAt<leftKind>(l, base) - imaginaryAt<rightKind>(r, base);
            } else if constexpr (operation == Operation::multiply && leftReal) {
                re = c * a;
                im = imaginaryAt<rightKind>(r, base) * a;
            } else if constexpr (operation == Operation::multiply && rightReal) {
                re = a * c;
                im = imaginaryAt<leftKind>(l, base) * c;
            } else if constexpr (operation == Operation::multiply) {
                easy = multiply(a, imaginaryAt<leftKind>(l, base), c,
                                imaginaryAt<rightKind>(r, base), re, im);
            } else if constexpr (operation == Operation::divide && rightReal) {
                re = a / c;
                im = imaginaryAt<leftKind>(l, base) / c;
            } else {
                easy = divide(a, imaginaryAt<leftKind>(l, base), c, imaginaryAt<rightKind>(r, base),
                              re, im);
            }
            store(outReal, outImaginary, base, count, re, im, easy,
                  [&](std::size_t lane, double* real, double* imaginary) {
                      scalarBinary(operation, left, right, base + lane, real, imaginary);
                  });
        }
    }

    template <Operation operation>
    static void binaryOf(const SplitOperand& left, const SplitOperand& right, double* outReal,
                         double* outImaginary, std::size_t count) {
        using Kind = SplitOperand::Kind;
        auto operandOf = [](const SplitOperand& split) {
            Operand operand;
            operand.real = split.real;
            operand.imaginary = split.imaginary;
            operand.realValue = splat(split.realValue);
            operand.imaginaryValue = splat(split.imaginaryValue);
            return operand;
        };
        const Operand l = operandOf(left);
        const Operand r = operandOf(right);
        auto run = [&]<Kind leftKind, Kind rightKind>() {
            binaryLoop<operation, leftKind, rightKind>(left, right, l, r, outReal, outImaginary,
                                                       count);
        };
        // A constant operand meets a block: the graph works out any
        // operation of two constants when it is read.
        if (left.kind == Kind::block) {
            switch (right.kind) {
                case Kind::block:
                    return run.template operator()<Kind::block, Kind::block>();
                case Kind::real:
                    return run.template operator()<Kind::block, Kind::real>();
                case Kind::complex:
                    return run.template operator()<Kind::block, Kind::complex>();
            }
        }
        if (left.kind == Kind::real) {
            return run.template operator()<Kind::real, Kind::block>();
        }
        return run.template operator()<Kind::complex, Kind::block>();
    }

    static void binary(Operation operation, const SplitOperand& left, const SplitOperand& right,
                       double* outReal, double* outImaginary, std::size_t count) {
        switch (operation) {
            case Operation::add:
                return binaryOf<Operation::add>(left, right, outReal, outImaginary, count);
            case Operation::subtract:
                return binaryOf<Operation::subtract>(left, right, outReal, outImaginary, count);
            case Operation::multiply:
                return binaryOf<Operation::multiply>(left, right, outReal, outImaginary, count);
            case Operation::divide:
                return binaryOf<Operation::divide>(left, right, outReal, outImaginary, count);
            default:
                return;
        }
    }

    static void interleave(const double* real, const double* imaginary, double* out,
                           std::size_t count) {
        std::size_t k = 0;
        for (; k + kWidth <= count; k += kWidth) {
            V first, second;
            Lanes::interleave(Lanes::load(real + k), Lanes::load(imaginary + k), first, second);
            Lanes::store(out + 2 * k, first);
            Lanes::store(out + 2 * k + kWidth, second);
        }
        for (; k < count; ++k) {
            out[2 * k] = real[k];
            out[2 * k + 1] = imaginary[k];
        }
    }

    static bool handles(Operation operation) {
        switch (operation) {
            case Operation::negate:
            case Operation::add:
            case Operation::subtract:
            case Operation::multiply:
            case Operation::divide:
            case Operation::integerPower:
            case Operation::sin:
            case Operation::cos:
            case Operation::tan:
            case Operation::cot:
            case Operation::sinh:
            case Operation::cosh:
            case Operation::tanh:
            case Operation::exp:
            case Operation::log:
            case Operation::sqrt:
            case Operation::abs:
            case Operation::arg:
            case Operation::conj:
            case Operation::re:
            case Operation::im:
                return true;
            default:
                return false;
        }
    }
};

template <typename Lanes>
constexpr VectorKernels kernelsOf(InstructionSet instructionSet) {
    VectorKernels kernels;
    kernels.instructionSet = instructionSet;
    kernels.width = Lanes::kWidth;
    kernels.handles = &VectorMath<Lanes>::handles;
    kernels.unary = &VectorMath<Lanes>::unary;
    kernels.integerPower = &VectorMath<Lanes>::integerPower;
    kernels.binary = &VectorMath<Lanes>::binary;
    kernels.interleave = &VectorMath<Lanes>::interleave;
    return kernels;
}

}  // namespace
}  // namespace complexplot

#include "complex_functions.h"

#include "checked_double.h"

namespace complexplot {

namespace {

// The ends of the real arcsine as stored: 15 decimals, 7 units in the last
// place below the double nearest pi/2. Kept as written so that the clamp
// branch gives the same number as before.
constexpr double kHalfPiStored = 1.570796326794895;

// Below this radius the logarithm gives ln(0.000001) in both parts; on the
// strip |x| < this the arctangent gives (0, 0).
constexpr double kSingularRadius = 0.000001;

// The arctangent takes ln q only when |q| exceeds this.
constexpr double kQuotientFloor = 0.00001;

}  // namespace

Complex MakeComplex(double re, double im) {
    return Complex{re, im};
}

// The hyperbolic functions are formed from two real exponentials, e^-y first.
// The exponentials overflow from |y| of about 710 on, which raises.

Complex ComplexSin(const Complex& z) {
    const CheckedDouble x = z.Re;
    const CheckedDouble y = z.Im;
    const CheckedDouble expMinusY = exp(-y);
    const CheckedDouble expY = exp(y);
    const double c = ((expY + expMinusY) / 2.0).value();
    const double s = ((expY - expMinusY) / 2.0).value();
    Complex w;
    w.Re = (sin(x) * c).value();
    w.Im = (cos(x) * s).value();
    return w;
}

Complex ComplexCos(const Complex& z) {
    const CheckedDouble x = z.Re;
    const CheckedDouble y = z.Im;
    const CheckedDouble expMinusY = exp(-y);
    const CheckedDouble expY = exp(y);
    const double c = ((expY + expMinusY) / 2.0).value();
    const double s = ((expY - expMinusY) / 2.0).value();
    Complex w;
    w.Re = (cos(x) * c).value();
    // -s, not -(sin x * s): on the real axis this yields a negative zero.
    w.Im = (sin(x) * -CheckedDouble(s)).value();
    return w;
}

// tan(x + iy) = [tan x (1 - tanh^2 y) + i tanh y (1 + tan^2 x)] / (1 + tan^2 x tanh^2 y).
// The denominator is at least 1, and the real tangent of a double is always
// finite, so there is no special case near x = ±pi/2.
Complex ComplexTan(const Complex& z) {
    const CheckedDouble x = z.Re;
    const CheckedDouble y = z.Im;
    const CheckedDouble expMinusY = exp(-y);
    const CheckedDouble expY = exp(y);
    const CheckedDouble h = ((expY - expMinusY) / (expMinusY + expY)).value();
    const CheckedDouble t = tan(x).value();
    const CheckedDouble d = (((t * t) * h) * h + 1.0).value();
    Complex w;
    w.Re = (t * (1.0 - h * h) / d).value();
    w.Im = (h * (t * t + 1.0) / d).value();
    return w;
}

double ArcSinReal(double p) {
    if (p <= -1.0) {
        return -kHalfPiStored;
    }
    if (p >= 1.0) {
        return kHalfPiStored;
    }
    const CheckedDouble checkedP = p;
    return atan(checkedP / sqrt(-checkedP * checkedP + 1.0)).value();
}

// The imaginary part is arcsin(y/|z|), in [-pi/2, pi/2]: the principal
// argument for x >= 0, and the argument of the mirror point -x + iy for
// x < 0. The left half of its picture therefore mirrors the right half.
Complex ComplexLog(const Complex& z) {
    const CheckedDouble x = z.Re;
    const CheckedDouble y = z.Im;
    const CheckedDouble r = sqrt(x * x + y * y).value();
    Complex w;
    if (abs(r).value() < kSingularRadius) {
        const double floorValue = std::log(kSingularRadius);
        w.Re = floorValue;
        w.Im = floorValue;
        return w;
    }
    w.Re = log(r).value();
    w.Im = ArcSinReal((y / r).value());
    return w;
}

// Evaluated step by step. A step whose arithmetic fails is abandoned and the
// evaluation goes on with the next one; what the step would have assigned
// keeps its previous value, so the intermediates a, d, g and q count as 0
// until their step succeeds. With finite arguments only an overflow can fail
// (|z| beyond about 1e77); non-finite arguments fail their steps the same way,
// so the result is always finite and no error leaves this function.
Complex ComplexArcTan(const Complex& z, const WindowState& state) {
    const CheckedDouble x = z.Re;
    const CheckedDouble y = z.Im;
    double a = 0.0;
    double d = 0.0;
    double g = 0.0;
    double q = 0.0;
    Complex w;

    auto assignIfOk = [](double& target, CheckedDouble result) {
        if (result.ok()) {
            target = result.raw();
        }
    };

    // Step 1 and 2.
    assignIfOk(a, x * x + y * y - 1.0);
    assignIfOk(d, CheckedDouble(a) * a + 4.0 * x * x);

    // Step 3: on the strip around the imaginary axis the result is (0, 0)
    // whatever y is. A test that cannot be made is skipped like any step.
    const CheckedDouble distanceFromAxis = abs(x);
    if (distanceFromAxis.ok() && distanceFromAxis.raw() < kSingularRadius) {
        return w;
    }

    // Steps 4 to 8: the principal value, Re = atan g = atan2(2x, 1 - |z|^2) / 2
    // and Im = ln(|z + i| / |z - i|) / 2, with q that quotient squared.
    assignIfOk(g, (CheckedDouble(a) + sqrt(CheckedDouble(d))) / (2.0 * x));
    assignIfOk(w.Re, atan(CheckedDouble(g)));
    assignIfOk(q, (x * g + y + 1.0) / (x * g - y + 1.0));
    // Near z = -i, q tends to 0: keep the logarithm away from it and leave
    // the bottom of the grey scale there.
    w.Im = state.RangeMin;
    const CheckedDouble quotientSize = abs(CheckedDouble(q));
    if (quotientSize.ok() && quotientSize.raw() > kQuotientFloor) {
        assignIfOk(w.Im, log(CheckedDouble(q)) / 2.0);
    }
    return w;
}

}  // namespace complexplot

#!/usr/bin/python3
"""Reference values for the accuracy test of the expression language.

For each function of one argument about a thousand points: random ones over
the plane and over many decades, ones within 1e-3 and 1e-12 of |z| = 1, near
the zeros of sin, cos and tan, with large parts where sinh and cosh grow past
700 and angles near 2^30, with subnormal parts, and on and close to each
branch cut (both signs of zero) and singular point. For the integer powers
z^n, n from -64 to 64, about a thousand points in all, near the diagonals
where x^2 - y^2 cancels and at sizes whose powers come near the ends of the
doubles, subnormal results included. The true value of each is
computed with mpmath and written with 25 significant digits. The working
precision is 400 digits, not 50: mpmath's inverse functions lose the sign of
an imaginary part of 1e-300 next to a real part near 1 at less.

Needs Debian's python3-mpmath; only regenerating the data needs it:

    /usr/bin/python3 tests/data/make_reference_values.py > tests/data/reference_values.txt

With --derivatives it writes instead the derivative of each analytic
function (all but abs and arg) at the points of reference_values.txt, from
the function's analytic rule, in the same form:

    /usr/bin/python3 tests/data/make_reference_values.py --derivatives \
        > tests/data/reference_derivatives.txt

Each line: expression, Re z and Im z (as exact hexadecimal doubles), and
Re f(z) and Im f(z). Points are doubles, so the true value is that of
the double point, not of a decimal near it.
"""

import math
import random
import sys

import mpmath

mpmath.mp.dps = 400
random.seed(20261207)

# On a branch cut, the sign of a zero part picks the side (C99 Annex G): the
# true value there is the limit from that side, which mpmath gives for a
# point moved off the cut by far less than a double can tell.
SIDE = mpmath.mpf("1e-60")


class Cut:
    """A branch cut along the real or the imaginary axis, where `along`
    holds for the coordinate along that axis."""

    def __init__(self, axis, along):
        self.axis = axis
        self.along = along

    def holds(self, x, y):
        if self.axis == "real":
            return y == 0.0 and self.along(x)
        return x == 0.0 and self.along(y)

    def point(self, along, across):
        return complex(along, across) if self.axis == "real" else complex(across, along)


FUNCTIONS = {
    "sin(z)": (mpmath.sin, None),
    "cos(z)": (mpmath.cos, None),
    "tan(z)": (mpmath.tan, None),
    "cot(z)": (mpmath.cot, None),
    "sinh(z)": (mpmath.sinh, None),
    "cosh(z)": (mpmath.cosh, None),
    "tanh(z)": (mpmath.tanh, None),
    "asin(z)": (mpmath.asin, Cut("real", lambda x: abs(x) > 1)),
    "acos(z)": (mpmath.acos, Cut("real", lambda x: abs(x) > 1)),
    "atan(z)": (mpmath.atan, Cut("imaginary", lambda y: abs(y) > 1)),
    "asinh(z)": (mpmath.asinh, Cut("imaginary", lambda y: abs(y) > 1)),
    "acosh(z)": (mpmath.acosh, Cut("real", lambda x: x < 1)),
    "atanh(z)": (mpmath.atanh, Cut("real", lambda x: abs(x) > 1)),
    "exp(z)": (mpmath.exp, None),
    "log(z)": (mpmath.log, Cut("real", lambda x: x < 0)),
    "sqrt(z)": (mpmath.sqrt, Cut("real", lambda x: x < 0)),
    "abs(z)": (lambda w: abs(w), None),
    "arg(z)": (lambda w: mpmath.arg(w), Cut("real", lambda x: x < 0)),
}

# Where each function has a singular or branch point, or a zero: points close
# to these test what is hardest.
SPECIAL_POINTS = {
    "sin(z)": [0, math.pi, -math.pi, 2 * math.pi, 10 * math.pi],
    "cos(z)": [math.pi / 2, -math.pi / 2, 3 * math.pi / 2],
    "tan(z)": [0, math.pi / 2, -math.pi / 2, math.pi],
    "cot(z)": [0, math.pi / 2, math.pi, -math.pi],
    "sinh(z)": [0, 1j * math.pi, 710, -710],
    "cosh(z)": [0.5j * math.pi, 710, -710],
    "tanh(z)": [0, 0.5j * math.pi, 1j * math.pi],
    "asin(z)": [1, -1, 0],
    "acos(z)": [1, -1],
    "atan(z)": [1j, -1j, 0],
    "asinh(z)": [1j, -1j, 0],
    "acosh(z)": [1, -1],
    "atanh(z)": [1, -1, 0],
    "exp(z)": [0, 709, -745, 1j * math.pi],
    "log(z)": [0, 1, -1, 1j],
    "sqrt(z)": [0, 1, -1],
    "abs(z)": [0],
    "arg(z)": [0, 1, -1],
}


def random_points(count):
    points = [complex(random.uniform(-4, 4), random.uniform(-4, 4)) for _ in range(count)]
    for decades in (8, 20, 300):
        for _ in range(count // 2):
            size = 10 ** random.uniform(-decades, decades)
            angle = random.uniform(-math.pi, math.pi)
            points.append(complex(size * math.cos(angle), size * math.sin(angle)))
    return points


def near_unit_circle(count):
    points = []
    for distance in (1e-3, 1e-12):
        for _ in range(count):
            size = 1 + distance * random.uniform(-1, 1)
            angle = random.uniform(-math.pi, math.pi)
            points.append(complex(size * math.cos(angle), size * math.sin(angle)))
    return points


def zeros_of_the_circular_functions():
    """Near k pi and pi/2 + k pi, where sin, cos and tan vanish or blow up."""
    points = []
    for k in range(-20, 21):
        for centre in (k * math.pi, math.pi / 2 + k * math.pi):
            for _ in range(2):
                offset = 10 ** random.uniform(-15, -2)
                angle = random.uniform(-math.pi, math.pi)
                points.append(complex(centre + offset * math.cos(angle), offset * math.sin(angle)))
    return points


def large_parts():
    """Hyperbolic arguments near 300, 355 and 708-710, angles near 2^30."""
    points = []
    for _ in range(40):
        for size in (random.uniform(295, 305), random.uniform(350, 360),
                     random.uniform(706, 711)):
            small = random.uniform(-3, 3)
            sign = random.choice((1, -1))
            points.append(complex(small, sign * size))
            points.append(complex(sign * size, small))
        angle = 2.0 ** 30 * random.uniform(0.999, 1.001)
        points.append(complex(random.choice((1, -1)) * angle, random.uniform(-3, 3)))
    return points


def subnormal_parts():
    points = []
    for _ in range(40):
        tiny = random.randint(1, 2 ** 40) * 5e-324 * random.choice((1, -1))
        other = random.uniform(-4, 4)
        points += [complex(tiny, other), complex(other, tiny)]
    return points


def near(point):
    points = []
    for _ in range(12):
        offset = 10 ** random.uniform(-14, -1)
        angle = random.uniform(-math.pi, math.pi)
        points.append(point + complex(offset * math.cos(angle), offset * math.sin(angle)))
    return points


def along_cut(cut):
    """Points on the cut with both signs of zero, and just off it."""
    if cut is None:
        return []
    points = []
    while len(points) < 60:
        size = 10 ** random.uniform(-6, 6)
        along = random.choice((size, -size, 1 + size, -1 - size))
        if cut.along(along):
            for across in (0.0, -0.0, 1e-300, -1e-300, 1e-10, -1e-10):
                points.append(cut.point(along, across))
    return points


def true_value(function, cut, point):
    x, y = point.real, point.imag
    if cut is not None and cut.holds(x, y):
        x_side = math.copysign(SIDE, x) if x == 0.0 else mpmath.mpf(x)
        y_side = math.copysign(SIDE, y) if y == 0.0 else mpmath.mpf(y)
        return function(mpmath.mpc(x_side, y_side))
    return function(mpmath.mpc(x, y))


def write(out, expression, point, value):
    out.write("%s %s %s %s %s\n" % (
        expression, point.real.hex(), point.imag.hex(),
        mpmath.nstr(value.real, 25, min_fixed=1, max_fixed=0),
        mpmath.nstr(value.imag, 25, min_fixed=1, max_fixed=0)))


def write_if_representable(out, expression, point, function, cut):
    """The line of the true value at the point, where it is one a double can
    hold, and not zero: the error is measured relative to the value's size."""
    try:
        value = mpmath.mpc(true_value(function, cut, point))
    except (ZeroDivisionError, ValueError):
        return
    size = abs(value)
    if not mpmath.isfinite(size) or size == 0 or size > 1e308 or size < 1e-300:
        return
    write(out, expression, point, value)


def functions(out):
    shared = (near_unit_circle(100) + zeros_of_the_circular_functions() + large_parts() +
              subnormal_parts())
    for expression, (function, cut) in FUNCTIONS.items():
        points = random_points(120) + shared
        for special in SPECIAL_POINTS[expression]:
            points += near(complex(special))
        points += along_cut(cut)
        for point in points:
            write_if_representable(out, expression, point, function, cut)


def powers(out):
    """z^n for n from -64 to 64: eight points for each n."""
    for n in range(-64, 65):
        if n == 0:
            continue
        points = []
        for _ in range(3):
            points.append(complex(random.uniform(-3, 3), random.uniform(-3, 3)))
        x = random.uniform(-2, 2)
        points.append(complex(x, random.choice((1, -1)) * x * (1 + random.uniform(-1, 1) * 2.0 ** -30)))
        angle = random.uniform(-math.pi, math.pi)
        size = 1 + 1e-12 * random.uniform(-1, 1)
        points.append(complex(size * math.cos(angle), size * math.sin(angle)))
        # Sizes whose n-th power lies near the largest double and near the
        # subnormals.
        for target in (1e300, 1e-305, 1e-315):
            exponent = math.log10(target) / n
            if abs(exponent) > 307:
                continue
            size = 10 ** exponent * (1 + random.uniform(-0.01, 0.01))
            angle = random.uniform(-math.pi, math.pi)
            points.append(complex(size * math.cos(angle), size * math.sin(angle)))
        for point in points:
            try:
                value = mpmath.mpc(point) ** n
            except ZeroDivisionError:
                continue
            size = abs(value)
            if not mpmath.isfinite(size) or size == 0 or size > 1e308 or size < 1e-320:
                continue
            write(out, "z^%d" % n, point, value)


DERIVATIVES = {
    "sin(z)": mpmath.cos,
    "cos(z)": lambda w: -mpmath.sin(w),
    "tan(z)": lambda w: mpmath.sec(w) ** 2,
    "cot(z)": lambda w: -mpmath.csc(w) ** 2,
    "sinh(z)": mpmath.cosh,
    "cosh(z)": mpmath.sinh,
    "tanh(z)": lambda w: mpmath.sech(w) ** 2,
    "asin(z)": lambda w: 1 / mpmath.sqrt(1 - w * w),
    "acos(z)": lambda w: -1 / mpmath.sqrt(1 - w * w),
    "atan(z)": lambda w: 1 / (1 + w * w),
    "asinh(z)": lambda w: 1 / mpmath.sqrt(1 + w * w),
    "acosh(z)": lambda w: 1 / (mpmath.sqrt(w - 1) * mpmath.sqrt(w + 1)),
    "atanh(z)": lambda w: 1 / (1 - w * w),
    "exp(z)": mpmath.exp,
    "log(z)": lambda w: 1 / w,
    "sqrt(z)": lambda w: 1 / (2 * mpmath.sqrt(w)),
}


def derivatives(out):
    """f'(z) at each point of the reference values, on a branch cut from the
    side its signed zero picks, as the values are."""
    path = __file__.replace("make_reference_values.py", "reference_values.txt")
    for line in open(path):
        expression, x, y = line.split()[:3]
        point = complex(float.fromhex(x), float.fromhex(y))
        if expression.startswith("z^"):
            n = int(expression[2:])
            derivative, cut = (lambda w, n=n: n * w ** (n - 1)), None
        elif expression in DERIVATIVES:
            derivative, cut = DERIVATIVES[expression], FUNCTIONS[expression][1]
        else:
            continue
        write_if_representable(out, expression, point, derivative, cut)


def main():
    if sys.argv[1:] == ["--derivatives"]:
        derivatives(sys.stdout)
        return
    functions(sys.stdout)
    powers(sys.stdout)


if __name__ == "__main__":
    main()

#pragma once

// The complex value and the five evaluators a plot run calls, built on real
// elementary functions only. Every evaluator except ComplexArcTan raises a
// RuntimeError when a step overflows, divides by zero or is invalid.

#include "runtime_error.h"
#include "window_state.h"

namespace complexplot {

struct Complex {
    double Re = 0.0;
    double Im = 0.0;
};

// Any numeric kind converts to double on the way in.
Complex MakeComplex(double re, double im);

Complex ComplexSin(const Complex& z);
Complex ComplexCos(const Complex& z);
Complex ComplexTan(const Complex& z);

// Real arcsine, clamped to the stored ends ±1.570796326794895 for |p| >= 1.
double ArcSinReal(double p);

Complex ComplexLog(const Complex& z);

// Never raises: a failing step is skipped and the evaluation goes on. Reads
// the window's RangeMin as the imaginary part where the logarithm of the
// quotient is not taken.
Complex ComplexArcTan(const Complex& z, const WindowState& state);

}  // namespace complexplot

// The expression language: what it reads, how it groups, what it computes
// and what it says where it cannot read.

#include <gtest/gtest.h>

#include "quoted_text.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "compiled_expression.h"
#include "expression_error.h"
#include "math_notation.h"
#include "parser.h"

using namespace complexplot;

namespace {

ComplexValue valueOf(const std::string& text, ComplexValue z = 0.0) {
    return CompiledExpression(text)(z);
}

bool sameBits(ComplexValue a, ComplexValue b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

TEST(ExpressionLanguage, PrecedenceAndGrouping) {
    const ComplexValue three = 3.0;
    EXPECT_EQ(valueOf("2+3*4"), 14.0);
    EXPECT_EQ(valueOf("2*3^2"), 18.0);
    EXPECT_EQ(valueOf("-z^2", three), -9.0);  // the power binds tighter than the sign
    EXPECT_EQ(valueOf("-2^2"), -4.0);
    EXPECT_EQ(valueOf("2^3^2"), 512.0);  // groups to the right
    EXPECT_EQ(valueOf("(2^3)^2"), 64.0);
    EXPECT_EQ(valueOf("z^-1", 4.0), 0.25);
    EXPECT_EQ(valueOf("8/2/2"), 2.0);  // the others group to the left
    EXPECT_EQ(valueOf("8-2-2"), 4.0);
    EXPECT_EQ(valueOf("--z+ +z", three), 6.0);
    EXPECT_EQ(valueOf("2i*i"), -2.0);
    EXPECT_EQ(valueOf("0.5i + .5 - 1e-3"), ComplexValue(0.499, 0.5));
    EXPECT_EQ(valueOf("pi"), std::numbers::pi);
    EXPECT_EQ(valueOf("e"), std::numbers::e);
    EXPECT_EQ(valueOf("re(z) + im(z) + abs(3+4i) + arg(-1)", ComplexValue(1, 2)),
              8.0 + std::numbers::pi);
    EXPECT_EQ(valueOf("conj(z)", ComplexValue(1, 2)), ComplexValue(1, -2));
    // A subexpression met twice is the same value, and z alone is z.
    EXPECT_EQ(valueOf("(z^2+1)/(z^2-1)", three), 10.0 / 8.0);
    EXPECT_EQ(valueOf("((z))", three), three);
}

// w ^ n for an integer constant is carried in pairs of doubles and rounded
// once: the same bits on every instruction set, each part within one unit
// of its own exact value even where x^2 - y^2 cancels, and at 0 what the C
// library's product gives (exp(n log w) has no value there).
TEST(ExpressionLanguage, IntegerPowersAreRoundedOnceOnEveryPath) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> part(-3.0, 3.0);
    std::vector<ComplexValue> points;
    for (int k = 0; k < 400; ++k) {
        points.emplace_back(part(random), part(random));
    }
    // Near the diagonals, where the real part of z^2 cancels.
    for (int k = 0; k < 100; ++k) {
        const double x = part(random);
        points.emplace_back(x, (k % 2 != 0 ? -x : x) * (1 + std::ldexp(part(random), -30)));
    }
    for (const int n : {-64, -17, -3, -1, 1, 2, 3, 5, 16, 33, 64}) {
        const std::string text = "z^" + std::to_string(n);
        std::vector<ComplexValue> expected(points.size()), scratch;
        CompiledExpression(text, InstructionSet::scalar)
            .evaluate(points.data(), expected.data(), points.size(), scratch);
        for (const InstructionSet set : {InstructionSet::avx2, InstructionSet::avx512}) {
            if (vectorKernelsFor(set) == nullptr) {
                continue;
            }
            std::vector<ComplexValue> values(points.size());
            CompiledExpression(text, set).evaluate(points.data(), values.data(), points.size(),
                                                   scratch);
            for (std::size_t k = 0; k < points.size(); ++k) {
                EXPECT_TRUE(sameBits(values[k], expected[k])) << text << " at " << points[k];
            }
        }
    }
    const CompiledExpression square("z^2");
    for (const ComplexValue& z : points) {
        // x^2 - y^2 exactly: each square as a rounded product and its exact
        // error, the difference of the rounded ones exact near the diagonal.
        const double x = z.real(), y = z.imag();
        const double xx = x * x, yy = y * y;
        const long double exact =
            static_cast<long double>(xx - yy) +
            (static_cast<long double>(std::fma(x, x, -xx)) - std::fma(y, y, -yy));
        const double ulp = std::ldexp(1.0, std::ilogb(static_cast<double>(exact)) - 52);
        EXPECT_LE(std::fabs(square(z).real() - exact), ulp) << z;
        EXPECT_EQ(square(z).imag(), 2 * x * y) << z;
    }
    EXPECT_EQ(valueOf("z^2", 0.0), 0.0);
    EXPECT_EQ(valueOf("z^0", 0.0), 1.0);
    EXPECT_EQ(valueOf("z^1", points[0]), points[0]);
    EXPECT_FALSE(std::isfinite(std::abs(valueOf("z^-1", 0.0))));
    // On the real axis the imaginary part keeps the product's signed zero.
    EXPECT_TRUE(sameBits(valueOf("z^3", ComplexValue(-2.0, 0.0)), ComplexValue(-8.0, 0.0)));
    EXPECT_TRUE(sameBits(valueOf("z^3", ComplexValue(-2.0, -0.0)), ComplexValue(-8.0, -0.0)));
}

// On the scalar kernels, evaluated in blocks, an expression gives what the
// same formula written in C++ gives, bit for bit: the same operations in the
// same order.
TEST(ExpressionLanguage, SameValuesAsTheFormulaWrittenInCpp) {
    using C = ComplexValue;
    const std::pair<const char*, C (*)(C)> formulas[] = {
        {"exp(1/z)", [](C z) { return std::exp(1.0 / z); }},
        {"(z*z+1)/(z*z-1)", [](C z) { return (z * z + 1.0) / (z * z - 1.0); }},
        {"sqrt(z)*cos(z) - 2i*atan(z)",
         [](C z) { return std::sqrt(z) * std::cos(z) - C(0, 2) * std::atan(z); }},
        {"log(-z) + cot(z) + 3*conj(z)",
         [](C z) { return std::log(-z) + 1.0 / std::tan(z) + 3.0 * std::conj(z); }},
    };
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> part(-3.0, 3.0);
    std::vector<C> points(1000);
    for (C& z : points) {
        z = C(part(random), part(random));
    }
    points[0] = C(0.0, -0.0);
    points[1] = C(1.0, 0.0);
    for (const auto& [text, formula] : formulas) {
        std::vector<C> values(points.size());
        std::vector<C> scratch;
        CompiledExpression(text, InstructionSet::scalar)
            .evaluate(points.data(), values.data(), points.size(), scratch);
        for (std::size_t k = 0; k < points.size(); ++k) {
            const C expected = formula(points[k]);
            EXPECT_TRUE(sameBits(values[k], expected) ||
                        (std::isnan(values[k].real()) && std::isnan(expected.real())))
                << text << " at " << points[k];
        }
    }
}

// Any other power is exp(p log w) on the principal branch; 0^p is 0 for
// Re p > 0 and has no value for Re p <= 0.
TEST(ExpressionLanguage, OtherPowersArePrincipal) {
    const ComplexValue root = valueOf("(-8)^(1/3)");
    EXPECT_NEAR(root.real(), 1.0, 1e-15);
    EXPECT_NEAR(root.imag(), std::sqrt(3.0), 1e-15);
    EXPECT_EQ(valueOf("z^0.5", 0.0), 0.0);
    EXPECT_FALSE(std::isfinite(std::abs(valueOf("z^i", 0.0))));
    EXPECT_FALSE(std::isfinite(std::abs(valueOf("z^-0.5", 0.0))));
    // 65 is beyond repeated multiplication.
    const ComplexValue z(1.1, 0.3);
    EXPECT_EQ(valueOf("z^65", z), std::exp(65.0 * std::log(z)));
}

// A real number added to z leaves its imaginary part alone, with the sign
// of a zero, which picks the side of a branch cut: log(z + 1) at -3 - 0i is
// below the cut, as std::log(z + 1.0) is.
TEST(ExpressionLanguage, RealNumbersLeaveTheSignOfAZero) {
    const ComplexValue below(-3.0, -0.0);
    EXPECT_EQ(valueOf("log(z+1)", below).imag(), -std::numbers::pi);
    EXPECT_EQ(valueOf("log(z-1)", below).imag(), -std::numbers::pi);
    EXPECT_EQ(valueOf("sqrt(2*z)", below), std::sqrt(2.0 * below));
    EXPECT_EQ(valueOf("log(z+1)", ComplexValue(-3.0, 0.0)).imag(), std::numbers::pi);
    // A negative number is real: on the cut, from above, as in C++.
    EXPECT_EQ(valueOf("log(-1)").imag(), std::numbers::pi);
    EXPECT_EQ(valueOf("sqrt(-4)"), ComplexValue(0.0, 2.0));
}

TEST(ExpressionErrors, EachMessageNamesItsColumnAndWhatWasExpected) {
    struct Case {
        const char* text;
        int column;
        const char* says;
    };
    const Case cases[] = {
        {"z^2+", 5, "expected a number, a name or '('"},
        {"", 1, "expected a number"},
        {"2z", 2, "write '2*z'"},
        {"(z+1)(z-1)", 6, "write '(z+1)*("},
        {"2 sin(z)", 3, "write '2*sin"},
        // What the user typed is quoted, control characters escaped.
        {"(z\n)1", 5, "write '(z\\n)*1'"},
        {"(z\x0b\x0c\r)1", 7, "write '(z\\x0b\\x0c\\r)*1'"},
        {"(z+1", 5, "expected ')' to close the '(' at column 1"},
        {"sin z", 5, "expected '(' after sin"},
        {"z)", 2, "expected an operator or the end"},
        {"foo(z)", 1, "unknown name 'foo': the known names are z, i, pi, e and the functions sin"},
        {"Sin(z)", 1, "names are lower case, write sin"},
        {"z $ 2", 3, "unexpected character '$'"},
        {"1 + \u865a", 5, "unexpected character '\u865a'"},  // columns count characters
        {"z\x1b[2J", 2, "unexpected control character"},
        {"1e999", 1, "out of the range of double precision"},
        {"100000000000000000000e99999999999999999999", 1, "out of the range"},
        {"z*.", 3, "expected digits around '.'"},
        // What a tired user types, and what to write instead.
        {"lg(z)", 1, "did you mean log?"},
        {"sni(z)", 1, "did you mean sin?"},
        {"foo(z)", 1, "the known names are"},
        {"z**2", 3, "a power is written with ^, as in 'z^2'"},
        {"1+(z-1)**3", 9, "as in '(z-1)^3'"},
        {"|z-1|", 1, "for the modulus write 'abs(z-1)'"},
        // Names of another meaning are never offered: acot is not cot.
        {"acot(z)", 1, "for acot(z) write atan(1/z)"},
        {"arccot(z)", 1, "for arccot(z) write atan(1/z)"},
        {"asec(z)", 1, "for asec(z) write acos(1/z)"},
        {"nan", 1, "no NaN constant"},
        // A number cut short, or written as this language does not read it,
        // is not offered a product.
        {"1e", 2, "the number '1e' has no digits in its exponent"},
        {"1e+", 2, "the number '1e' has no digits"},
        {"0x1p3", 2, "'0x1p3' is hexadecimal"},
        {"3ii", 2, "'3ii' has more than one i"},
        {"1.2.3", 4, "'1.2.3' has more than one decimal point"},
        {"z^2z", 4, "an exponent that is a product goes in parentheses, as in '^(2*z)'"},
        {"z^(2z)", 5, "write '2*z'"},
        // Characters that cannot be seen, and bytes that are not UTF-8, are
        // shown as escapes.
        {"sin(z)\u200b", 7, "unexpected character '\\u200b'"},
        {"z+\u00a0", 3, "unexpected character '\\u00a0'"},
        {"z+\xff", 3, "unexpected character '\\xff'"},
    };
    for (const Case& c : cases) {
        try {
            CompiledExpression expression(c.text);
            ADD_FAILURE() << c.text << " was read";
        } catch (const ExpressionError& error) {
            EXPECT_EQ(error.column(), c.column) << c.text;
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos)
                << c.text << ": " << error.what();
            // The message is its pattern with every place filled, as a
            // translation fills it.
            EXPECT_EQ(error.what(), englishText(error.message(), error.arguments()));
            EXPECT_EQ(std::string(error.what()).find('%'), std::string::npos) << error.what();
        }
    }
}

// What the user typed is filled in once: a "%1" in it stays as typed.
TEST(ExpressionErrors, TypedTextIsFilledInOnce) {
    try {
        CompiledExpression expression("z %1");
        ADD_FAILURE() << "read";
    } catch (const ExpressionError& error) {
        EXPECT_STREQ(error.what(), "unexpected character '%'");
    }
    EXPECT_EQ(englishText(ExpressionMessage::expectedClosing, {"3", "'%2'"}),
              "expected ')' to close the '(' at column 3, not '%2'");
    EXPECT_EQ(englishText(ExpressionMessage::expectedClosing, {"3", ""}),
              "expected ')' to close the '(' at column 3, not the end");
}

// Input nested far deeper than any formula would be is refused, not a
// crash of a reader that recurses.
TEST(ExpressionErrors, DeepNestingIsRefused) {
    for (const std::string& text : {std::string(100000, '(') + "z", std::string(100000, '-') + "z",
                                    "z" + std::string(50000, '^') + "2"}) {
        EXPECT_THROW(CompiledExpression{text}, ExpressionError);
    }
}

// A number too small for any double is the nearest one, zero, as in C++ and
// Python; one that a subnormal holds is that subnormal.
TEST(ExpressionLanguage, NumbersThatUnderflowAreTheNearestDouble) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"1e-400", 0.0},
        {"2e-324", 0.0},
        {"0.000000001e-320", 0.0},
        {"3e-324", 4.9406564584124654e-324},
        {"1e-99999999999999999999", 0.0},
        {"-1e-400", -0.0},
    };
    for (const auto& c : cases) {
        const ParsedExpression parsed = parseExpression(c.text);
        ASSERT_TRUE(parsed.graph.isConstant(parsed.root)) << c.text;
        const double value = parsed.graph.node(parsed.root).value.real();
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
    }
}

// The line under a message: the typed text escaped, cut around the caret
// when it is long, and the caret under the character the column names.
TEST(CaretExcerpt, EscapesAndCutsAroundTheCaret) {
    const CaretExcerpt control = caretExcerpt("(z\n)1", 5);
    EXPECT_EQ(control.text, "(z\\n)1");
    EXPECT_EQ(control.caret, "     ^");
    EXPECT_EQ(caretExcerpt("z+\xc2\x9b"
                           "31m",
                           3)
                  .text,
              "z+\\u009b31m");

    const std::string longText = std::string(1000, 'a') + "#" + std::string(1000, 'b');
    const CaretExcerpt cut = caretExcerpt(longText, 1001, 60);
    EXPECT_EQ(cut.text, "\u2026" + std::string(60, 'a') + "#" + std::string(60, 'b') + "\u2026");
    EXPECT_EQ(cut.caret, std::string(61, ' ') + "^");
    // At the end, the caret stands one past the last character.
    EXPECT_EQ(caretExcerpt("z+", 3).caret, "  ^");
}

// The names students type for the inverse functions and the logarithm are
// the same functions.
TEST(ExpressionLanguage, CommonAliasesNameTheSameFunctions) {
    const ComplexValue z(0.3, -1.7);
    const std::pair<const char*, const char*> aliases[] = {
        {"arctan(z)", "atan(z)"},   {"arcsin(z)", "asin(z)"},   {"arccos(z)", "acos(z)"},
        {"arsinh(z)", "asinh(z)"},  {"arcosh(z)", "acosh(z)"},  {"artanh(z)", "atanh(z)"},
        {"arcsinh(z)", "asinh(z)"}, {"arccosh(z)", "acosh(z)"}, {"arctanh(z)", "atanh(z)"},
        {"ln(z)", "log(z)"}};
    for (const auto& [alias, name] : aliases) {
        EXPECT_EQ(valueOf(alias, z), valueOf(name, z)) << alias;
    }
}

// Titles print an expression as a textbook does; what it cannot print in
// that form it leaves as typed.
TEST(MathNotation, PrintsPowersRootsProductsAndPi) {
    const std::pair<const char*, const char*> cases[] = {
        {"z^2", "z²"},
        {"z^-3+1", "z⁻³+1"},
        {"z^10", "z¹⁰"},
        {"z^2.5", "z^2.5"},
        {"z^(n+1)", "z^(n+1)"},
        {"2^3^2", "2³²"},
        {"z^2z", "z^2z"},
        {"2*z", "2\u2009z"},
        {"z*z", "z·z"},
        {"2*pi*z", "2\u2009π·z"},
        {"sqrt(z)", "√z"},
        {"sqrt( pi )", "√π"},
        {"sqrt(z+1)", "√(z+1)"},
        {"exp(-1/z)", "exp(−1/z)"},
        {"1e-3*z", "1e-3\u2009z"},
        {"2i*z", "2i\u2009z"},
        {"(z^2+1)/(z^2-1)", "(z²+1)/(z²−1)"},
    };
    for (const auto& [typed, printed] : cases) {
        EXPECT_EQ(mathNotation(typed), printed) << typed;
    }
    // Any depth, in one pass.
    const std::string deep = std::string(100000, '(') + "z" + std::string(100000, ')');
    EXPECT_EQ(mathNotation(deep), deep);
}

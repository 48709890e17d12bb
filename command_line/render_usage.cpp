#include "render_usage.h"

#include "render_options.h"

namespace complexplot {

std::string renderUsage() {
    return "usage: complex-plot-render [--axes] [--scale N] [-o DIR] [--window FILE.png]\n"
           "                           [--figure FILE] NAME...\n"
           "       complex-plot-render --function EXPR [--window X0,X1,Y0,Y1] [--size W[xH]]\n"
           "                           [--range LO,HI] [--name STEM] [--data FILE.npy]\n"
           "                           [--threads N] [--axes] [-o DIR] [--figure FILE]\n"
           "\n"
           "Writes the real and the imaginary part of f(z) as two grey maps: DIR/NAME-re.png\n"
           "and DIR/NAME-im.png for a preset, as the window paints them after a click on that\n"
           "button, or DIR/STEM-re.png and DIR/STEM-im.png for an expression.\n"
           "\n"
           "  NAME               one of: " +
           presetNameList() +
           " (any case)\n"
           "  --axes             draw the real axis (red) and the imaginary axis (blue)\n"
           "  -o DIR             the folder to write into (default: the current folder)\n"
           "  --figure FILE      also write a figure for handouts: both maps with ticks,\n"
           "                     numbers and a grey legend, as FILE.png, FILE.svg or\n"
           "                     FILE.pdf (one A4 landscape page); with --figure, the map\n"
           "                     files are written only when -o is given\n"
           "  --figure-width PX  the width of a PNG figure, 600 to 8000 (default 1600)\n"
           "  --help             print this text\n"
           "  --                 what follows is names only\n"
           "\n"
           "With preset names:\n"
           "  --scale N          render N times larger in both directions, N from 1 to 8\n"
           "                     (default 1: 257 x 249 pixels)\n"
           "  --window FILE.png  also write a PNG of the whole window after the last click,\n"
           "                     N times larger at --scale N\n"
           "\n"
           "With --function EXPR, an expression of z such as 'exp(1/z)' or '(z^2+1)/(z^2-1)':\n"
           "  --window X0,X1,Y0,Y1  the rectangle of the plane (default -2,2,-2,2); write\n"
           "                     --window=-2,2,-2,2 when it starts with a minus; the bounds\n"
           "                     may be written as pi/2, -2*pi and the like\n"
           "  --size W[xH]       pixels per map (default 512; W alone keeps pixels square);\n"
           "                     at most 16384 a side and 16777216 a map\n"
           "  --range LO,HI      the values of black and white (default -M,M with M the 98th\n"
           "                     percentile of |Re f| and |Im f|); the range used is printed\n"
           "  --name STEM        the files' stem (default f)\n"
           "  --data FILE.npy    also write the values as a NumPy array: complex128, shape\n"
           "                     (H, W), row 0 at the top\n"
           "  --threads N        threads to compute with, 1 to 256 (default: every core)\n"
           "\n"
           "A point where f has no finite value (a pole, an overflow, 0/0) is painted in\n"
           "the marker colour, green #00a000, on both maps; stderr tells how many there are.\n"
           "\n"
           "The language: numbers (2, .5, 1e-3, 2i), z, i, pi, e, + - * / ^ (^ binds\n"
           "tighter than a leading minus and groups to the right), parentheses, and\n"
           "sin cos tan cot sinh cosh tanh asin acos atan asinh acosh atanh exp log sqrt\n"
           "abs arg conj re im, with the principal branches of C99.\n";
}

}  // namespace complexplot

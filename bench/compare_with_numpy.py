#!/usr/bin/python3
"""The renderer end to end against bench/numpy_maps.py: a 2048 x 2048 map
of three expressions, each program run as a user runs it (start, compute,
both PNGs written), the median of several runs. Prints the ratio.

    bench/compare_with_numpy.py RENDERER
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

EXPRESSIONS = ["sin(z)", "exp(1/z)", "(z^2+1)/(z^2-1)"]
SIZE = 2048
RUNS = 9


def seconds(commands):
    """The median time of each command, their runs taken in turn, so that a
    machine whose speed drifts slows both alike."""
    times = [[] for _ in commands]
    for _ in range(RUNS):
        for command, taken in zip(commands, times):
            start = time.perf_counter()
            subprocess.run(command, check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            taken.append(time.perf_counter() - start)
    return [statistics.median(taken) for taken in times]


def main():
    renderer = sys.argv[1]
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "numpy_maps.py")
    with tempfile.TemporaryDirectory() as folder:
        print("%-18s %10s %10s %8s" % ("2048 x 2048", "renderer", "NumPy+PIL", "ratio"))
        for expression in EXPRESSIONS:
            ours, theirs = seconds([
                [renderer, "--function", expression, "--size", str(SIZE), "-o", folder],
                ["/usr/bin/python3", script, expression, str(SIZE), folder]])
            print("%-18s %9.3fs %9.3fs %7.1fx" % (expression, ours, theirs, theirs / ours))


if __name__ == "__main__":
    main()

# Set-up and everyday commands. Each target installs the Debian packages it
# needs when they are missing, so a fresh Debian 12 machine needs nothing else.

BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
BENCH_DIR ?= build-bench
RELEASE_DIR ?= build-release
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

BUILD_PACKAGES := g++ make cmake qt6-base-dev qt6-svg-dev libgl-dev libxkbcommon-dev \
	qt6-l10n-tools qt6-tools-dev qt6-translations-l10n libsleef-dev libdeflate-dev
TEST_PACKAGES := $(BUILD_PACKAGES) libgtest-dev libbenchmark-dev fonts-ipafont-gothic \
	fonts-dejavu-core pngcheck poppler-utils
BENCH_PACKAGES := $(BUILD_PACKAGES) libbenchmark-dev fonts-ipafont-gothic python3-numpy python3-pil
RUN_PACKAGES := $(BUILD_PACKAGES) fonts-ipafont-gothic fonts-dejavu-core

CTEST_FLAGS := --output-on-failure -j $(JOBS)

.PHONY: run explore test bench install renders clean

# Builds the window program and starts it.
run:
	@scripts/install-packages $(RUN_PACKAGES)
	cmake -S . -B $(BUILD_DIR) -DCOMPLEX_PLOT_TESTS=OFF -DCOMPLEX_PLOT_BENCH=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS)
	$(BUILD_DIR)/ui/complex-plot

# Builds the explorer and starts it.
explore:
	@scripts/install-packages $(RUN_PACKAGES)
	cmake -S . -B $(BUILD_DIR) -DCOMPLEX_PLOT_TESTS=OFF -DCOMPLEX_PLOT_BENCH=OFF
	cmake --build $(BUILD_DIR) -j $(JOBS) --target complex-plot-explore
	$(BUILD_DIR)/explore/complex-plot-explore

# Builds and runs every test (the benchmarks are built too, so that they
# keep up with the code, but not run), then builds again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every test once
# more.
test:
	@scripts/install-packages $(TEST_PACKAGES)
	cmake -S . -B $(BUILD_DIR) -DCOMPLEX_PLOT_TESTS=ON -DCOMPLEX_PLOT_BENCH=ON
	cmake --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && ctest $(CTEST_FLAGS)
	cmake -S . -B $(SANITIZE_DIR) -DCOMPLEX_PLOT_TESTS=ON -DCOMPLEX_PLOT_SANITIZE=ON \
		-DCMAKE_BUILD_TYPE=Debug
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && ctest $(CTEST_FLAGS)

# Release build of the benchmark programs, then runs them: the plot run of
# the presets against its yardsticks, the expression language against the
# same functions written in C++, the explorer, the PNG writer against
# deflating the same rows, and the renderer end to end against NumPy.
# The repetitions of all benchmarks in a program are interleaved, so that a
# machine whose speed drifts slows them alike and their ratios hold.
BENCH_FLAGS := --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
	--benchmark_report_aggregates_only=true
bench:
	@scripts/install-packages $(BENCH_PACKAGES)
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DCOMPLEX_PLOT_TESTS=OFF \
		-DCOMPLEX_PLOT_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS) --target plot_bench expression_bench explorer_bench \
		png_bench complex-plot-render
	$(BENCH_DIR)/bench/plot_bench $(BENCH_FLAGS)
	$(BENCH_DIR)/bench/expression_bench $(BENCH_FLAGS)
	$(BENCH_DIR)/bench/explorer_bench $(BENCH_FLAGS)
	$(BENCH_DIR)/bench/png_bench $(BENCH_FLAGS)
	/usr/bin/python3 bench/compare_with_numpy.py $(BENCH_DIR)/render/complex-plot-render

# Release build of both programs, installed under $(PREFIX) (on the PATH):
# complex-plot, complex-plot-render, a desktop entry and an icon.
install:
	@scripts/install-packages $(RUN_PACKAGES)
	cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DCOMPLEX_PLOT_TESTS=OFF \
		-DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	cmake --install $(RELEASE_DIR)

# The ten grey maps of the five presets, with the axes, into out/.
renders:
	@scripts/install-packages $(BUILD_PACKAGES)
	cmake -S . -B $(BUILD_DIR)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target complex-plot-render
	mkdir -p out
	$(BUILD_DIR)/render/complex-plot-render --axes -o out sin log cos tan arctan
	@echo "the maps are in $(CURDIR)/out"

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(BENCH_DIR) $(RELEASE_DIR) out

# Front door: `make demo`, `make test`, `make bench`, `make fuzz`; `make python` for the module
# alone. `make bench` prints each workload with its floor, then compares the engine with R on
# the same files (skipped when R is missing) and the Python module with scipy.
BUILD      ?= build
BUILD_REL  ?= build-bench
BUILD_SAN  ?= build-sanitize
BUILD_DEMO ?= build-demo
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
# The interpreter the Python module is built for and run with (Debian's, which has numpy).
PYTHON     ?= /usr/bin/python3

.PHONY: all build test demo bench sanitize fuzz clean python

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The importable package in $(BUILD)/python: PYTHONPATH=$(BUILD)/python $(PYTHON) -c "import evstat"
python:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DPython_EXECUTABLE=$(PYTHON)
	cmake --build $(BUILD) -j $(JOBS) --target evstat_python

# The engine alone, without the tests, in a build directory of its own.
demo:
	cmake -S . -B $(BUILD_DEMO) -DCMAKE_BUILD_TYPE=Release -DEVSTAT_TESTS=OFF
	cmake --build $(BUILD_DEMO) -j $(JOBS) --target evstat
	./examples/demo.sh $(BUILD_DEMO)/evstat

bench:
	cmake -S . -B $(BUILD_REL) -DCMAKE_BUILD_TYPE=Release -DEVSTAT_TESTS=OFF -DEVSTAT_BENCH=ON
	cmake --build $(BUILD_REL) -j $(JOBS)
	./$(BUILD_REL)/bench/evstat_bench
	./bench/compare_r.sh $(BUILD_REL)/evstat
	@if [ -d $(BUILD_REL)/python/evstat ]; then \
	    PYTHONPATH=$(BUILD_REL)/python $(PYTHON) bench/python_bench.py; \
	else echo "The Python module is not built: no Python benchmark."; fi

sanitize:
	cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DEVSTAT_SANITIZE=ON
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The libFuzzer targets, built with clang: the seed corpus and past findings replayed,
# then each target fuzzed for FUZZ_SECONDS.
fuzz:
	cmake -S . -B $(BUILD_FUZZ) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DEVSTAT_TESTS=OFF -DEVSTAT_FUZZ=ON
	cmake --build $(BUILD_FUZZ) -j $(JOBS)
	cd $(BUILD_FUZZ) && ctest --output-on-failure
	./tests/fuzz/run_fuzzers.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD_REL) $(BUILD_SAN) $(BUILD_DEMO) $(BUILD_FUZZ) $(BUILD_WIN) build-pip

# ---- Packages and the Windows build -------------------------------------------------
# `make package`: the .deb of the Linux build. `make windows`: evstat.exe (static, cross-built
# with MinGW-w64) in build-windows/. `make test-windows`: the end-to-end tests against it
# under Wine, from a host build in build-windows/host. `make package-windows`: the zip.
BUILD_WIN  ?= build-windows
WIN_HOST    = $(BUILD_WIN)/host

.PHONY: package windows test-windows package-windows

package: build
	cd $(BUILD) && cpack -G DEB

windows:
	cmake -S . -B $(BUILD_WIN) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	      -DCMAKE_BUILD_TYPE=Release -DEVSTAT_TESTS=OFF
	cmake --build $(BUILD_WIN) -j $(JOBS)

test-windows: windows
	cmake -S . -B $(WIN_HOST) -DCMAKE_BUILD_TYPE=Release -DEVSTAT_TESTS=OFF \
	      -DEVSTAT_WINDOWS_BUILD=$(abspath $(BUILD_WIN))
	cmake --build $(WIN_HOST) -j $(JOBS)
	cd $(WIN_HOST) && ctest --output-on-failure -j $(JOBS) -L wine

package-windows: windows
	cmake --build $(BUILD_WIN) --target package_windows

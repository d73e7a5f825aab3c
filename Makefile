# Entry points: `make run` and `make test` install what is missing, build and
# go. The real build is CMake's; this file only strings the steps together.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# Seconds each fuzz target runs in `make test`; fuzz/run.sh runs longer.
FUZZ_SECONDS ?= 10
# The short runs of make test stop after this many inputs at the latest: with
# the fixed random seed they then try the same inputs on every machine.
FUZZ_RUNS ?= 20000
JOBS       ?= $(shell nproc)
CMAKE_GEN  := -G Ninja

.PHONY: all deps configure build run test test-plain test-asan test-fuzz sweep bench package format clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	    -DCORVELLA_SANITIZE=ON -DCORVELLA_BENCH=OFF

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/corvview $(BUILD)/examples/Demo.cvl

# Every test, in the normal build and again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then a short run of each fuzz target.
test: test-plain test-asan test-fuzz

test-plain: build
	cd $(BUILD) && QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-offscreen} ctest --output-on-failure -j $(JOBS)

test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-offscreen} \
	    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS)

# Seeded from the examples of the normal build.
test-fuzz: deps build
	FUZZ_BUILD=$(FUZZ_BUILD) FUZZ_EXAMPLES=$(CURDIR)/$(BUILD)/examples FUZZ_JOBS=$(JOBS) \
	    FUZZ_RUNS=$(FUZZ_RUNS) bash fuzz/run.sh $(FUZZ_SECONDS)

# Every truncation and one-byte corruption of the example test, opened under
# the sanitizers as corvtool check and the player open it (about half an hour
# on two cores).
sweep: deps
	SWEEP_BUILD=$(ASAN_BUILD) SWEEP_JOBS=$(JOBS) bash fuzz/sweep.sh

bench: build
	bash bench/run.sh $(BUILD)
	bash bench/results.sh $(BUILD)
	QT_QPA_PLATFORM=offscreen $(BUILD)/corvbenchdrag

# The Debian package corvella_<version>_<arch>.deb, in the build folder.
package: build
	cd $(BUILD) && cpack -G DEB

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

# The two commands: `make run` and `make test`. Each installs what is missing first.
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
RELEASE_BUILD ?= build-release
# The build type that check-release builds (Release as users build it; Debug, MinSizeRel
# and RelWithDebInfo build warning-free too).
RELEASE_TYPE ?= Release
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# Every build made here treats warnings as errors; a plain cmake configure does not.
OWN_FLAGS = -DOSTREL_WERROR=ON
# The default build keeps line tables only: backtraces and profiles still name source
# lines, and sources compile about a quarter faster than with full debug information.
# DEBUG_INFO=-g gives a build to step through in a debugger.
DEBUG_INFO ?= -g1

.PHONY: all deps bench-deps configure build run test test-asan test-tsan test-valgrind check-release bench clean fuzz fuzz-deps

all: build

deps:
	@scripts/install-deps

# Opt-in: OpenCV for the comparison in the fitting benchmark (found at the next configure).
bench-deps:
	@scripts/install-deps --bench-extras

# A build folder is configured again when this file changes, so that it gets new flags.
# The benchmarks are built by `make bench` (and `make check-release`), not by every
# `make test`.
$(BUILD)/build.ninja: Makefile | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 $(DEBUG_INFO) -DNDEBUG" -DOSTREL_BUILD_BENCH=OFF \
	  $(OWN_FLAGS) $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The host's demo: a synthetic part measured by a block of tools; its pictures, the part and
# the block file land in $(BUILD)/demo.
run: build
	$(BUILD)/apps/ogeo/ogeo demo --out $(BUILD)/demo

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/build.ninja: Makefile | deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON -DOSTREL_BUILD_BENCH=OFF -DOSTREL_PCH=OFF \
	  $(OWN_FLAGS) $(CMAKE_FLAGS)

test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# ThreadSanitizer over the test that drives tools, MathUtils and the fitting library from 8
# threads over one shared image (tests/geometry/ThreadsTest.cpp), and the other tests of its
# executable. A build of its own; any report fails the run.
$(TSAN_BUILD)/build.ninja: Makefile | deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
	  -DOSTREL_TSAN=ON -DOSTREL_BUILD_BENCH=OFF -DOSTREL_BUILD_APPS=OFF $(OWN_FLAGS) $(CMAKE_FLAGS)

test-tsan: deps $(TSAN_BUILD)/build.ninja
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target GeometryReliabilityTests
	TSAN_OPTIONS=halt_on_error=1:exitcode=66 $(TSAN_BUILD)/tests/GeometryReliabilityTests

# Valgrind's memory checker over every test executable of the default build (each run once
# as a whole, not case by case) and over `ogeo demo`; any error or definite leak fails. The
# archive tests replace the global operator new and delete with malloc and free (to bound
# what a load allocates), which valgrind would report as mismatched frees.
VALGRIND = valgrind --quiet --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
  --show-mismatched-frees=no --suppressions=$(CURDIR)/scripts/valgrind.supp
test-valgrind: build
	@scripts/install-deps --valgrind
	scripts/valgrind-suite $(BUILD) "$(VALGRIND)"

# The build users make: a full build and the suite (the installed-package test included) in
# Release, warnings as errors. Not part of `make test`, which it would double; CI runs it
# when there is time.
check-release: deps
	cmake -S . -B $(RELEASE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(RELEASE_TYPE) \
	  $(OWN_FLAGS) $(CMAKE_FLAGS)
	cmake --build $(RELEASE_BUILD) -j $(JOBS)
	cd $(RELEASE_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: configure
	cmake -S . -B $(BUILD) -DOSTREL_BUILD_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	@for b in $(BUILD)/bench/*-bench; do [ -x "$$b" ] && "$$b" --benchmark_min_time=0.2; done

# make fuzz TARGET=archive|legacy-table|label-format|block SECONDS=600: one libFuzzer run of one target (with
# ASan and UBSan; FUZZ_SANITIZE=OFF builds without them in build-fuzz-fast, several times
# faster, for long campaigns that look for crashes, hangs and non-finite results; replay
# what it finds in the sanitizer build), resuming from its saved corpus in $(FUZZ_CORPUS)/<target>
# (FUZZ_CORPUS=DIR keeps it outside the build, so that a campaign goes on over several runs and
# builds) and starting from the committed seeds in fuzz/corpus/<target>. Findings (crashes, timeouts,
# out-of-memory inputs) land in $(FUZZ_BUILD)/findings/<target>. ASan's quarantine is kept
# small, since -rss_limit_mb counts it.
FUZZ_SANITIZE ?= ON
ifeq ($(FUZZ_SANITIZE),OFF)
FUZZ_BUILD ?= build-fuzz-fast
else
FUZZ_BUILD ?= build-fuzz
endif
FUZZ_CORPUS ?= $(FUZZ_BUILD)/corpus
# Seconds one input may take before it counts as a hang; a run niced on a loaded machine may
# stall that long without a hang, so campaigns there raise it (and replay what it finds).
FUZZ_TIMEOUT ?= 5
TARGET ?= archive
SECONDS ?= 600
# libFuzzer's entropic schedule updates a frequency for every feature of every input that
# runs; over the 2^16 coverage counters that was 40% of the archive target's time. Plain
# scheduling nearly doubles the executions a second (1,250 -> 2,200 in one measurement).
FUZZ_OPTIONS ?= -entropic=0
FUZZ_EXE_archive = OstrelArchiveFuzz
FUZZ_EXE_legacy-table = OstrelLegacyTableFuzz
FUZZ_EXE_label-format = OstrelLabelFormatFuzz
FUZZ_EXE_block = OstrelBlockFuzz
FUZZ_EXE = $(FUZZ_EXE_$(TARGET))

fuzz-deps:
	@scripts/install-deps --fuzz

$(FUZZ_BUILD)/build.ninja: | fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTREL_BUILD_FUZZ=ON -DOSTREL_SANITIZE=$(FUZZ_SANITIZE) \
	  -DOSTREL_BUILD_TESTS=OFF -DOSTREL_BUILD_BENCH=OFF -DOSTREL_BUILD_APPS=ON $(OWN_FLAGS) $(CMAKE_FLAGS)

fuzz: fuzz-deps $(FUZZ_BUILD)/build.ninja
	@[ -n "$(FUZZ_EXE)" ] || { echo "make fuzz: TARGET is archive, legacy-table, label-format or block" >&2; exit 2; }
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_EXE)
	mkdir -p $(FUZZ_CORPUS)/$(TARGET) $(FUZZ_BUILD)/findings/$(TARGET)
	ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=32 LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  $(FUZZ_BUILD)/fuzz/$(FUZZ_EXE) -max_total_time=$(SECONDS) $(FUZZ_OPTIONS) -rss_limit_mb=256 -malloc_limit_mb=256 -timeout=$(FUZZ_TIMEOUT) \
	  -dict=fuzz/$(TARGET).dict -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/findings/$(TARGET)/ \
	  $(FUZZ_CORPUS)/$(TARGET) fuzz/corpus/$(TARGET)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(RELEASE_BUILD)

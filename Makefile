# QvsStudio: the two set-up commands are `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CTEST_ARGS ?=

.PHONY: deps configure build test run clean

deps:
	@./scripts/install-deps.sh

configure: deps
	@test -f $(BUILD_DIR)/build.ninja || cmake --preset default -B $(BUILD_DIR)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

run: build
	@if [ ! -x $(BUILD_DIR)/bin/QvsStudio ]; then \
	    echo "QvsStudio was not built: see the build output above"; exit 1; fi
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
	    echo "No display: run it on a desktop, or with QT_QPA_PLATFORM=offscreen (or vnc, or under xvfb-run)"; exit 1; fi
	$(BUILD_DIR)/bin/QvsStudio --simulate

clean:
	rm -rf $(BUILD_DIR)

# Reliability: libFuzzer harnesses (clang) and the suite under ASan+UBSan.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
ASAN_BUILD_DIR ?= build-asan
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:fast_unwind_on_malloc=0 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp

.PHONY: fuzz test-asan

fuzz: deps
	@test -f $(FUZZ_BUILD_DIR)/build.ninja || cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DQVS_FUZZ=ON -DQVS_NO_TOOLS=ON
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target fuzzers
	FUZZ_SECONDS=$(FUZZ_SECONDS) ./tests/fuzz/run-fuzzers.sh $(FUZZ_BUILD_DIR)

test-asan: deps
	@test -f $(ASAN_BUILD_DIR)/build.ninja || cmake --preset asan -B $(ASAN_BUILD_DIR)
	cmake --build $(ASAN_BUILD_DIR) -j $(JOBS)
	cd $(ASAN_BUILD_DIR) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) \
	    ctest --output-on-failure -j $(JOBS) $(CTEST_ARGS)

# Performance: the inner pieces (Google Benchmark, qvs-microbench) and the
# whole-process figures (qvs-bench: in-process with the 250 kbit/s bus-time
# model and against drc-sim over a private virtual bus, fast and legacy
# timing), printed as one table. BENCH_ARGS=--markdown for the README table,
# --full-legacy to run every legacy figure in full (slow). On a busy machine,
# BENCH_PREFIX="chrt -f 10" (as root) keeps the scheduler's wake-up delays
# out of the figures.
BENCH_ARGS ?=
BENCH_PREFIX ?=

.PHONY: bench

bench: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target qvs-microbench qvs-bench
	@mkdir -p $(BUILD_DIR)/bench
	@QT_QPA_PLATFORM=offscreen $(BENCH_PREFIX) $(BUILD_DIR)/bin/qvs-microbench --benchmark_min_time=0.2 \
	    --benchmark_out=$(BUILD_DIR)/bench/micro.json --benchmark_out_format=json \
	    > /dev/null 2> $(BUILD_DIR)/bench/micro.log
	@QT_QPA_PLATFORM=offscreen $(BENCH_PREFIX) $(BUILD_DIR)/bin/qvs-bench --micro $(BUILD_DIR)/bench/micro.json $(BENCH_ARGS)

# The Debian package (CPack, cmake/Package.cmake): everything `cmake --install`
# installs, under /usr, in $(BUILD_DIR)/qvsstudio_VERSION_ARCH.deb.
.PHONY: package

package: build
	cmake --build $(BUILD_DIR) --target package
	@ls -1 $(BUILD_DIR)/*.deb

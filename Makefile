# The project's front door. `make test` is what CI runs.
JOBS ?= $(shell nproc)
SANITIZED_PRESETS = asan tsan

.PHONY: all bootstrap build test test-default test-asan test-tsan test-fuzz fuzz bench run demo soak format clean

all: build

bootstrap:
	./scripts/bootstrap

build: bootstrap
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

test: bootstrap
	$(MAKE) test-default
	$(MAKE) test-asan
	$(MAKE) test-tsan
	$(MAKE) test-fuzz

# Phony targets never match pattern rules, so each preset gets its own rule.
define preset_test
test-$(1):
	cmake --preset $(1)
	cmake --build --preset $(1) -j $(JOBS)
	ctest --preset $(1)
endef
$(foreach preset,default asan tsan debug,$(eval $(call preset_test,$(preset))))

# The fuzz programs (fuzz/, clang with libFuzzer, ASan and UBSan): the preset
# builds only them and the libraries they link. `make test-fuzz` (part of
# `make test`) replays every corpus and then runs each program for
# FUZZ_TEST_RUNS inputs from seed 1, a count rather than a time, so a slow
# machine tests as much as a fast one (docs/reliability.md says how far two
# such runs stay alike); `make fuzz` explores, for FUZZ_SECONDS each from a
# random seed
# (FUZZ_TARGETS="plist_xml mime" picks some).
FUZZ_TEST_RUNS ?= 10000
FUZZ_SECONDS ?= 600
FUZZ_TARGETS ?=
test-fuzz:
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	fuzz/run build/fuzz runs=$(FUZZ_TEST_RUNS) $(FUZZ_TARGETS)

fuzz: bootstrap
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	fuzz/run build/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Each program's results go to build/bench/results/<program>.json, with the
# load average at the start beside them; tests/browser/bench-taps.mjs clicks
# WEB_CLICKS times on the web UI of the bench build's plv-sim in headless
# chromium and writes web_click.json in the same shape; bench/memory.py measures the heap of
# plv-sim scenarios under valgrind's massif into build/bench/memory.json; then
# bench/bench_report.py writes build/bench/report.md, report.json and
# growth.svg and prints the table of targets. It never fails on an OVER:
# timing on a loaded machine is noisy; `bench/check` does. The whole run takes
# about ten minutes on the 2-core machine (MEMORY=0 skips the memory part).
BENCH_RESULTS = build/bench/results
MEMORY ?= 1
WEB_CLICKS ?= 200
bench: bootstrap
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	@rm -rf $(BENCH_RESULTS) && mkdir -p $(BENCH_RESULTS)
	@cat /proc/loadavg > $(BENCH_RESULTS)/load-at-start
	@for b in build/bench/benchmarks/*_bench; do echo "== $$b"; \
	    $$b --benchmark_out=$(BENCH_RESULTS)/$$(basename $$b).json --benchmark_out_format=json || exit 1; done
	@if command -v node >/dev/null && [ -x /usr/bin/chromium ] && [ -d tests/browser/node_modules/playwright-core ]; then \
	    echo "== tests/browser/bench-taps.mjs $(WEB_CLICKS) --press 80"; \
	    PLV_SIM=build/bench/simulator/plv-sim node tests/browser/bench-taps.mjs $(WEB_CLICKS) --press 80 --out $(BENCH_RESULTS)/web_click.json \
	    || echo "bench: the web click benchmark FAILED; its row stays unmeasured (bench/check counts it as MISSING)"; \
	else echo "== the web click benchmark needs node, /usr/bin/chromium and tests/browser/node_modules (scripts/bootstrap)"; fi
	@if [ "$(MEMORY)" = 1 ]; then python3 -B bench/memory.py --sim build/bench/simulator/plv-sim --out build/bench/memory.json; \
	    else rm -f build/bench/memory.json; fi
	@python3 -B bench/bench_report.py $(BENCH_RESULTS) --memory build/bench/memory.json

# The long soak: a generated scenario of SOAK_STEPS steps with both extensions,
# optimised (where resident memory is checked) and under ASan+UBSan and TSan
# (make test runs 1000 of them). A failed run
# keeps its scenario and phone in build/<preset>/soak-failures and says how to
# rerun it; SOAK_SEED picks another scenario.
SOAK_STEPS ?= 10000
SOAK_SEED ?= 1
soak: bootstrap
	@for preset in default $(SANITIZED_PRESETS); do \
	    cmake --preset $$preset && cmake --build --preset $$preset -j $(JOBS) --target plv_sim_demo || exit 1; \
	done
	python3 -B tests/soak/soak.py run --plv-sim build/default/simulator/plv-sim \
	    --seed $(SOAK_SEED) --steps $(SOAK_STEPS) --keep-dir build/default/soak-failures
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    python3 -B tests/soak/soak.py run --plv-sim build/asan/simulator/plv-sim --sanitized \
	    --seed $(SOAK_SEED) --steps $(SOAK_STEPS) --keep-dir build/asan/soak-failures
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/tsan-suppressions.txt \
	    python3 -B tests/soak/soak.py run --plv-sim build/tsan/simulator/plv-sim --sanitized \
	    --seed $(SOAK_SEED) --steps $(SOAK_STEPS) --keep-dir build/tsan/soak-failures

# The phone in a browser: builds the simulator, seeds a demo phone in ./device
# when there is none (a phone that exists keeps its data and gets the freshly
# built images and extension libraries), and serves the web UI on 127.0.0.1,
# printing its address. PORT=0 takes any free port.
DEVICE ?= device
PORT ?= 8080
SCENARIO ?= scenarios/demo.json
run: bootstrap
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target plv_sim_demo
	./build/default/simulator/plv-sim seed $(DEVICE) 1>&2
	./build/default/simulator/plv-sim serve --device $(DEVICE) --port $(PORT)

# The scenario tour of scenarios/demo.json, told step by step on standard
# error, with the phone's state after each `dump` step as one line of JSON on
# standard output.
demo: bootstrap
	cmake --preset default
	cmake --build --preset default -j $(JOBS) --target plv_sim_demo
	./build/default/simulator/plv-sim seed $(DEVICE) 1>&2
	./build/default/simulator/plv-sim run $(SCENARIO) --device $(DEVICE) --verbose

format:
	find platform KelvaneLibrary extension Rendalo settings simulator tests bench fuzz \
	    \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | xargs -r clang-format -i

clean:
	rm -rf build

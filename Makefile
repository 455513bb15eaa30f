# The project's front door. `make test` is what CI runs.
JOBS ?= $(shell nproc)
SANITIZED_PRESETS = asan tsan

.PHONY: all bootstrap build test test-default test-asan test-tsan bench run format clean

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

test-%:
	cmake --preset $*
	cmake --build --preset $* -j $(JOBS)
	ctest --preset $*

bench: bootstrap
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	@for b in build/bench/benchmarks/*_bench; do echo "== $$b"; $$b || exit 1; done

run:
	@echo "The simulator (make run) is not built yet: it arrives with plv-sim."

format:
	find platform KelvaneLibrary extension Rendalo settings simulator tests bench fuzz \
	    \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | xargs -r clang-format -i

clean:
	rm -rf build

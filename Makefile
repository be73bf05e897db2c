# Two set-up commands on a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run test test-sanitize bench package format clean mutants code-stats

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/hanavo $(ARGS)

# The package is built first so that its own test can install and run it.
test: package
	HANAVO_DEB=$$(ls -t $(abspath $(BUILD))/hanavo_*.deb | head -n1) \
	  ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure

$(SANITIZE_BUILD)/build.ninja:
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHANAVO_SANITIZE=ON $(CMAKE_FLAGS)

test-sanitize: deps $(SANITIZE_BUILD)/build.ninja
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ctest --test-dir $(SANITIZE_BUILD) -j $(JOBS) --output-on-failure

bench: deps
	bench/run.sh

package: build
	cd $(BUILD) && cpack -G DEB >/dev/null

# Mutation score of the unit and Qt tests: N sampled mutants with a fixed seed (a tool, not CI).
N ?= 60
SEED ?= 1
mutants: deps
	scripts/mutants -n $(N) --seed $(SEED)

code-stats:
	@scripts/code-stats

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-bench build-mutants

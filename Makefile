# Two set-up commands on a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
# Seconds each fuzz target runs.
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run test test-sanitize fuzz bench package format clean

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

# The parsers under libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer (clang).
$(FUZZ_BUILD)/build.ninja:
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++

fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) --target fuzz_targets
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: deps
	bench/run.sh

package: build
	cd $(BUILD) && cpack -G DEB >/dev/null

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) build-bench

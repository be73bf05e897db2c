# Two set-up commands on a fresh Debian 12 machine: `make run` and `make test`.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
# Seconds each fuzz target runs.
FUZZ_SECONDS ?= 60
# Hanavo.exe, cross-built for 32-bit Windows with mingw-w64 and tested under Wine.
WIN_BUILD ?= build-win
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build run test test-sanitize fuzz bench package format clean mutants code-stats \
	windows windows-package test-windows windows-screenshots screenshots

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/hanavo $(ARGS)

# The package is built first so that its own test can install and run it. Then the Windows
# program and its tests under Wine.
test: package windows
	HANAVO_DEB=$$(ls -t $(abspath $(BUILD))/hanavo_*.deb | head -n1) \
	  ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure
	ctest --test-dir $(WIN_BUILD) -j $(JOBS) --output-on-failure

$(WIN_BUILD)/build.ninja:
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake $(CMAKE_FLAGS)

# Hanavo.exe and Hanavo.html in $(WIN_BUILD): the two files to copy to a Windows machine.
windows: deps $(WIN_BUILD)/build.ninja
	cmake --build $(WIN_BUILD) -j $(JOBS)

# The setup program and the portable zip, in $(WIN_BUILD).
windows-package: windows
	cmake --build $(WIN_BUILD) --target windows-package

test-windows: windows
	ctest --test-dir $(WIN_BUILD) -j $(JOBS) --output-on-failure

# The pictures of the three dialogs, in docs/.
screenshots: build
	scripts/screenshots $(BUILD)/hanavo docs

# The pictures of the four dialogs under Wine, in docs/.
windows-screenshots: windows
	tests/e2e-win/make-prefix.sh $(abspath $(WIN_BUILD))/wine-template
	scripts/windows-screenshots $(abspath $(WIN_BUILD))/Hanavo.exe \
	  $(abspath $(WIN_BUILD))/wine-template $(abspath docs)

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
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(WIN_BUILD) build-bench build-bench-win \
	  build-mutants

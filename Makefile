# Entry points for people and CI; the build itself is CMake + Ninja.
BUILD ?= build
SAMPLE ?= samples/house.hpg
JOBS ?= $(shell nproc)

.PHONY: deps build run test asan fuzz bench format format-check clean

deps:
	scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/kestrel $(SAMPLE)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON -DKESTREL_BENCH=OFF -DKESTREL_GUI=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp ctest --output-on-failure -j $(JOBS)

fuzz: deps
	CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_FUZZ=ON -DKESTREL_GUI=OFF -DKESTREL_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS) --target fuzz_reader fuzz_output
	scripts/run-fuzz $${FUZZ_SECONDS:-60} build-fuzz/fuzz/fuzz_reader build-fuzz/fuzz/fuzz_output

bench: build
	$(BUILD)/bench/kestrel_bench
	$(BUILD)/bench/kestrel_open_bench

# The C++ sources, formatted by .clang-format (tests/ by its own, wider one).
FORMATTED = $(shell git ls-files '*.cpp' '*.h')

format: deps
	clang-format -i $(FORMATTED)

format-check: deps
	clang-format --dry-run --Werror $(FORMATTED)

clean:
	rm -rf $(BUILD) build-asan build-fuzz

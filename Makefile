# aostrack: `make run` and `make test` do the whole set-up on Debian 12.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build programs run test bench screenshot clean

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Only what the tracker runs: the window, aostrack-cli, the receiver library
# and the example station (not the tests and benchmarks).
programs: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target programs

run: programs
	bash scripts/run.sh $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench: build
	bash scripts/bench.sh $(BUILD_DIR)

screenshot: build
	bash scripts/screenshot.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)

# aostrack: `make run` and `make test` do the whole set-up on Debian 12.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build programs run test bench screenshot fuzz sanitize clean package

FUZZ_DIR ?= build-fuzz
SANITIZE_DIR ?= build-sanitize
FUZZ_SECONDS ?= 60

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

# build/aostrack_<version>_<arch>.deb: the programs, the example station, the
# menu entry, man pages; its dependencies come from dpkg-shlibdeps.
package: programs
	cd $(BUILD_DIR) && cpack -G DEB

run: programs
	bash scripts/run.sh $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench: build
	bash scripts/bench.sh $(BUILD_DIR)

screenshot: build
	bash scripts/screenshot.sh $(BUILD_DIR)

# Every fuzz target for FUZZ_SECONDS, built with clang, ASan and UBSan; new
# crashers land in fuzz/corpus/<target>/ (commit them: the tests replay them).
fuzz:
	bash scripts/install-deps.sh fuzz
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DAOSTRACK_FUZZ=ON \
	  -DAOSTRACK_BUILD_TESTS=OFF -DAOSTRACK_BUILD_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_all
	bash scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DAOSTRACK_SANITIZE=ON -DAOSTRACK_BUILD_BENCH=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp \
	  ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j $(JOBS)

# Formats every C++ source with the checked-in .clang-format (make test checks it).
format:
	bash scripts/format.sh

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR) $(SANITIZE_DIR)

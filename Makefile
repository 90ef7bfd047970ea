# Entry points of the project. Each target first installs the Debian packages
# it needs (scripts/deps.sh), then configures and builds with CMake.
#
#   make run       build the program alone and start it
#   make build     build every part whose packages are installed
#   make test      build everything and run the whole test suite, including a
#                  second run of the unit tests under ASan/UBSan/LSan; a part
#                  whose packages are missing fails the configure
#                  (TESSARO_REQUIRE_ALL=ON) instead of being left out; the
#                  core's tests run once more under ThreadSanitizer
#   make bench     benchmarks (Google Benchmark), figures into docs/
#   make bench-large  triangulate at one hundred million sites, time and peak
#                  memory into docs/bench/large.txt (a few minutes, ~12 GB)
#   make bench-distributed  three hundred million points in tiles on a local
#                  Dask cluster, written to zarr; figures into
#                  docs/bench/distributed.txt (long; not part of test)
#   make fuzz      fuzz the triangulation core for a bounded time
#   make memcheck  valgrind over a scripted session of the real program
#   make soak      many random triangulations with a live-object count
#   make format    format the sources with the committed .clang-format
#   make web       the core in WebAssembly (web/dist/) for the npm package
#                  and the demo page; make web-serve serves the demo on
#                  http://127.0.0.1:8000/demo/; make test-web runs its Node
#                  and headless-Chromium tests (part of make test)

BUILD_DIR ?= build
ASAN_DIR ?= build-asan
TSAN_DIR ?= build-tsan
WEB_DIR ?= build-web
WEB_PORT ?= 8000
# Emscripten's tools need node's acorn from Debian, which a Node.js from
# elsewhere does not search.
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs
JOBS ?= 2
CMAKE ?= cmake
CTEST ?= ctest

.PHONY: all build run test test-unit test-sanitize test-threads test-web bench bench-large bench-web bench-distributed fuzz memcheck soak format clean web web-serve

all: build

# BUILD_DIR is shared by run, build and test, so each says whether a missing
# package may leave a part out.
build:
	scripts/deps.sh core program
	$(CMAKE) -S . -B $(BUILD_DIR) -DTESSARO_REQUIRE_ALL=OFF
	$(CMAKE) --build $(BUILD_DIR) -j $(JOBS)

run:
	scripts/deps.sh core program
	$(CMAKE) -S . -B $(BUILD_DIR) -DTESSARO_REQUIRE_ALL=OFF
	$(CMAKE) --build $(BUILD_DIR) -j $(JOBS) --target tessaro
	$(BUILD_DIR)/src/tests/tessaro/tessaro

test:
	scripts/deps.sh core program test python web
	$(CMAKE) -S . -B $(BUILD_DIR) -DTESSARO_REQUIRE_ALL=ON
	$(CMAKE) --build $(BUILD_DIR) -j $(JOBS)
	cd $(BUILD_DIR) && $(CTEST) --output-on-failure
	$(MAKE) test-sanitize
	$(MAKE) test-threads
	$(MAKE) test-web
	scripts/fuzz.sh --short

test-sanitize:
	$(CMAKE) -S . -B $(ASAN_DIR) -DTESSARO_SANITIZE=ON -DTESSARO_REQUIRE_ALL=ON \
	    -DCMAKE_BUILD_TYPE=Debug
	$(CMAKE) --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    $(CTEST) --output-on-failure -L unit

# The core's tests under ThreadSanitizer: their inputs above the size where
# the constructions fork, on several thread counts, exercise the parallel code.
test-threads:
	$(CMAKE) -S . -B $(TSAN_DIR) -DTESSARO_THREAD_SANITIZE=ON -DTESSARO_REQUIRE_ALL=ON
	$(CMAKE) --build $(TSAN_DIR) -j $(JOBS) --target edgealgebra_tests
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	    $(TSAN_DIR)/test/edgealgebra/edgealgebra_tests

bench:
	scripts/deps.sh core bench python
	scripts/bench.sh
	$(MAKE) bench-web

web:
	scripts/deps.sh core web
	$(EMSCRIPTEN_ENV) emcmake $(CMAKE) -S . -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release
	$(EMSCRIPTEN_ENV) $(CMAKE) --build $(WEB_DIR) -j $(JOBS)

web-serve: web
	@echo "The demo: http://127.0.0.1:$(WEB_PORT)/demo/"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory web

# The npm package's tests in Node, then the demo in headless Chromium.
test-web: web
	cd web && npm ci --no-audit --no-fund
	cd web && npm test
	cd web && npm run test:browser

# delaunator and ours side by side in one Node process, into docs/bench/web.txt.
bench-web: web
	cd web && npm ci --no-audit --no-fund
	cd web && node --expose-gc bench/bench.mjs > ../docs/bench/web.txt.new
	mv docs/bench/web.txt.new docs/bench/web.txt && cat docs/bench/web.txt

# Not part of test: a few minutes and about 12 GB of memory.
bench-large:
	scripts/deps.sh core
	scripts/bench-large.sh

# Not part of test: long, and about 6 GB per worker.
bench-distributed:
	scripts/deps.sh core python
	scripts/bench-distributed.sh

fuzz:
	scripts/deps.sh core fuzz
	scripts/fuzz.sh

memcheck:
	scripts/deps.sh core program test memcheck
	scripts/memcheck.sh

soak:
	scripts/deps.sh core
	scripts/soak.sh

format:
	scripts/deps.sh test
	git ls-files -- '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(WEB_DIR) web/dist

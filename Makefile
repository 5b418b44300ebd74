# The two jobs of this repository:
#   make run    builds everything and serves the demo application on http://127.0.0.1:8080/
#   make test   builds and runs every test: 32-bit raster build, fuzzing, browser check, normal
#               build, sanitizer build, and the threaded parts under ThreadSanitizer
# Both install the Debian packages they need first.

JOBS    ?= $(shell nproc)
BUILD   ?= build
ASAN    ?= build-asan
TSAN    ?= build-tsan
PORT    ?= 8080
CMAKE    = cmake -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test build deps deps-test test-normal test-browser test-asan test-tsan test-m32 test-fuzz \
        bench clean

run: deps
	$(CMAKE) -S . -B $(BUILD) -DBALANCE_TESTS=OFF -DBALANCE_BENCH=OFF
	cmake --build $(BUILD) -j $(JOBS)
	scripts/serve-demo.sh $(BUILD) $(PORT)

test: deps-test test-m32 test-fuzz test-browser test-normal test-asan test-tsan

deps:
	scripts/install-deps.sh run

deps-test:
	scripts/install-deps.sh test

build: deps-test
	$(CMAKE) -S . -B $(BUILD) -DBALANCE_TESTS=ON -DBALANCE_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)

test-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	tests/test_timeouts.sh $(BUILD)

# The demo as a person sees it: headless Chromium driven by playwright-core (from npm).
test-browser: build
	npm install --prefix tests/browser --no-audit --no-fund --loglevel=error
	tests/browser/run.sh $(BUILD)

test-asan: deps-test
	$(CMAKE) -S . -B $(ASAN) -DBALANCE_SANITIZE=ON -DBALANCE_BENCH=OFF -DBALANCE_GDAL=OFF
	cmake --build $(ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

# The code that threads share: the host (edge, executor, sessions, Application), the SQLite pool
# and the session objects. Only their tests are built, to keep the run short.
test-tsan: deps-test
	$(CMAKE) -S . -B $(TSAN) -DBALANCE_TSAN=ON -DBALANCE_BENCH=OFF -DBALANCE_GDAL=OFF
	cmake --build $(TSAN) -j $(JOBS) --target host_tests ado_tests asp_tests
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(TSAN)/host/host_tests
	TSAN_OPTIONS=halt_on_error=1 $(TSAN)/platform/ado/ado_tests \
	  --gtest_filter='SqlitePool*:StatementCache*:PooledConnection*:*Transactions*'
	TSAN_OPTIONS=halt_on_error=1 $(TSAN)/platform/asp/asp_tests --gtest_filter='Session*:Application*'

test-m32: deps-test
	tests/raster_m32.sh

test-fuzz: deps-test
	fuzz/run.sh 60

bench: build
	scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN) $(TSAN) build-m32 build-fuzz

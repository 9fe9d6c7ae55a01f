# Two commands matter: `make run` and `make test`. Everything else is for developers.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_BENCH ?= build-bench
JOBS       ?= $(shell nproc)
CMAKE_GEN  = -G Ninja

.PHONY: run test build deps test-asan bench screenshots fuzz clean

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/bin/filingcheck ]; then $(BUILD)/bin/filingcheck; \
	 else $(BUILD)/bin/filingcheck-cli --help; fi

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The core tests again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B $(BUILD_ASAN) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DFC_SANITIZE=ON -DFC_GUI=OFF >/dev/null
	@cmake --build $(BUILD_ASAN) -j $(JOBS)
	@cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B $(BUILD_BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DFC_GUI=OFF -DFC_TESTS=OFF -DFC_BENCH=ON >/dev/null
	@cmake --build $(BUILD_BENCH) -j $(JOBS)
	@$(BUILD_BENCH)/bin/filingcheck-bench

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_BENCH)

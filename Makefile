# Two commands matter: `make run` and `make test`. Everything else is for developers.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_BENCH ?= build-bench
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_GEN  = -G Ninja

.PHONY: run test build deps test-asan bench screenshots fuzz clean

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# The desktop program needs a display; without one the headless commands are
# what can be used, so their help is shown instead.
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then exec $(BUILD)/bin/filingcheck; \
	 else echo "run: no display (DISPLAY/WAYLAND_DISPLAY unset); the desktop program is $(BUILD)/bin/filingcheck." >&2; \
	      $(BUILD)/bin/filingcheck-cli --help; fi

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

# Every fuzz target for FUZZ_SECONDS each, built with clang, libFuzzer and the
# sanitizers; fails on any crash, hang, leak or sanitizer report.
FUZZ_FLAGS = -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
fuzz:
	@FC_WITH_FUZZ=1 bash scripts/install-deps.sh
	@cmake -S . -B $(BUILD_FUZZ) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_CXX_FLAGS="$(FUZZ_FLAGS)" -DFC_GUI=OFF -DFC_FUZZ=ON >/dev/null
	@cmake --build $(BUILD_FUZZ) -j $(JOBS) --target fuzz-targets
	@bash fuzz/run.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

# Every window of the desktop program, rendered offscreen into $(BUILD)/screenshots/.
screenshots: deps
	@cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target filingcheck-screenshots
	@QT_QPA_PLATFORM=offscreen $(BUILD)/bin/filingcheck-screenshots $(BUILD)/screenshots
	@echo "screenshots: $(BUILD)/screenshots/"

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_BENCH) $(BUILD_FUZZ)

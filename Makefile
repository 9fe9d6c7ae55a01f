# Two commands matter: `make run` and `make test`. Everything else is for developers.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_BENCH ?= build-bench
BUILD_FUZZ ?= build-fuzz
BUILD_PACKAGE ?= build-package
BUILD_WINDOWS ?= build-windows
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_GEN  = -G Ninja

.PHONY: run test build deps test-asan bench bench-large bench-build screenshots fuzz package package-test clean

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
	@cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: bench-build
	@$(BUILD_BENCH)/bin/filingcheck-bench

# Ten times the records of `make bench`, against the full scale: about 17 GB
# of temporary files at the most (TMPDIR chooses where).
bench-large: bench-build
	@$(BUILD_BENCH)/bin/filingcheck-bench 10

bench-build: deps
	@cmake -S . -B $(BUILD_BENCH) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DFC_GUI=OFF -DFC_TESTS=OFF -DFC_BENCH=ON >/dev/null
	@cmake --build $(BUILD_BENCH) -j $(JOBS)

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

# The Debian package $(BUILD_PACKAGE)/filingcheck_<version>_<arch>.deb: a Release
# build without the tests, with Debian's optimisation and hardening flags
# (dpkg-buildflags) in place of CMake's; its changelog and metainfo carry the
# date of the last commit.
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package:
	@FC_WITH_PACKAGING=1 bash scripts/install-deps.sh
	@SOURCE_DATE_EPOCH="$${SOURCE_DATE_EPOCH:-$$(git log -1 --format=%ct 2>/dev/null)}" \
	  cmake -S . -B $(BUILD_PACKAGE) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DFC_TESTS=OFF -DFC_PACKAGE=ON \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)" >/dev/null
	@cmake --build $(BUILD_PACKAGE) -j $(JOBS)
	@rm -f $(BUILD_PACKAGE)/filingcheck_*.deb
	@cd $(BUILD_PACKAGE) && cpack >/dev/null
	@ls $(BUILD_PACKAGE)/filingcheck_*.deb

# lintian, the desktop entry and metainfo validators, and the programs run from
# the package unpacked into a temporary root.
package-test: package
	@bash scripts/package-test.sh $(BUILD_PACKAGE)

# What a 64-bit Windows build needs: Debian's MinGW-w64 cross compilers and
# wine64, the libraries Debian has no MinGW build of, cross-built once from
# Debian's sources into $(BUILD_WINDOWS)/deps/, and a program built with them
# run under Wine.
.PHONY: windows-deps
windows-deps:
	@FC_WITH_WINDOWS=1 bash scripts/install-deps.sh
	@bash scripts/windows-libs.sh $(BUILD_WINDOWS)
	@bash scripts/windows-check.sh $(BUILD_WINDOWS)

# filingcheck-cli.exe and the core for 64-bit Windows, in $(BUILD_WINDOWS)/bin/.
WINDOWS_CMAKE = cmake -S . -B $(BUILD_WINDOWS) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/scripts/wine-run.sh;$(abspath $(BUILD_WINDOWS))/wine"
.PHONY: windows windows-test
windows: windows-deps
	@$(WINDOWS_CMAKE) -DFC_GUI=OFF -DFC_TESTS=OFF >/dev/null
	@cmake --build $(BUILD_WINDOWS) -j $(JOBS) --target filingcheck-cli
	@ls -l $(BUILD_WINDOWS)/bin/filingcheck-cli.exe

# The core and command-line tests built for Windows and run under Wine; the
# tests Wine cannot run are listed with their reasons (tests/windows-skips.txt).
windows-test: windows-deps
	@$(WINDOWS_CMAKE) -DFC_GUI=OFF -DFC_TESTS=ON >/dev/null
	@cmake --build $(BUILD_WINDOWS) -j $(JOBS)
	@bash scripts/windows-test.sh $(BUILD_WINDOWS)

# The desktop program for Windows, filingcheck.exe, with Qt beside it in
# $(BUILD_WINDOWS)/bin/, and the PDF report. Qt, and Pango and Cairo with
# what they stand on, are cross-built once from Debian's sources; that takes
# long, so only these targets ask for it, never windows-deps.
# windows-gui-check starts the program under Wine in Xvfb, waits for the
# welcome window and takes its picture ($(BUILD_WINDOWS)/welcome.png).
.PHONY: windows-gui-deps windows-gui windows-gui-check windows-gui-test
windows-gui-deps:
	@FC_WITH_WINDOWS=1 FC_WINDOWS_GUI=1 bash scripts/install-deps.sh
	@FC_WINDOWS_GUI=1 bash scripts/windows-libs.sh $(BUILD_WINDOWS)
	@bash scripts/windows-check.sh $(BUILD_WINDOWS)

windows-gui: windows-gui-deps
	@$(WINDOWS_CMAKE) -DFC_GUI=ON -DFC_PDF=ON -DFC_TESTS=OFF >/dev/null
	@cmake --build $(BUILD_WINDOWS) -j $(JOBS) --target filingcheck
	@ls -l $(BUILD_WINDOWS)/bin/filingcheck.exe

windows-gui-check: windows-gui
	@bash scripts/windows-gui-check.sh $(BUILD_WINDOWS)

# Every test for Windows under Wine, the desktop program's too: those draw
# offscreen, which Wine passes on to them with the rest of the environment.
windows-gui-test: windows-gui-deps
	@$(WINDOWS_CMAKE) -DFC_GUI=ON -DFC_PDF=ON -DFC_TESTS=ON >/dev/null
	@cmake --build $(BUILD_WINDOWS) -j $(JOBS)
	@QT_QPA_PLATFORM=offscreen bash scripts/windows-test.sh $(BUILD_WINDOWS)

# The Windows setup, $(BUILD_WINDOWS)/filingcheck-<version>-setup.exe (NSIS):
# the desktop program and filingcheck-cli.exe with what they need, the manual
# as HTML; the files it installs are listed with their sizes.
.PHONY: windows-package
windows-package: windows-gui
	@FC_WITH_WINDOWS_PACKAGE=1 bash scripts/install-deps.sh
	@cmake --build $(BUILD_WINDOWS) -j $(JOBS) --target filingcheck-cli
	@bash scripts/windows-package.sh $(BUILD_WINDOWS)

# The setup installed silently under Wine and the installed program used as an
# operator would on a virtual display (scripts/windows-setup-check.sh); the
# pictures of its windows in $(BUILD_WINDOWS)/setup-check/.
.PHONY: windows-setup-check
windows-setup-check: windows-package
	@bash scripts/windows-setup-check.sh $(BUILD_WINDOWS)

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_BENCH) $(BUILD_FUZZ) $(BUILD_PACKAGE) $(BUILD_WINDOWS)

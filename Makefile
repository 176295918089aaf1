# The README's two commands: `make run` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: run test deps build build-all build-asan tsan format format-check maps maps-check fuzz bench \
	windows windows-deps windows-test clean

deps:
	@tools/install-deps.sh

# Only the two programs: a first `make run` does not wait for every test and benchmark.
build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default --target zb47 melconv -j $(JOBS)

build-all: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

# Starts the sequencer on the demo song, which plays at once as a command-line song does.
# Without a display it says so; `build/default/sequencer/shell/zb47 --headless` runs anyway.
run: build
	build/default/sequencer/shell/zb47 resources/demo.mid

build-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

test: format-check maps-check build-asan tsan
	ctest --preset asan -j $(JOBS)
	$(MAKE) --no-print-directory windows-test

# The engine's and the shell's threads (playback thread, window timer, input arriving on
# another thread, drawing from two threads, the version check's thread, a dialog on the
# playback thread) under ThreadSanitizer.
tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan --target engine_tests shell_draw_tests shell_tests \
		shell_command_tests gui_tests -j $(JOBS)
	build/tsan/tests/engine/engine_tests --gtest_brief=1
	build/tsan/tests/shell/shell_draw_tests --gtest_brief=1
	build/tsan/tests/shell/shell_tests --gtest_brief=1
	build/tsan/tests/shell/shell_command_tests --gtest_brief=1
	build/tsan/tests/gui/gui_tests --gtest_brief=1

format-check: deps
	@files=$$(git ls-files '*.cpp' '*.h'); \
	if [ -n "$$files" ]; then clang-format --dry-run --Werror $$files; fi

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# The FILES.md of each folder, written from the opening comment of every file; the check fails
# when one is stale or a source file has no purpose line.
maps:
	tools/file_maps.sh

maps-check:
	@tools/file_maps.sh --check

fuzz:
	@tools/install-deps.sh --fuzz
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

BENCHES := songcore engine edit accompaniment converter draw shell panels dialogs script synth \
	chooser

bench: build-all
	set -e; for bench in $(BENCHES); do build/default/tools/bench/$${bench}_bench; done

windows-deps:
	@tools/install-deps.sh --windows

# The two Windows programs for 32-bit x86, cross-built with mingw-w64, and a read-me, in dist/.
windows: windows-deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target zb47 melconv -j $(JOBS)
	rm -rf dist
	mkdir -p dist
	cp build/win32/sequencer/shell/ZB47.exe dist/ZB47.EXE
	cp build/win32/converter/MELCONV.exe dist/MELCONV.EXE
	cp resources/README-WINDOWS.txt dist/README-WINDOWS.txt
	@file dist/ZB47.EXE dist/MELCONV.EXE

# The Windows side of `make test`: the 32-bit build compiled and linked (this kernel cannot run
# it), and the x86-64 build of the same sources with its suites and picture runs under Wine.
windows-test: windows-deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 --target zb47 melconv -j $(JOBS)
	cmake --preset win64-test >/dev/null
	cmake --build --preset win64-test -j $(JOBS)
	ctest --preset win64-test -j $(JOBS)

clean:
	rm -rf build dist

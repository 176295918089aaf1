# The README's two commands: `make run` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: run test deps build build-asan tsan format format-check fuzz bench clean

deps:
	@tools/install-deps.sh

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

# Until the sequencer window lands this shows what the song store holds of the demo
# song and plays it through the engine to the first MIDI port (silently without one).
run: build
	build/default/tools/songinfo resources/demo.mid
	build/default/tools/zbplay resources/demo.mid

build-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

test: format-check build-asan tsan
	ctest --preset asan -j $(JOBS)

# The engine's threads (playback thread, input arriving on another thread) and drawing from
# two threads under ThreadSanitizer.
tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan --target engine_tests shell_draw_tests -j $(JOBS)
	build/tsan/tests/engine/engine_tests --gtest_brief=1
	build/tsan/tests/shell/shell_draw_tests --gtest_brief=1

format-check: deps
	@files=$$(git ls-files '*.cpp' '*.h'); \
	if [ -n "$$files" ]; then clang-format --dry-run --Werror $$files; fi

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

fuzz:
	@tools/install-deps.sh --fuzz
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)

bench: build
	build/default/tools/bench/songcore_bench
	build/default/tools/bench/engine_bench
	build/default/tools/bench/edit_bench
	build/default/tools/bench/converter_bench
	build/default/tools/bench/draw_bench

clean:
	rm -rf build

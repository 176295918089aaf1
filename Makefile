# The README's two commands: `make run` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: run test deps build build-asan format format-check fuzz bench clean

deps:
	@tools/install-deps.sh

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

# Until the sequencer window lands this loads the demo song into the song store
# and prints what the store holds.
run: build
	build/default/tools/songinfo resources/demo.mid

build-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

test: format-check build-asan
	ctest --preset asan -j $(JOBS)

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
	build/default/tools/bench/converter_bench

clean:
	rm -rf build

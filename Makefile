# The two commands of the README: `make run` and `make test`.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all setup build run test test-fast test-asan bench clean

all: build

setup:
	@bash scripts/setup

build: setup
	@cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/novaplayer $(GAME)

# Every test, headless: the normal build, then the sanitizer build of the tests.
test: test-fast test-asan

test-fast: build
	cd $(BUILD) && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ctest --output-on-failure -j $(JOBS)

test-asan: setup
	@cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DNOVA_SANITIZE=ON -DNOVA_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

# qrlogo: `make run` starts the tool, `make test` runs every test. Both install what is missing.
BUILD      := build
CMAKE_ARGS ?=

.PHONY: all deps build run test test-unit test-asan test-tsan fuzz bench clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: build
	@scripts/run.sh $(BUILD)/bin

test: build
	@scripts/test.sh

test-unit: build
	ctest --test-dir $(BUILD) --output-on-failure

test-asan: deps
	@scripts/test.sh asan

test-tsan: deps
	@scripts/test.sh tsan

fuzz: deps
	@scripts/test.sh fuzz

bench: build
	@scripts/bench.sh $(BUILD)/bin

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-tsan $(BUILD)-fuzz
